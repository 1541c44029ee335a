#pragma once

// What the uninstaller removes besides the settings, in order, and the message it ends with.
// Qt-free.

#include "installer/InstallPaths.h"

#include <string>
#include <vector>

namespace vandu::uninstall {

struct SUninstallPlan {
    // The agent's entries: Desktop, then autostart, then the applications menu.
    std::vector<std::string> Entries;
    std::string UninstallEntry;
};

SUninstallPlan PlanUninstall(const vandu::install::SShellFolders& folders);

// "Vandu has been uninstalled.\nNow you can delete the directory: <dir>." or empty when the
// install directory is not known (then no message is shown).
std::string UninstalledMessage(const std::string& installDir);

// Removes a file; a missing file or folder counts as removed. False only when it is still there.
bool RemoveEntry(const std::string& path);

} // namespace vandu::uninstall
