#pragma once

// One prepared SQLite statement, finalised on destruction. Values are only ever bound, never
// spliced into the SQL text.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vandu::server {

class CSqlStatement {
public:
    CSqlStatement(sqlite3* db, const char* sql);
    ~CSqlStatement();
    CSqlStatement(const CSqlStatement&) = delete;
    CSqlStatement& operator=(const CSqlStatement&) = delete;

    bool Ok() const { return m_statement != nullptr; }
    // Binding returns *this so that a statement reads as one expression; index starts at 1.
    CSqlStatement& Bind(int index, std::string_view text);
    CSqlStatement& BindBlob(int index, std::string_view bytes);
    CSqlStatement& Bind(int index, int64_t value);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Runs to the end: true when it finished with SQLITE_DONE.
    bool Run();

    std::string Text(int column) const;
    int64_t Int(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_bindFailed = false;
};

} // namespace vandu::server
