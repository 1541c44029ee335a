#pragma once

// The places of this user's session: the Desktop folder (`xdg-user-dir DESKTOP`), the menu and
// autostart folders, the default install directory, plus the icon the installer writes.

#include "installer/InstallContext.h"

namespace vandu::install {

SShellFolders CurrentShellFolders();
SInstallEnvironment CurrentEnvironment();

} // namespace vandu::install
