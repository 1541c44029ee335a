#include "agent/settings/SettingsStore.h"

#include "common/Names.h"

#include <cstdio>
#include <optional>

namespace value = vandu::names::value;

CSettingsStore::CSettingsStore(ISettingsBackend& backend, ScreenSize screenSize)
    : m_backend(backend)
    , m_screenSize(std::move(screenSize))
{
}

std::string CSettingsStore::ScrambleText(const std::string& text, const std::string& key)
{
    // An empty key would make the modulo undefined; the store always passes its fixed key.
    if (text.empty() || key.empty()) {
        return text;
    }
    std::string result;
    const int m = static_cast<int>(key.size());
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // Both taken as signed 8-bit values; % truncates toward zero, as the stored form expects.
        const int d = static_cast<signed char>(text[i]);
        const int k = static_cast<signed char>(key[i % static_cast<size_t>(m)]);
        const int r1 = (d + 92 - k) % 92;
        const int r2 = (92 - r1) % 92;
        result.push_back(static_cast<char>(r2 + 35));
    }
    return result;
}

bool CSettingsStore::FileExists(const std::string& path)
{
    if (path.empty()) {
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return false;
    }
    std::fclose(file);
    return true;
}

std::string CSettingsStore::Trim(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int32_t CSettingsStore::Int(const char* name, int32_t fallback) const
{
    return m_backend.ReadInt(name).value_or(fallback);
}

bool CSettingsStore::Flag(const char* name, int32_t fallback) const
{
    return Int(name, fallback) == 1;
}

std::string CSettingsStore::Text(const char* name) const
{
    return m_backend.ReadString(name).value_or(std::string());
}

std::string CSettingsStore::GetVanduID() const
{
    return Text(value::VanduID);
}
void CSettingsStore::SetVanduID(const std::string& v)
{
    m_backend.WriteString(value::VanduID, v);
}

std::string CSettingsStore::GetPassword() const
{
    return ScrambleText(Text(value::Channel), kScrambleKey);
}
void CSettingsStore::SetPassword(const std::string& v)
{
    m_backend.WriteString(value::Channel, ScrambleText(v, kScrambleKey));
}

std::string CSettingsStore::GetProxyName() const
{
    return Trim(Text(value::ProxyName));
}
void CSettingsStore::SetProxyName(const std::string& v)
{
    m_backend.WriteString(value::ProxyName, v);
}
std::string CSettingsStore::GetProxyPort() const
{
    return Trim(Text(value::ProxyPort));
}
void CSettingsStore::SetProxyPort(const std::string& v)
{
    m_backend.WriteString(value::ProxyPort, v);
}

int32_t CSettingsStore::GetColor() const
{
    return Int(value::Color, 0);
}
void CSettingsStore::SetColor(int32_t v)
{
    m_backend.WriteInt(value::Color, v);
}
int32_t CSettingsStore::GetLCDColor() const
{
    return Int(value::LCDColor, 0);
}
void CSettingsStore::SetLCDColor(int32_t v)
{
    m_backend.WriteInt(value::LCDColor, v);
}

bool CSettingsStore::GetBeep() const
{
    return Flag(value::Beep, 1);
}
void CSettingsStore::SetBeep(int32_t v)
{
    m_backend.WriteInt(value::Beep, v);
}
bool CSettingsStore::GetTopMost() const
{
    return Flag(value::TopMost, 0);
}
void CSettingsStore::SetTopMost(int32_t v)
{
    m_backend.WriteInt(value::TopMost, v);
}
bool CSettingsStore::GetAutomaticPlay() const
{
    return Flag(value::AutomaticPlay, 0);
}
void CSettingsStore::SetAutomaticPlay(int32_t v)
{
    m_backend.WriteInt(value::AutomaticPlay, v);
}

bool CSettingsStore::IsPasswordSaved() const
{
    return Int(value::AskVanduID, 0) == 0;
}
void CSettingsStore::SetPasswordSaved(bool saved)
{
    m_backend.WriteInt(value::AskVanduID, saved ? 0 : 1);
}

// A position saved on a larger screen falls back to 100 on a smaller one, each coordinate alone.
int32_t CSettingsStore::GetXPos() const
{
    const int32_t v = Int(value::XPos, 100);
    return v < (m_screenSize ? m_screenSize().first : 0) ? v : 100;
}
void CSettingsStore::SetXPos(int32_t v)
{
    m_backend.WriteInt(value::XPos, v);
}
int32_t CSettingsStore::GetYPos() const
{
    const int32_t v = Int(value::YPos, 100);
    return v < (m_screenSize ? m_screenSize().second : 0) ? v : 100;
}
void CSettingsStore::SetYPos(int32_t v)
{
    m_backend.WriteInt(value::YPos, v);
}

std::string CSettingsStore::GetWebBrowser() const
{
    return Text(value::WebBrowser);
}
void CSettingsStore::SetWebBrowser(const std::string& v)
{
    m_backend.WriteString(value::WebBrowser, v);
}

bool CSettingsStore::IsFirstTime() const
{
    return Flag(value::FirstTime, 1);
}
void CSettingsStore::SetFirstTime(int32_t v)
{
    m_backend.WriteInt(value::FirstTime, v);
}
void CSettingsStore::RemoveFirstTime()
{
    m_backend.Remove(value::FirstTime);
}

std::string CSettingsStore::GetWaveNewMsg() const
{
    return Trim(Text(value::WaveNewMsg));
}
void CSettingsStore::SetWaveNewMsg(const std::string& v)
{
    m_backend.WriteString(value::WaveNewMsg, v);
}
bool CSettingsStore::GetBringUpNewMsg() const
{
    return Flag(value::BringUpNewMsg, 1);
}
void CSettingsStore::SetBringUpNewMsg(int32_t v)
{
    m_backend.WriteInt(value::BringUpNewMsg, v);
}
std::string CSettingsStore::GetInstallDir() const
{
    return Trim(Text(value::InstallDir));
}
void CSettingsStore::SetInstallDir(const std::string& v)
{
    m_backend.WriteString(value::InstallDir, v);
}
bool CSettingsStore::GetHidden() const
{
    return Flag(value::Hidden, 0);
}
void CSettingsStore::SetHidden(int32_t v)
{
    m_backend.WriteInt(value::Hidden, v);
}

int32_t CSettingsStore::GetInternetConnectionType() const
{
    return Int(value::InternetConnectionType, 1);
}
void CSettingsStore::SetInternetConnectionType(int32_t v)
{
    m_backend.WriteInt(value::InternetConnectionType, v);
}

std::string CSettingsStore::GetSponsorID() const
{
    return Text(value::SponsorID);
}
void CSettingsStore::SetSponsorID(const std::string& v)
{
    m_backend.WriteString(value::SponsorID, v);
}
std::string CSettingsStore::GetPopServer() const
{
    return Text(value::PopServer);
}
void CSettingsStore::SetPopServer(const std::string& v)
{
    m_backend.WriteString(value::PopServer, v);
}
std::string CSettingsStore::GetPopUser() const
{
    return Text(value::PopUser);
}
void CSettingsStore::SetPopUser(const std::string& v)
{
    m_backend.WriteString(value::PopUser, v);
}
std::string CSettingsStore::GetPopPassword() const
{
    return ScrambleText(Text(value::PopPassword), kScrambleKey);
}
void CSettingsStore::SetPopPassword(const std::string& v)
{
    m_backend.WriteString(value::PopPassword, ScrambleText(v, kScrambleKey));
}
bool CSettingsStore::GetPopEnabled() const
{
    return Flag(value::PopEnabled, 0);
}
void CSettingsStore::SetPopEnabled(int32_t v)
{
    m_backend.WriteInt(value::PopEnabled, v);
}

// At least one minute between two counts, on reading and on writing.
int32_t CSettingsStore::GetPopPeriod() const
{
    const int32_t v = Int(value::PopPeriod, 0);
    return v >= 1 ? v : 5;
}
void CSettingsStore::SetPopPeriod(int32_t v)
{
    m_backend.WriteInt(value::PopPeriod, v >= 1 ? v : 5);
}

int32_t CSettingsStore::GetAudioType() const
{
    return Int(value::AudioType, 0);
}
void CSettingsStore::SetAudioType(int32_t v)
{
    m_backend.WriteInt(value::AudioType, v);
}
bool CSettingsStore::GetTCPCheck() const
{
    return Flag(value::TCPCheck, 0);
}
void CSettingsStore::SetTCPCheck(int32_t v)
{
    m_backend.WriteInt(value::TCPCheck, v);
}

int CSettingsStore::DefaultPopPort(int32_t security)
{
    return security == kPopSecurityTls ? 995 : 110;
}

int32_t CSettingsStore::GetPopSecurity() const
{
    const std::optional<int32_t> v = m_backend.ReadInt(value::PopSecurity);
    if (!v) {
        return kPopSecurityNone;
    }
    return *v >= kPopSecurityNone && *v <= kPopSecurityStartTls ? *v : kPopSecurityTls;
}
void CSettingsStore::SetPopSecurity(int32_t v)
{
    m_backend.WriteInt(value::PopSecurity, v);
}

int32_t CSettingsStore::GetPopSecurityChoice() const
{
    const bool newUser = !m_backend.ReadInt(value::PopSecurity) && Trim(GetPopServer()).empty();
    return newUser ? kPopSecurityTls : GetPopSecurity();
}

std::string CSettingsStore::GetPopPort() const
{
    return Trim(Text(value::PopPort));
}
void CSettingsStore::SetPopPort(const std::string& v)
{
    m_backend.WriteString(value::PopPort, v);
}

int CSettingsStore::GetPopPortNumber() const
{
    const std::string text = GetPopPort();
    int port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || port > 65535) {
            return DefaultPopPort(GetPopSecurity());
        }
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? port : DefaultPopPort(GetPopSecurity());
}
