#pragma once

// What a program asks or tells the user in a modal box, behind an interface so that code with
// message boxes runs unattended in tests (CRecordedPrompts answers from a script). Texts are bytes
// as the programs hold them (UTF-8, or Windows-1252 from the service). Qt-free.

#include <deque>
#include <string>
#include <vector>

class IUserPrompts {
public:
    enum class Kind { Warning, Information, Stop, Question };

    virtual ~IUserPrompts() = default;

    // OK box with the warning icon.
    virtual void Warn(const std::string& text) = 0;
    // OK box without an icon.
    virtual void Inform(const std::string& text) = 0;
    // OK box with the stop icon.
    virtual void Stop(const std::string& text) = 0;
    // Yes/No box without an icon whose default button is No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

// Answers from a script; unanswered questions get No. Records every box in order.
class CRecordedPrompts : public IUserPrompts {
public:
    struct SShown {
        Kind BoxKind;
        std::string Text;
    };

    void Warn(const std::string& text) override { m_shown.push_back({Kind::Warning, text}); }
    void Inform(const std::string& text) override { m_shown.push_back({Kind::Information, text}); }
    void Stop(const std::string& text) override { m_shown.push_back({Kind::Stop, text}); }
    bool AskYesNo(const std::string& text) override
    {
        m_shown.push_back({Kind::Question, text});
        if (m_answers.empty()) {
            return false;
        }
        const bool answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void SetNextAnswer(bool yes) { m_answers.push_back(yes); }
    const std::vector<SShown>& Boxes() const { return m_shown; }
    // The texts alone, in order.
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (const SShown& box : m_shown) {
            texts.push_back(box.Text);
        }
        return texts;
    }
    void Clear() { m_shown.clear(); }

private:
    std::deque<bool> m_answers;
    std::vector<SShown> m_shown;
};
