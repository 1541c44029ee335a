#pragma once

// CTcpClientSocket: a CBlockingSocket that resolves host and port texts (IPv4 only) and connects.
// Also LocalHostName, the machine's host name as the sockets interface reports it.

#include "agent/net/BlockingSocket.h"

#include <string>

class CTcpClientSocket : public CBlockingSocket {
public:
    // Returns the socket handle (>= 0), -1 when no socket could be created, or -errno of the connect
    // (an unknown port or host makes the connect fail; -ETIMEDOUT when the deadline passed first).
    virtual int Connect(const std::string& host, const std::string& port);

    const std::string& HostText() const { return m_hostText; }
    const std::string& PortText() const { return m_portText; }

private:
    int AwaitConnect();

    std::string m_hostText;
    std::string m_portText;
};

// At most 255 characters; "localhost" when the name cannot be read.
std::string LocalHostName();
