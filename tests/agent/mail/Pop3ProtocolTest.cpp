#include "agent/mail/Pop3Protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// Whether TLS may start decides whether the login is protected: only a whole "+OK" line with
// nothing after it lets it start.
TEST(Pop3ProtocolTest, StartTlsOnlyOnAWholePositiveLine)
{
    struct Row {
        const char* name;
        std::string line;
        bool moreBytesWaiting;
        bool accepted;
    };
    const std::vector<Row> rows {
        {"go-ahead with text", "+OK Begin TLS negotiation\r\n", false, true},
        {"bare marker", "+OK\r\n", false, true},
        {"line ended by LF alone", "+OK\n", false, true},
        {"bytes waiting after the line", "+OK Begin TLS\r\n", true, false},
        {"a second line in the same text", "+OK Begin TLS\r\n+OK 9 9\r\n", false, false},
        {"no line end", "+OK Begin TLS", false, false},
        {"error with the marker later", "-ERR no +OK here\r\n", false, false},
        {"marker not at the start", " +OK\r\n", false, false},
        {"empty", "", false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CPop3Protocol::AcceptsStartTls(row.line, row.moreBytesWaiting), row.accepted);
    }
}

TEST(Pop3ProtocolTest, EndpointsThatCanBeCounted)
{
    struct Row {
        int security;
        int port;
        bool valid;
    };
    const std::vector<Row> rows {
        {CPop3Protocol::kSecurityNone, 110, true},
        {CPop3Protocol::kSecurityTls, 995, true},
        {CPop3Protocol::kSecurityStartTls, 1, true},
        {CPop3Protocol::kSecurityNone, 65535, true},
        {3, 110, false},
        {-1, 110, false},
        {CPop3Protocol::kSecurityTls, 0, false},
        {CPop3Protocol::kSecurityTls, 65536, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.security) + " " + std::to_string(row.port));
        EXPECT_EQ(CPop3Protocol::IsValidEndpoint(row.security, row.port), row.valid);
    }
}

TEST(Pop3ProtocolTest, StatCountParsing)
{
    const std::vector<std::pair<std::string, int>> rows {
        {"+OK 3 1024\r\n", 3},
        {"+OK 0 0\r\n", 0},
        {"+OK 3\r\n", 0},
        {"+OK", 0},
        {"+OK 42abc 1\r\n", 42},
        {"+OK  7 1\r\n", 0},
        {"+OK 99999999999 1", 2147483647},
    };
    for (const auto& [reply, count] : rows) {
        SCOPED_TRACE(reply);
        EXPECT_EQ(CPop3Protocol::ParseStatCount(reply), count);
    }
}

} // namespace
