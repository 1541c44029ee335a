#pragma once

// CRemoteLog: the report a poll that received message IDs sends to the service's log, telling it
// whether wake-up connections get through (short form) or, when TCPCheck is on but no wake-up came,
// how the user's connection is set up (long form). One GET of the log URL; its answer is ignored.
// A report goes out only in the months January to August of a year up to 1999, and only after the
// first successful poll or wake-up. Used from the poll job's worker thread.

#include <ctime>
#include <string>

class CHttpClient;
class CRemoteLogState;
class CSettingsStore;
class ITimeSource;

// "<ID>-v4.2-OK-<TCPCheck>"
std::string RemoteLogShortText(const std::string& vanduId, int tcpCheck);
// "<ID>-v4.2-0-<type>-<proxy name>-<proxy port>-IP=<address>"
std::string RemoteLogLongText(const std::string& vanduId, int wakeupSeen, int connectionType,
    const std::string& proxyName, const std::string& proxyPort, const std::string& ipAddress);
// True when the local date of the given moment (bias as ITimeSource gives it) lets a report go out.
bool IsRemoteLogDateAllowed(std::time_t now, int biasMinutes);

class CRemoteLog {
public:
    CRemoteLog(CRemoteLogState& state, CSettingsStore& settings, const ITimeSource& clock);

    // The text the report would carry now.
    std::string ReportText(const std::string& ipAddress) const;
    // Sends the report through the given client (the poll job's, with its proxy). Returns the Fetch
    // result, or 0 when the date or StartupPending kept it back.
    int SendRemoteLog(CHttpClient& client, const std::string& ipAddress);
    // After the report: once StartupPending is 0, TCPCheck = whether a wake-up was seen; then
    // WakeupSeen is cleared. Independent of the date.
    void UpdateTcpCheck();
    // What a poll that received message IDs does: SendRemoteLog, then UpdateTcpCheck.
    void ReportPoll(CHttpClient& client, const std::string& ipAddress);

private:
    CRemoteLogState& m_state;
    CSettingsStore& m_settings;
    const ITimeSource& m_clock;
};
