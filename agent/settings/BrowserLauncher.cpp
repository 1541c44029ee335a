#include "agent/settings/BrowserLauncher.h"

#include "agent/settings/ProgramLauncher.h"
#include "agent/settings/SettingsStore.h"
#include "common/UserPrompts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

namespace {

// Only ASCII letters: the path bytes of other characters are left as they are.
std::string ToLower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream stream(text);
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

} // namespace

CBrowserLauncher::CBrowserLauncher(CSettingsStore& settings, IProgramLauncher& launcher, IUserPrompts& prompts)
    : m_settings(settings)
    , m_launcher(launcher)
    , m_prompts(prompts)
{
}

std::string CBrowserLauncher::GetWebBrowser() const
{
    return CleanBrowserCommand(BrowserCommand());
}

void CBrowserLauncher::OpenUrl(const std::string& url)
{
    const std::string command = BrowserCommand();
    const std::string browser = CleanBrowserCommand(command);
    if (browser.find("iexplore") != std::string::npos) {
        m_launcher.OpenWithDesktop(url);
        return;
    }
    if (browser.empty()) {
        // No browser known: the desktop's opener finds one; only when even that cannot start is
        // the user told to name a browser.
        if (!m_launcher.OpenWithDesktop(url)) {
            m_prompts.Warn(FailureText(url, browser));
        }
        return;
    }
    // File names here tell upper from lower case: the program is started by the path as it was
    // given, while the user is shown the lower-case form.
    SCommand start = SplitCommand(CleanCommand(command, false), &IsExecutableFile);
    start.Arguments.push_back(url);
    if (!m_launcher.StartDetached(start.Program, start.Arguments)) {
        m_prompts.Warn(FailureText(url, browser));
    }
}

std::string CBrowserLauncher::BrowserPath() const
{
    return CleanCommand(BrowserCommand(), false);
}

std::string CBrowserLauncher::BrowserCommand() const
{
    const std::string setting = CSettingsStore::Trim(m_settings.GetWebBrowser());
    return setting.empty() ? m_launcher.RegisteredHttpCommand() : setting;
}

std::string CBrowserLauncher::CleanBrowserCommand(const std::string& command)
{
    return CleanCommand(command, true);
}

std::string CBrowserLauncher::CleanCommand(const std::string& command, bool lowerCase)
{
    const std::string lower = ToLower(command);
    std::string text = lowerCase ? lower : command;
    for (char& c : text) {
        if (c == '"' || c == '\'') {
            c = ' ';
        }
    }
    // Lower-casing keeps every byte in place, so the position holds for both forms.
    const size_t exe = lower.find(".exe");
    if (exe != std::string::npos) {
        text.erase(exe + 4);
    }
    return CSettingsStore::Trim(text);
}

CBrowserLauncher::SCommand CBrowserLauncher::SplitCommand(const std::string& command, const ProgramCheck& isProgram)
{
    const std::string text = CSettingsStore::Trim(command);
    if (text.empty()) {
        return {};
    }
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    size_t programEnd = 0;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && !isBlank(text[at])) {
            ++at;
        }
        if (programEnd == 0 || isProgram(text.substr(0, at))) {
            programEnd = at;
        }
        while (at < text.size() && isBlank(text[at])) {
            ++at;
        }
    }
    return {text.substr(0, programEnd), Words(text.substr(programEnd))};
}

bool CBrowserLauncher::IsExecutableFile(const std::string& path)
{
    struct stat info { };
    return path.find('/') != std::string::npos && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && ::access(path.c_str(), X_OK) == 0;
}

std::string CBrowserLauncher::FailureText(const std::string& url, const std::string& browser)
{
    return "Sorry, unable to open URL: " + url + "\n\nThe current Web Browser (" + browser
        + ") does not exist.\nPlease, specify your Web Browser's path in the Properties dialog box.";
}
