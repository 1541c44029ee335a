#pragma once

// The service's persistent state in one SQLite file (WAL, busy timeout, bound parameters only).
// Several processes may use the same file at once: the server and any number of command-line
// deposits. Every change is one statement or one transaction, so nothing is ever half written.
// One object may be used from several threads; its operations are serialised.

#include "server/ServiceRecords.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace vandu::server {

class CServiceStore {
public:
    CServiceStore() = default;
    ~CServiceStore();
    CServiceStore(const CServiceStore&) = delete;
    CServiceStore& operator=(const CServiceStore&) = delete;

    // Opens or creates the file (and its folder) and the tables. 0 on success, -1 on failure
    // (LastError says why).
    int Open(const std::string& path);
    const std::string& LastError() const { return m_lastError; }

    std::optional<CSubscriber> FindSubscriber(const std::string& id);
    // 0 added, 1 the ID exists, -1 failure.
    int AddSubscriber(const CSubscriber& subscriber);
    // Records where the subscriber's latest request came from (only when it changed).
    int SetLastAddress(const std::string& id, const std::string& address);

    // Returns the new message's ID, or -1.
    int64_t AddMessage(const CServiceMessage& message);
    std::vector<int64_t> WaitingIds(const std::string& subscriberId);
    // A waiting message of that subscriber, with its recordings when withAudio.
    std::optional<CServiceMessage> FindWaiting(const std::string& subscriberId, int64_t id, bool withAudio);
    std::vector<CServiceMessage> ListWaiting(const std::string& subscriberId);
    // 1 marked read, 0 not waiting, -1 failure.
    int MarkRead(const std::string& subscriberId, int64_t id);

    int SetBanner(const std::string& kind, const CBanner& banner);
    int ClearBanner(const std::string& kind);
    std::optional<CBanner> FindBanner(const std::string& kind);

    // Keeps a sponsor click or a log report.
    int AddLog(const std::string& kind, const std::string& text, const std::string& address);
    int64_t LogCount(const std::string& kind);

    // Runs body inside one immediate transaction: committed when it returns 0, else rolled back.
    template <typename F> int InTransaction(F&& body);

    // "ok" when SQLite finds the file sound.
    std::string IntegrityCheck();

private:
    bool Exec(const char* sql);
    int BeginImmediate();
    int Finish(bool commit);

    sqlite3* m_db = nullptr;
    std::recursive_mutex m_mutex;
    std::string m_lastError;
};

template <typename F> int CServiceStore::InTransaction(F&& body)
{
    std::lock_guard lock(m_mutex);
    if (BeginImmediate() != 0) {
        return -1;
    }
    const int result = body();
    if (Finish(result == 0) != 0) {
        return -1;
    }
    return result;
}

} // namespace vandu::server
