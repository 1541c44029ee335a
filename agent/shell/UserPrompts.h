#pragma once

// What the agent asks or tells the user in a modal box, behind an interface so that code with
// message boxes runs unattended in tests (CRecordedPrompts answers from a script).

#include <deque>
#include <string>
#include <vector>

class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;

    // OK box with the warning icon, title "Vandu".
    virtual void Warn(const std::string& text) = 0;
    // Yes/No box without an icon whose default button is No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
};

class CRecordedPrompts : public IUserPrompts {
public:
    void Warn(const std::string& text) override { m_shown.push_back(text); }
    bool AskYesNo(const std::string& text) override
    {
        m_shown.push_back(text);
        if (m_answers.empty()) {
            return false;
        }
        const bool answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    void SetNextAnswer(bool yes) { m_answers.push_back(yes); }
    const std::vector<std::string>& Shown() const { return m_shown; }

private:
    std::deque<bool> m_answers;
    std::vector<std::string> m_shown;
};
