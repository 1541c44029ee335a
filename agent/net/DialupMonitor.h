#pragma once

// CDialupMonitor: is a dial-up link up right now? "Dial-up present" means the ppp daemon is installed;
// entries are files in the peers folder; connections are network interfaces named ppp*, and a link
// counts as connected when its interface is up and running. Every root is injectable for tests.

#include <string>

struct CDialupRoots {
    std::string SearchPath; // colon-separated folders looked through for "pppd"
    std::string PeersDir; // one file per configured dial-up entry
    std::string NetClassDir; // one folder per interface, holding its "flags" file
    static CDialupRoots System(); // $PATH:/usr/sbin, /etc/ppp/peers, /sys/class/net
};

class CDialupMonitor {
public:
    CDialupMonitor();
    explicit CDialupMonitor(const CDialupRoots& roots);

    // 1 or 0: 1 without a ppp daemon or without entries; else 1 only when a ppp link is up and running.
    int IsDialupConnected() const;
    bool HasDaemon() const { return m_hasDaemon; }

private:
    int CountEntries() const;

    CDialupRoots m_roots;
    bool m_hasDaemon = false; // fixed at construction, like a library loaded once
};
