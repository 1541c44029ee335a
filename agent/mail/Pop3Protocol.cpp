#include "agent/mail/Pop3Protocol.h"

#include <climits>

bool CPop3Protocol::IsPositive(const std::string& reply)
{
    return reply.find("+OK") != std::string::npos;
}

bool CPop3Protocol::AcceptsStartTls(const std::string& replyLine, bool moreBytesWaiting)
{
    if (moreBytesWaiting || replyLine.rfind("+OK", 0) != 0)
        return false;
    const std::size_t lineEnd = replyLine.find('\n');
    return lineEnd != std::string::npos && lineEnd + 1 == replyLine.size();
}

int CPop3Protocol::ParseStatCount(const std::string& reply)
{
    if (reply.size() <= 4)
        return 0;
    const std::string rest = reply.substr(4);
    const std::size_t space = rest.find(' ');
    if (space == std::string::npos)
        return 0;
    long long count = 0;
    for (std::size_t i = 0; i < space && rest[i] >= '0' && rest[i] <= '9'; ++i) {
        count = count * 10 + (rest[i] - '0');
        if (count > INT_MAX)
            return INT_MAX; // a count beyond any mailbox; keep it positive rather than wrap
    }
    return static_cast<int>(count);
}

bool CPop3Protocol::IsValidEndpoint(int security, int port)
{
    const bool knownSecurity = security == kSecurityNone || security == kSecurityTls || security == kSecurityStartTls;
    return knownSecurity && port >= 1 && port <= 65535;
}
