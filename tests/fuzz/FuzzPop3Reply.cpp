// The POP3 counter's reading of replies from a server: a STAT count is never negative (negative
// values are the count's failures), and TLS may start only on one whole positive line.

#include "agent/mail/Pop3Protocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    if (CPop3Protocol::ParseStatCount(reply) < 0)
        std::abort();
    if (CPop3Protocol::AcceptsStartTls(reply, true))
        std::abort();
    if (CPop3Protocol::AcceptsStartTls(reply, false)
        && (reply.rfind("+OK", 0) != 0 || reply.find('\n') != reply.size() - 1))
        std::abort();
    return 0;
}
