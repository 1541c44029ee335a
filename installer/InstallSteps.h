#pragma once

// The installation as an ordered list of steps, decided from the request alone: the folders, the
// two copies, the connection type, the three desktop entries, FirstTime, the uninstall entry and
// the desktop-database refresh. CInstaller performs them. Qt-free.

#include "installer/InstallPaths.h"

#include <string>
#include <vector>

namespace vandu::install {

enum class EInstallStep {
    CreateInstallDir,
    CreateMessageFolder,
    CopyAgent,
    CopyUninstaller,
    WriteConnectionType,
    CreateDesktopEntry,
    CreateProgramsEntry,
    CreateStartupEntry,
    RemoveFirstTime,
    WriteUninstallEntry,
    RefreshDesktopDatabase,
};

struct SInstallRequest {
    std::string InstallDir;
    // The folder holding the programs to copy (the installer's current directory).
    std::string SourceDir;
    int ConnectionType = -1;
    SShellFolders Folders;
    // $XDG_CURRENT_DESKTOP: decides whether the Desktop entry must also be marked trusted.
    std::string CurrentDesktop;
};

struct SInstallStep {
    EInstallStep Kind;
    std::string Source; // the program copied
    std::string Target; // the folder made, the file written
    bool MarkTrusted = false;
};

std::vector<SInstallStep> PlanInstallation(const SInstallRequest& request);

// True for desktops whose file manager starts a Desktop launcher only once it is marked trusted
// (the GIO attribute metadata::trusted); the others go by the executable bit alone.
bool DesktopWantsTrustMark(const std::string& currentDesktop);

// "File <target> not copied! Make sure to close this application and try again."
std::string CopyFailedText(const std::string& target);

} // namespace vandu::install
