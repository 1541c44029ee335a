#include "installer/InstallPaths.h"

#include "common/Names.h"

namespace vandu::install {

namespace {

// The icon the entries point at, written beside the agent.
constexpr const char* kIconFile = "vandu.png";

bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

std::string XdgBase(const std::string& value, const std::string& home, const char* fallback)
{
    return IsAbsolute(value) ? value : JoinPath(home, fallback);
}

} // namespace

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (!dir.empty() && dir.back() == '/') {
        return dir + name;
    }
    return dir + "/" + name;
}

std::string DefaultInstallDir(const std::string& xdgDataHome, const std::string& home)
{
    return JoinPath(XdgBase(xdgDataHome, home, ".local/share"), names::kApplication);
}

std::string ProposeInstallDir(const std::string& storedInstallDir, const std::string& defaultDir)
{
    return storedInstallDir.empty() ? defaultDir : storedInstallDir;
}

std::string BrowsedInstallDir(const std::string& picked)
{
    if (picked.empty()) {
        return {};
    }
    return JoinPath(picked, names::kApplication);
}

std::string BrowseStartFolder(const std::string& dir)
{
    std::string folder = dir;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : folder.substr(0, slash);
}

SShellFolders ShellFoldersFrom(const std::string& desktopDir, const std::string& home, const std::string& xdgDataHome,
    const std::string& xdgConfigHome)
{
    std::string desktop = desktopDir;
    while (!desktop.empty() && (desktop.back() == '\n' || desktop.back() == '\r')) {
        desktop.pop_back();
    }
    if (!IsAbsolute(desktop)) {
        desktop = JoinPath(home, "Desktop");
    }
    return {desktop, JoinPath(XdgBase(xdgDataHome, home, ".local/share"), "applications"),
        JoinPath(XdgBase(xdgConfigHome, home, ".config"), "autostart")};
}

std::string MessageFolder(const std::string& installDir)
{
    return JoinPath(installDir, names::kMessageFolder);
}

std::string AgentTarget(const std::string& installDir)
{
    return JoinPath(installDir, names::kAgentProgram);
}

std::string UninstallerTarget(const std::string& installDir)
{
    return JoinPath(installDir, names::kUninstallerProgram);
}

std::string IconTarget(const std::string& installDir)
{
    return JoinPath(installDir, kIconFile);
}

} // namespace vandu::install
