#include "server/ServiceStore.h"

#include "server/SqlStatement.h"

#include <sqlite3.h>

#include <filesystem>

namespace vandu::server {

namespace {

// Deposits from the command line and the server's handlers wait for each other this long.
constexpr int kBusyTimeoutMs = 20000;

const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS subscribers(id TEXT PRIMARY KEY, password TEXT NOT NULL, "
    "first_name TEXT NOT NULL, last_name TEXT NOT NULL, email TEXT NOT NULL, last_address TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE IF NOT EXISTS messages(id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "subscriber TEXT NOT NULL REFERENCES subscribers(id), type INTEGER NOT NULL, created INTEGER NOT NULL, "
    "caller_id TEXT NOT NULL, caller_name TEXT NOT NULL, sender_id TEXT NOT NULL, first_name TEXT NOT NULL, "
    "last_name TEXT NOT NULL, text TEXT NOT NULL, gsm BLOB NOT NULL, pcm BLOB NOT NULL, "
    "read INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS messages_waiting ON messages(subscriber, read)",
    "CREATE TABLE IF NOT EXISTS banners(kind TEXT PRIMARY KEY, sponsor_id TEXT NOT NULL, "
    "description TEXT NOT NULL, url TEXT NOT NULL, picture BLOB NOT NULL, by_url INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS log(id INTEGER PRIMARY KEY AUTOINCREMENT, kind TEXT NOT NULL, "
    "created INTEGER NOT NULL, text TEXT NOT NULL, address TEXT NOT NULL)",
};

const char* const kMessageColumns = "id, subscriber, type, created, caller_id, caller_name, sender_id, first_name, "
                                    "last_name, text";

CServiceMessage ReadMessage(const CSqlStatement& row)
{
    CServiceMessage message;
    message.Id = row.Int(0);
    message.SubscriberId = row.Text(1);
    message.Type = static_cast<int>(row.Int(2));
    message.Created = static_cast<std::time_t>(row.Int(3));
    message.CallerId = row.Text(4);
    message.CallerName = row.Text(5);
    message.SenderId = row.Text(6);
    message.FirstName = row.Text(7);
    message.LastName = row.Text(8);
    message.Text = row.Text(9);
    return message;
}

} // namespace

CServiceStore::~CServiceStore()
{
    sqlite3_close_v2(m_db);
}

bool CServiceStore::Exec(const char* sql)
{
    CSqlStatement statement(m_db, sql);
    if (!statement.Ok() || !statement.Run()) {
        m_lastError = sqlite3_errmsg(m_db);
        return false;
    }
    return true;
}

int CServiceStore::Open(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, ec);
    }
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        m_lastError = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return -1;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    if (!Exec("PRAGMA journal_mode=WAL") || !Exec("PRAGMA synchronous=NORMAL") || !Exec("PRAGMA foreign_keys=ON")) {
        return -1;
    }
    for (const char* sql : kSchema) {
        if (!Exec(sql)) {
            return -1;
        }
    }
    return 0;
}

int CServiceStore::BeginImmediate()
{
    return Exec("BEGIN IMMEDIATE") ? 0 : -1;
}

int CServiceStore::Finish(bool commit)
{
    if (commit) {
        if (Exec("COMMIT")) {
            return 0;
        }
    }
    Exec("ROLLBACK");
    return commit ? -1 : 0;
}

std::optional<CSubscriber> CServiceStore::FindSubscriber(const std::string& id)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement query(m_db,
        "SELECT id, password, first_name, last_name, email, last_address FROM subscribers "
        "WHERE id = ?1");
    query.Bind(1, id);
    if (query.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return CSubscriber {query.Text(0), query.Text(1), query.Text(2), query.Text(3), query.Text(4), query.Text(5)};
}

int CServiceStore::AddSubscriber(const CSubscriber& s)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement insert(m_db,
        "INSERT INTO subscribers(id, password, first_name, last_name, email, last_address) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    insert.Bind(1, s.Id).Bind(2, s.Password).Bind(3, s.FirstName).Bind(4, s.LastName).Bind(5, s.Email);
    insert.Bind(6, s.LastAddress);
    const int rc = insert.Step();
    if (rc == SQLITE_DONE) {
        return 0;
    }
    m_lastError = sqlite3_errmsg(m_db);
    return rc == SQLITE_CONSTRAINT_PRIMARYKEY ? 1 : -1;
}

int CServiceStore::SetLastAddress(const std::string& id, const std::string& address)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement update(m_db, "UPDATE subscribers SET last_address = ?2 WHERE id = ?1 AND last_address <> ?2");
    update.Bind(1, id).Bind(2, address);
    return update.Run() ? 0 : -1;
}

