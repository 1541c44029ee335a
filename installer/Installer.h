#pragma once

// CInstaller performs the installation steps in order: every step runs even after a failed copy,
// which only asks the wizard to end without starting the agent. Starting the agent is separate
// (the wizard does it on Finish or Cancel). Qt-free.

#include "agent/settings/SettingsStore.h"
#include "common/UserPrompts.h"
#include "installer/InstallSteps.h"
#include "installer/ProcessStarter.h"

#include <string>

class CInstaller {
public:
    struct SOutcome {
        // A program could not be copied: end without starting the agent.
        bool QuitRequested = false;
    };

    // The description written into the agent's entries.
    static constexpr const char* kDescription = "Vandu Desktop Agent";
    static constexpr const char* kUninstallName = "Uninstall Vandu";
    static constexpr int kRefreshTimeoutMs = 10000;

    CInstaller(CSettingsStore& settings, IUserPrompts& prompts, IProcessStarter& launcher);

    // iconBytes: the agent's icon (PNG), written beside the agent for the entries to show.
    SOutcome Install(const vandu::install::SInstallRequest& request, const std::string& iconBytes);

    // Starts the installed agent detached, in the install directory; its process id or -1.
    long long StartAgent(const std::string& installDir);

private:
    void Perform(const vandu::install::SInstallStep& step, const vandu::install::SInstallRequest& request,
        const std::string& iconBytes, SOutcome& outcome);
    void CreateEntry(const vandu::install::SInstallStep& step, const std::string& installDir);
    void WriteUninstallEntry(const std::string& entryPath, const std::string& installDir);

    CSettingsStore& m_settings;
    IUserPrompts& m_prompts;
    IProcessStarter& m_launcher;
};
