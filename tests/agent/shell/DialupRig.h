#pragma once

// A dial-up setup in a temporary folder for the connection tests: a ppp daemon on the search
// path, one phone-book entry and a ppp0 interface whose flags say up and running, or not.

#include "agent/net/DialupMonitor.h"
#include "tests/support/TestSupport.h"

#include <sys/stat.h>

namespace vandu::test {

class DialupRig {
public:
    DialupRig()
    {
        for (const char* folder : {"bin", "peers", "net", "net/ppp0"})
            ::mkdir(m_dir.File(folder).c_str(), 0755);
        WriteFile(m_dir.File("bin/pppd"), "#!/bin/sh\n");
        ::chmod(m_dir.File("bin/pppd").c_str(), 0755);
        WriteFile(m_dir.File("peers/provider"), "/dev/modem 57600\n");
        SetLinkUp(true);
    }

    // IFF_UP | IFF_RUNNING versus IFF_UP alone (still dialling).
    void SetLinkUp(bool up) { WriteFile(m_dir.File("net/ppp0/flags"), up ? "0x1051\n" : "0x1011\n"); }

    CDialupRoots Roots() const
    {
        CDialupRoots roots;
        roots.SearchPath = m_dir.File("bin");
        roots.PeersDir = m_dir.File("peers");
        roots.NetClassDir = m_dir.File("net");
        return roots;
    }

private:
    TempDir m_dir;
};

} // namespace vandu::test