int64_t CServiceStore::AddMessage(const CServiceMessage& m)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement insert(m_db,
        "INSERT INTO messages(subscriber, type, created, caller_id, caller_name, sender_id, "
        "first_name, last_name, text, gsm, pcm) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    insert.Bind(1, m.SubscriberId).Bind(2, int64_t {m.Type}).Bind(3, static_cast<int64_t>(m.Created));
    insert.Bind(4, m.CallerId).Bind(5, m.CallerName).Bind(6, m.SenderId).Bind(7, m.FirstName).Bind(8, m.LastName);
    insert.Bind(9, m.Text).BindBlob(10, m.GsmWave).BindBlob(11, m.PcmWave);
    if (!insert.Run()) {
        m_lastError = sqlite3_errmsg(m_db);
        return -1;
    }
    return sqlite3_last_insert_rowid(m_db);
}

std::vector<int64_t> CServiceStore::WaitingIds(const std::string& subscriberId)
{
    std::lock_guard lock(m_mutex);
    std::vector<int64_t> ids;
    CSqlStatement query(m_db, "SELECT id FROM messages WHERE subscriber = ?1 AND read = 0 ORDER BY id");
    query.Bind(1, subscriberId);
    while (query.Step() == SQLITE_ROW) {
        ids.push_back(query.Int(0));
    }
    return ids;
}

std::optional<CServiceMessage> CServiceStore::FindWaiting(const std::string& subscriberId, int64_t id, bool withAudio)
{
    std::lock_guard lock(m_mutex);
    const std::string sql = std::string("SELECT ") + kMessageColumns
        + ", gsm, pcm FROM messages WHERE subscriber = ?1 AND id = ?2 AND read = 0";
    CSqlStatement query(m_db, sql.c_str());
    query.Bind(1, subscriberId).Bind(2, id);
    if (query.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    CServiceMessage message = ReadMessage(query);
    if (withAudio) {
        message.GsmWave = query.Text(10);
        message.PcmWave = query.Text(11);
    }
    return message;
}

std::vector<CServiceMessage> CServiceStore::ListWaiting(const std::string& subscriberId)
{
    std::lock_guard lock(m_mutex);
    std::vector<CServiceMessage> messages;
    const std::string sql
        = std::string("SELECT ") + kMessageColumns + " FROM messages WHERE subscriber = ?1 AND read = 0 ORDER BY id";
    CSqlStatement query(m_db, sql.c_str());
    query.Bind(1, subscriberId);
    while (query.Step() == SQLITE_ROW) {
        messages.push_back(ReadMessage(query));
    }
    return messages;
}

int CServiceStore::MarkRead(const std::string& subscriberId, int64_t id)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement update(m_db, "UPDATE messages SET read = 1 WHERE subscriber = ?1 AND id = ?2 AND read = 0");
    update.Bind(1, subscriberId).Bind(2, id);
    if (!update.Run()) {
        m_lastError = sqlite3_errmsg(m_db);
        return -1;
    }
    return sqlite3_changes(m_db) > 0 ? 1 : 0;
}

int CServiceStore::SetBanner(const std::string& kind, const CBanner& b)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement upsert(m_db,
        "INSERT OR REPLACE INTO banners(kind, sponsor_id, description, url, picture, by_url) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    upsert.Bind(1, kind).Bind(2, b.SponsorId).Bind(3, b.Description).Bind(4, b.Url).BindBlob(5, b.Picture);
    upsert.Bind(6, int64_t {b.ByUrl ? 1 : 0});
    if (!upsert.Run()) {
        m_lastError = sqlite3_errmsg(m_db);
        return -1;
    }
    return 0;
}

int CServiceStore::ClearBanner(const std::string& kind)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement remove(m_db, "DELETE FROM banners WHERE kind = ?1");
    remove.Bind(1, kind);
    return remove.Run() ? 0 : -1;
}

std::optional<CBanner> CServiceStore::FindBanner(const std::string& kind)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement query(m_db, "SELECT sponsor_id, description, url, picture, by_url FROM banners WHERE kind = ?1");
    query.Bind(1, kind);
    if (query.Step() != SQLITE_ROW) {
        return std::nullopt;
    }
    return CBanner {query.Text(0), query.Text(1), query.Text(2), query.Text(3), query.Int(4) != 0};
}

int CServiceStore::AddLog(const std::string& kind, const std::string& text, const std::string& address)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement insert(m_db, "INSERT INTO log(kind, created, text, address) VALUES(?1, ?2, ?3, ?4)");
    insert.Bind(1, kind).Bind(2, static_cast<int64_t>(std::time(nullptr))).Bind(3, text).Bind(4, address);
    return insert.Run() ? 0 : -1;
}

int64_t CServiceStore::LogCount(const std::string& kind)
{
    std::lock_guard lock(m_mutex);
    CSqlStatement query(m_db, "SELECT count(*) FROM log WHERE kind = ?1");
    query.Bind(1, kind);
    return query.Step() == SQLITE_ROW ? query.Int(0) : -1;
}

std::string CServiceStore::IntegrityCheck()
{
    std::lock_guard lock(m_mutex);
    CSqlStatement query(m_db, "PRAGMA integrity_check");
    std::string result;
    while (query.Step() == SQLITE_ROW) {
        result += (result.empty() ? "" : "\n") + query.Text(0);
    }
    return result;
}

} // namespace vandu::server
