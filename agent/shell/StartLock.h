#pragma once

// Makes agents started at the same moment take turns at looking for a running agent and starting
// to listen, so that neither removes the socket the other has just made. An advisory lock on a
// file beside the socket: the kernel lets go of it when its holder ends, however it ends, and
// taking it writes nothing to the disk.

#include <string>

class CStartLock {
public:
    // Waits up to waitMs for the lock; without it (a holder stuck for that long, or no file) the
    // start goes on unguarded, as one without a second agent would.
    CStartLock(const std::string& path, int waitMs);
    ~CStartLock();
    CStartLock(const CStartLock&) = delete;
    CStartLock& operator=(const CStartLock&) = delete;

    bool Held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};
