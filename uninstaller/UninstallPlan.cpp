#include "uninstaller/UninstallPlan.h"

#include "common/Names.h"

#include <unistd.h>

#include <cerrno>

namespace vandu::uninstall {

using vandu::install::JoinPath;

SUninstallPlan PlanUninstall(const vandu::install::SShellFolders& folders)
{
    return {{JoinPath(folders.Desktop, names::kDesktopEntry), JoinPath(folders.Startup, names::kDesktopEntry),
                JoinPath(folders.Programs, names::kDesktopEntry)},
        JoinPath(folders.Programs, names::kUninstallEntry)};
}

std::string UninstalledMessage(const std::string& installDir)
{
    if (installDir.empty()) {
        return {};
    }
    return "Vandu has been uninstalled.\nNow you can delete the directory: " + installDir + ".";
}

bool RemoveEntry(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR;
}

} // namespace vandu::uninstall
