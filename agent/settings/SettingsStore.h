#pragma once

// CSettingsStore: one getter and one setter per persistent setting, with the defaults, range rules,
// trimming and flag rules of the agent. Stateless: every call is one read or one write of the
// backend at that moment, so a value written anywhere (another program included) is seen by the
// next read. Safe to call from the request jobs' threads as long as the backend is.

#include "agent/settings/SettingsBackend.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

class CSettingsStore {
public:
    // Screen width and height in pixels, asked on every read of XPos and YPos.
    using ScreenSize = std::function<std::pair<int, int>()>;

    CSettingsStore(ISettingsBackend& backend, ScreenSize screenSize);

    static constexpr const char* kScrambleKey = "318264705";
    // Maps each character into '#'..'~'; its own inverse on that range.
    static std::string ScrambleText(const std::string& text, const std::string& key);
    // True when the path is not empty and the file can be opened for reading.
    static bool FileExists(const std::string& path);
    // Removes leading and trailing blanks, tabs, CR, LF, vertical tabs and form feeds.
    static std::string Trim(const std::string& text);

    std::string GetVanduID() const;
    void SetVanduID(const std::string& value);
    std::string GetPassword() const;
    void SetPassword(const std::string& value);
    std::string GetProxyName() const;
    void SetProxyName(const std::string& value);
    std::string GetProxyPort() const;
    void SetProxyPort(const std::string& value);
    int32_t GetColor() const;
    void SetColor(int32_t value);
    int32_t GetLCDColor() const;
    void SetLCDColor(int32_t value);
    bool GetBeep() const;
    void SetBeep(int32_t value);
    bool GetTopMost() const;
    void SetTopMost(int32_t value);
    bool GetAutomaticPlay() const;
    void SetAutomaticPlay(int32_t value);
    bool IsPasswordSaved() const;
    void SetPasswordSaved(bool saved);
    int32_t GetXPos() const;
    void SetXPos(int32_t value);
    int32_t GetYPos() const;
    void SetYPos(int32_t value);
    // The stored browser as it is; the fallback to the desktop's registered browser lives with OpenUrl.
    std::string GetWebBrowser() const;
    void SetWebBrowser(const std::string& value);
    bool IsFirstTime() const;
    void SetFirstTime(int32_t value);
    std::string GetWaveNewMsg() const;
    void SetWaveNewMsg(const std::string& value);
    bool GetBringUpNewMsg() const;
    void SetBringUpNewMsg(int32_t value);
    std::string GetInstallDir() const;
    void SetInstallDir(const std::string& value);
    bool GetHidden() const;
    void SetHidden(int32_t value);
    int32_t GetInternetConnectionType() const;
    void SetInternetConnectionType(int32_t value);
    std::string GetSponsorID() const;
    void SetSponsorID(const std::string& value);
    std::string GetPopServer() const;
    void SetPopServer(const std::string& value);
    std::string GetPopUser() const;
    void SetPopUser(const std::string& value);
    std::string GetPopPassword() const;
    void SetPopPassword(const std::string& value);
    bool GetPopEnabled() const;
    void SetPopEnabled(int32_t value);
    int32_t GetPopPeriod() const;
    void SetPopPeriod(int32_t value);
    int32_t GetAudioType() const;
    void SetAudioType(int32_t value);
    bool GetTCPCheck() const;
    void SetTCPCheck(int32_t value);

    // How the mailbox counter reaches its server: plain POP3, POP3 inside TLS from the first byte,
    // or plain POP3 upgraded with STLS (never falling back to plain).
    static constexpr int32_t kPopSecurityNone = 0;
    static constexpr int32_t kPopSecurityTls = 1;
    static constexpr int32_t kPopSecurityStartTls = 2;
    // The port of each security when PopPort is empty: 110 for plain and STARTTLS, 995 for TLS.
    static int DefaultPopPort(int32_t security);
    // A missing value reads as plain, so configurations stored before it existed keep working as
    // they did; any other value outside 0..2 reads as TLS, so a damaged value never sends the
    // password in the clear.
    int32_t GetPopSecurity() const;
    void SetPopSecurity(int32_t value);
    // What the Email Counter page offers: the stored security, or TLS for a new user (neither
    // PopSecurity nor a POP3 server stored yet).
    int32_t GetPopSecurityChoice() const;
    // Trimmed; empty means the default port of the chosen security.
    std::string GetPopPort() const;
    void SetPopPort(const std::string& value);
    // The port to connect to: PopPort when it is a number from 1 to 65535, else the default port
    // of GetPopSecurity.
    int GetPopPortNumber() const;

    // The installer deletes FirstTime so that the agent's next start counts as its first.
    void RemoveFirstTime();

private:
    int32_t Int(const char* name, int32_t fallback) const;
    bool Flag(const char* name, int32_t fallback) const;
    std::string Text(const char* name) const;

    ISettingsBackend& m_backend;
    ScreenSize m_screenSize;
};
