#pragma once

// The file-open and folder dialogs, behind an interface: the file a user picks is the edge of the
// machine, so tests answer from a script (CRecordedFileDialogs). Paths are local 8-bit bytes
// (QFile::encodeName); an empty answer means the user cancelled. Qt-free.

#include <deque>
#include <string>
#include <vector>

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;

    // filter: "Wave files (*.wav)"-style text; several filters separated by ";;".
    virtual std::string GetOpenFileName(
        const std::string& caption, const std::string& directory, const std::string& filter)
        = 0;
    virtual std::string GetExistingDirectory(const std::string& caption, const std::string& directory) = 0;
};

class CRecordedFileDialogs : public IFileDialogs {
public:
    struct SAsked {
        std::string Caption;
        std::string Directory;
        std::string Filter; // empty for the folder dialog
    };

    std::string GetOpenFileName(
        const std::string& caption, const std::string& directory, const std::string& filter) override
    {
        m_asked.push_back({caption, directory, filter});
        return Next();
    }
    std::string GetExistingDirectory(const std::string& caption, const std::string& directory) override
    {
        m_asked.push_back({caption, directory, {}});
        return Next();
    }

    // The next dialog's answer; an empty one (or none queued) is a cancel.
    void SetNextAnswer(const std::string& path) { m_answers.push_back(path); }
    const std::vector<SAsked>& Asked() const { return m_asked; }

private:
    std::string Next()
    {
        if (m_answers.empty()) {
            return {};
        }
        std::string answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::deque<std::string> m_answers;
    std::vector<SAsked> m_asked;
};
