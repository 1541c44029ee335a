#pragma once

// Helpers shared by the tests: temporary folders, free loopback ports, peer programs, child
// processes with a write limit. Qt-free, so core tests can use them.

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace vandu::test {

// A fresh folder under the temp directory, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
// The permission bits of a file (07777), -1 when it does not exist.
int FileMode(const std::string& path);
// A value of an INI-style text (the settings file's form): the text after "key=" in [section];
// "<missing>" when there is none.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);

// A TCP port on 127.0.0.1 that was free a moment ago.
int FreeLoopbackPort();

// Full path of a program found on PATH, in /usr/sbin or /sbin; empty when missing.
std::string FindProgram(const std::string& name);

// True when CI asked for every peer (Xvfb, nginx, ...) to be present: a missing one then fails.
bool PeersRequired();

// Runs body in a forked child whose file writes are limited to limitBytes (RLIMIT_FSIZE, with
// SIGXFSZ ignored, so writes fail with EFBIG). Root cannot bypass it. Returns the child's exit
// status (0..255), or -1 when it died from a signal.
int RunWithWriteLimit(long limitBytes, const std::function<int()>& body);

// Waits up to timeoutMs until a TCP connection to 127.0.0.1:port (or host) succeeds.
bool WaitForPort(const std::string& host, int port, int timeoutMs);

} // namespace vandu::test

// Skips when a peer program is missing, or fails under VANDU_REQUIRE_PEERS=1 (as in CI).
#define VANDU_REQUIRE_PEER(cond, what)                                                                                 \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            if (::vandu::test::PeersRequired()) {                                                                      \
                FAIL() << "required peer missing: " << (what);                                                         \
            } else {                                                                                                   \
                GTEST_SKIP() << "peer missing, skipped: " << (what);                                                   \
            }                                                                                                          \
        }                                                                                                              \
    } while (0)

namespace vandu::test {

// An Xvfb server on a display number it picks itself (-displayfd), started with -noreset so that
// it survives its last client leaving; stopped on destruction.
class XvfbServer {
public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // False when Xvfb is missing or did not come up within a few seconds.
    bool Start(const std::string& screen = "1024x768x24");
    // ":N"
    const std::string& Display() const { return m_display; }

private:
    int m_pid = -1;
    std::string m_display;
};

// Runs a shell command with DISPLAY set and returns what it printed on stdout.
std::string RunCapture(const std::string& command);

} // namespace vandu::test
