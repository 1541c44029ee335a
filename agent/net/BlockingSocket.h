#pragma once

// CBlockingSocket: a blocking BSD stream socket with the few operations every exchange needs.
// Results are ints; a negative result is the negated errno. Never raises SIGPIPE. With a deadline
// set, no operation waits past it: a wait then times out, and ReadLine and Receive after a wait
// answer as for a closed connection.

#include "agent/net/Deadline.h"

#include <cstdint>

class CBlockingSocket {
public:
    CBlockingSocket() = default;
    virtual ~CBlockingSocket();
    CBlockingSocket(const CBlockingSocket&) = delete;
    CBlockingSocket& operator=(const CBlockingSocket&) = delete;

    // Shuts down and closes an open socket. Returns 1.
    virtual int Close();
    // Receive without removing the bytes from the connection.
    virtual int Peek(char* buffer, int size);
    // One receive of at most size bytes: count, 0 when the peer closed (or it would block), or -errno.
    virtual int Receive(char* buffer, int size);
    // Sends every byte: length or -errno.
    virtual int Send(const char* data, int length);
    // Stores bytes up to and including the terminator, or count other bytes, taking nothing beyond.
    // Returns the bytes stored; 0 when the peer closed, or when a read limit is set and passes
    // without a byte; -errno on error.
    virtual int ReadLine(char* buffer, int count);
    // Waits for readable or an exceptional condition. seconds < 0 waits without limit.
    // Returns 1 when ready, 0 on time-out or when not connected, negative on error.
    virtual int WaitReadable(int seconds, int microseconds);
    virtual int WaitForReadable(int seconds, int microseconds);
    virtual int WaitForWritable(int seconds, int microseconds);
    virtual int WaitForException(int seconds, int microseconds);

    // Takes an already connected descriptor (socket pairs, accepted connections); owns it from now on.
    void Attach(int fd);
    // Longest silence ReadLine waits for before giving up as if closed; negative: no limit (default).
    void SetReadLineLimit(int milliseconds) { m_readLineLimitMs = milliseconds; }
    // The end of the dialogue on this socket (none by default); also bounds a later Connect.
    void SetDeadline(const CDeadline& deadline) { m_deadline = deadline; }
    const CDeadline& Deadline() const { return m_deadline; }

    int IsConnected() const { return m_connected; }
    int Handle() const { return m_socket; }
    std::uint16_t PortNetworkOrder() const { return m_port; }

protected:
    int Wait(short events, int seconds, int microseconds);
    int WaitMs(short events, int milliseconds);
    int ReceiveSome(char* buffer, int size, int flags);

    int m_flags = 0; // bit 0: non-blocking after connect (never set here)
    int m_connected = 0;
    int m_socket = -1;
    std::uint16_t m_port = 0;
    char m_lineTerminator = '\n';
    int m_readLineLimitMs = -1;
    CDeadline m_deadline;
};
