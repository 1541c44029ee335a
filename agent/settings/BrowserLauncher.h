#pragma once

// CBrowserLauncher: opens web pages in the user's browser, the one named by the WebBrowser setting
// or else the desktop's registered handler of http links. Such a browser is started as a program
// with the URL as its one last argument, never through a shell, so no URL can run a command; with
// no browser at all, or one whose path names "iexplore", the desktop's own opener takes the URL.
// A browser that cannot be started is reported in a warning box. Qt-free.

#include "agent/settings/UrlOpener.h"

#include <functional>
#include <string>
#include <vector>

class CSettingsStore;
class IProgramLauncher;
class IUserPrompts;

class CBrowserLauncher : public IUrlOpener {
public:
    struct SCommand {
        std::string Program;
        std::vector<std::string> Arguments;
    };
    // Whether a path names a program that can be run.
    using ProgramCheck = std::function<bool(const std::string&)>;

    CBrowserLauncher(CSettingsStore& settings, IProgramLauncher& launcher, IUserPrompts& prompts);

    // The browser path (lower case, possibly empty): the trimmed setting, else the registered
    // handler's command, cleaned by CleanBrowserCommand.
    std::string GetWebBrowser() const;
    // The same path with the case of its letters kept: what the settings sheet shows and stores,
    // since file names here tell capitals apart and a lower-cased path would start nothing.
    std::string BrowserPath() const;
    void OpenUrl(const std::string& url) override;

    // Lower case, quotes made blanks, cut right after the first ".exe", trimmed.
    static std::string CleanBrowserCommand(const std::string& command);
    // The same cleaning, optionally keeping the case of the letters.
    static std::string CleanCommand(const std::string& command, bool lowerCase);
    // The program and its arguments in a cleaned browser path: the longest run of leading words
    // that names a program (a path may hold blanks, and its quotes are gone), else the first word;
    // the words after it are the arguments.
    static SCommand SplitCommand(const std::string& command, const ProgramCheck& isProgram);
    // The default check: an executable regular file.
    static bool IsExecutableFile(const std::string& path);
    static std::string FailureText(const std::string& url, const std::string& browser);

private:
    // The trimmed setting, else the registered handler's command; not yet cleaned.
    std::string BrowserCommand() const;

    CSettingsStore& m_settings;
    IProgramLauncher& m_launcher;
    IUserPrompts& m_prompts;
};
