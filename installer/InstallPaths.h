#pragma once

// Where an installation goes: the proposed directory, a folder picked in the browser, the file
// names inside the install directory and the user's desktop-entry folders. Pure functions of their
// inputs (environment values are passed in), paths as local 8-bit bytes. Qt-free.

#include <string>

namespace vandu::install {

// The three folders that receive vandu.desktop: the Desktop, the applications menu and autostart.
struct SShellFolders {
    std::string Desktop;
    std::string Programs;
    std::string Startup;
};

// dir + "/" + name, without doubling a separator that dir already ends with.
std::string JoinPath(const std::string& dir, const std::string& name);

// $XDG_DATA_HOME/Vandu, or $HOME/.local/share/Vandu when XDG_DATA_HOME is unset or relative
// (the XDG rules ignore relative values).
std::string DefaultInstallDir(const std::string& xdgDataHome, const std::string& home);

// The stored InstallDir of a previous installation, else the default directory.
std::string ProposeInstallDir(const std::string& storedInstallDir, const std::string& defaultDir);

// A folder picked in the folder browser becomes picked + "/Vandu" ("/" gives "/Vandu"); an empty
// answer (the browser cancelled) gives an empty result.
std::string BrowsedInstallDir(const std::string& picked);

// Where the folder browser opens: the nearest folder above dir ("/" for a top-level one).
std::string BrowseStartFolder(const std::string& dir);

// desktopDir: what `xdg-user-dir DESKTOP` printed (trailing newline allowed), empty when it could not
// run; then $HOME/Desktop. Programs is $XDG_DATA_HOME/applications, Startup $XDG_CONFIG_HOME/autostart,
// each with the XDG default under $HOME when the variable is unset or relative.
SShellFolders ShellFoldersFrom(const std::string& desktopDir, const std::string& home, const std::string& xdgDataHome,
    const std::string& xdgConfigHome);

// Files inside the install directory.
std::string MessageFolder(const std::string& installDir);
std::string AgentTarget(const std::string& installDir);
std::string UninstallerTarget(const std::string& installDir);
std::string IconTarget(const std::string& installDir);

} // namespace vandu::install
