#pragma once

// Names the agent, the installer and the uninstaller share: where the settings live, the name by
// which a running agent is found, and the program and file names. Qt-free.

namespace vandu::names {

// Settings location: organisation, application and group (the registry key Software\Vandu\Vandu\Main).
inline constexpr const char* kOrganisation = "Vandu";
inline constexpr const char* kApplication = "Vandu";
inline constexpr const char* kSection = "Main";

// A running agent is found by this name (its local socket and its X11 window class).
inline constexpr const char* kWindowClass = "VanduClassWindow";
// What a second agent sends to the running one to bring it up.
inline constexpr const char* kShowCommand = "show";
// What the running agent answers once its window is shown.
inline constexpr const char* kShownReply = "shown";
// Asks whether the agent has finished starting; answered kReadyReply or kStartingReply.
inline constexpr const char* kStatusQuery = "status";
inline constexpr const char* kReadyReply = "ready";
inline constexpr const char* kStartingReply = "starting";

inline constexpr const char* kAgentProgram = "Vandu";
inline constexpr const char* kInstallerProgram = "VanduInstall";
inline constexpr const char* kUninstallerProgram = "VanduUninstall";
inline constexpr const char* kMessageFolder = "msg";
inline constexpr const char* kDesktopEntry = "vandu.desktop";
inline constexpr const char* kUninstallEntry = "vandu-uninstall.desktop";

// Setting value names, in the order of the program's own table.
namespace value {
inline constexpr const char* VanduID = "VanduID";
inline constexpr const char* Channel = "Channel";
inline constexpr const char* ProxyName = "ProxyName";
inline constexpr const char* ProxyPort = "ProxyPort";
inline constexpr const char* Color = "Color";
inline constexpr const char* LCDColor = "LCDColor";
inline constexpr const char* Beep = "Beep";
inline constexpr const char* TopMost = "TopMost";
inline constexpr const char* AutomaticPlay = "AutomaticPlay";
inline constexpr const char* AskVanduID = "AskVanduID";
inline constexpr const char* XPos = "XPos";
inline constexpr const char* YPos = "YPos";
inline constexpr const char* WebBrowser = "WebBrowser";
inline constexpr const char* FirstTime = "FirstTime";
inline constexpr const char* WaveNewMsg = "WaveNewMsg";
inline constexpr const char* BringUpNewMsg = "BringUpNewMsg";
inline constexpr const char* InstallDir = "InstallDir";
inline constexpr const char* Hidden = "Hidden";
inline constexpr const char* InternetConnectionType = "InternetConnectionType";
inline constexpr const char* SponsorID = "SponsorID";
inline constexpr const char* PopServer = "PopServer";
inline constexpr const char* PopUser = "PopUser";
inline constexpr const char* PopPassword = "PopPassword";
inline constexpr const char* PopEnabled = "PopEnabled";
inline constexpr const char* PopPeriod = "PopPeriod";
inline constexpr const char* AudioType = "AudioType";
inline constexpr const char* TCPCheck = "TCPCheck";
// Added for today's mail servers: how the mailbox counter reaches its server, and on which port.
inline constexpr const char* PopSecurity = "PopSecurity";
inline constexpr const char* PopPort = "PopPort";
} // namespace value

} // namespace vandu::names
