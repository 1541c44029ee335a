#include "server/SqlStatement.h"

namespace vandu::server {

CSqlStatement::CSqlStatement(sqlite3* db, const char* sql)
{
    if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

CSqlStatement::~CSqlStatement()
{
    sqlite3_finalize(m_statement);
}

CSqlStatement& CSqlStatement::Bind(int index, std::string_view text)
{
    if (m_statement
        && sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8)
            != SQLITE_OK) {
        m_bindFailed = true;
    }
    return *this;
}

CSqlStatement& CSqlStatement::BindBlob(int index, std::string_view bytes)
{
    // A zero-length blob still has to be a blob, not NULL: the column is NOT NULL.
    static const char kEmpty = 0;
    const void* data = bytes.empty() ? static_cast<const void*>(&kEmpty) : bytes.data();
    if (m_statement && sqlite3_bind_blob64(m_statement, index, data, bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK) {
        m_bindFailed = true;
    }
    return *this;
}

CSqlStatement& CSqlStatement::Bind(int index, int64_t value)
{
    if (m_statement && sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK) {
        m_bindFailed = true;
    }
    return *this;
}

int CSqlStatement::Step()
{
    if (!m_statement || m_bindFailed) {
        return SQLITE_MISUSE;
    }
    return sqlite3_step(m_statement);
}

bool CSqlStatement::Run()
{
    int rc = Step();
    while (rc == SQLITE_ROW) {
        rc = Step();
    }
    return rc == SQLITE_DONE;
}

std::string CSqlStatement::Text(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (!data || size <= 0) {
        return {};
    }
    return std::string(static_cast<const char*>(data), static_cast<size_t>(size));
}

int64_t CSqlStatement::Int(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

} // namespace vandu::server
