#include "agent/net/DialupMonitor.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr unsigned long kInterfaceUp = 0x1;
constexpr unsigned long kInterfaceRunning = 0x40;

bool IsExecutableFile(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsUpAndRunning(const std::string& interfaceDir)
{
    std::ifstream file(interfaceDir + "/flags");
    std::string text;
    if (!(file >> text))
        return false;
    char* end = nullptr;
    const unsigned long flags = std::strtoul(text.c_str(), &end, 0);
    if (end == text.c_str())
        return false;
    return (flags & kInterfaceUp) && (flags & kInterfaceRunning);
}

} // namespace

CDialupRoots CDialupRoots::System()
{
    const char* path = std::getenv("PATH");
    CDialupRoots roots;
    roots.SearchPath = std::string(path ? path : "") + ":/usr/sbin";
    roots.PeersDir = "/etc/ppp/peers";
    roots.NetClassDir = "/sys/class/net";
    return roots;
}

CDialupMonitor::CDialupMonitor()
    : CDialupMonitor(CDialupRoots::System())
{
}

CDialupMonitor::CDialupMonitor(const CDialupRoots& roots)
    : m_roots(roots)
{
    std::size_t start = 0;
    while (start <= m_roots.SearchPath.size() && !m_hasDaemon) {
        std::size_t end = m_roots.SearchPath.find(':', start);
        if (end == std::string::npos)
            end = m_roots.SearchPath.size();
        const std::string dir = m_roots.SearchPath.substr(start, end - start);
        if (!dir.empty() && IsExecutableFile(dir + "/pppd"))
            m_hasDaemon = true;
        start = end + 1;
    }
}

// A folder that cannot be read counts as no entries.
int CDialupMonitor::CountEntries() const
{
    DIR* dir = ::opendir(m_roots.PeersDir.c_str());
    if (dir == nullptr)
        return 0;
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && IsRegularFile(m_roots.PeersDir + "/" + name))
            ++count;
    }
    ::closedir(dir);
    return count;
}

int CDialupMonitor::IsDialupConnected() const
{
    if (!m_hasDaemon || CountEntries() == 0)
        return 1;
    DIR* dir = ::opendir(m_roots.NetClassDir.c_str());
    if (dir == nullptr)
        return 0;
    // With several links one that is up and running is enough.
    int connected = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, 3, "ppp") == 0 && IsUpAndRunning(m_roots.NetClassDir + "/" + name))
            connected = 1;
    }
    ::closedir(dir);
    return connected;
}
