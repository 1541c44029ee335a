#pragma once

// What the installer's and the uninstaller's windows are given: the settings, the seams (boxes,
// folder dialog, program starts) and the places taken from the environment at start-up.

#include "agent/settings/SettingsBackend.h"
#include "agent/settings/SettingsStore.h"
#include "common/FileDialogs.h"
#include "common/UserPrompts.h"
#include "installer/InstallPaths.h"
#include "installer/ProcessStarter.h"

#include <string>

struct SInstallEnvironment {
    std::string DefaultInstallDir;
    // Where the programs to copy are: the installer's current directory.
    std::string SourceDir;
    vandu::install::SShellFolders Folders;
    std::string CurrentDesktop;
    // The agent's icon (PNG) written beside the installed agent.
    std::string IconBytes;
};

struct SInstallContext {
    ISettingsBackend& Backend;
    CSettingsStore& Settings;
    IUserPrompts& Prompts;
    IFileDialogs& Dialogs;
    IProcessStarter& Launcher;
    SInstallEnvironment Environment;
};
