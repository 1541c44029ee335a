#pragma once

// The wake-up: a TCP connection to the subscriber's machine, closed at once with nothing sent.
// The agent never accepts it; the attempt alone makes it poll.

#include <string>

namespace vandu::server {

inline constexpr int kDefaultWakeupPort = 2026;

class CWakeupSender {
public:
    // Connects to address:port (a numeric IPv4 or IPv6 address) within timeoutMs and closes again.
    // 0 when the connection was made, -1 when it failed, was refused or timed out.
    static int Wake(const std::string& address, int port, int timeoutMs = 1500);
};

} // namespace vandu::server
