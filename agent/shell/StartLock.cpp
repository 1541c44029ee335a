#include "agent/shell/StartLock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

CStartLock::CStartLock(const std::string& path, int waitMs)
{
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_held = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        // The other agent holds it only while it looks and starts listening: a few milliseconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

CStartLock::~CStartLock()
{
    // Closing the file lets go of the lock; the file stays, as removing it could let a third
    // agent lock a new file while a second still holds the old one.
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}
