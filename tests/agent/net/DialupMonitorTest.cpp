#include "agent/net/DialupMonitor.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

struct Machine {
    bool daemon = false;
    int entries = 0;
    std::string pppFlags; // empty: no ppp interface
    bool otherInterfaceUp = true;
};

CDialupRoots Build(const TempDir& dir, const Machine& machine)
{
    CDialupRoots roots {dir.File("bin") + ":" + dir.File("sbin"), dir.File("peers"), dir.File("net")};
    for (const char* sub : {"bin", "sbin", "peers", "net", "net/lo", "net/eth0"})
        ::mkdir(dir.File(sub).c_str(), 0755);
    WriteFile(dir.File("bin/chat"), "#!/bin/sh\n");
    if (machine.daemon) {
        WriteFile(dir.File("sbin/pppd"), "#!/bin/sh\n");
        ::chmod(dir.File("sbin/pppd").c_str(), 0755);
    }
    for (int i = 0; i < machine.entries; ++i)
        WriteFile(dir.File("peers/provider" + std::to_string(i)), "/dev/ttyS0 115200\n");
    WriteFile(dir.File("net/lo/flags"), "0x9\n");
    WriteFile(dir.File("net/eth0/flags"), machine.otherInterfaceUp ? "0x1043\n" : "0x1002\n");
    if (!machine.pppFlags.empty()) {
        ::mkdir(dir.File("net/ppp0").c_str(), 0755);
        WriteFile(dir.File("net/ppp0/flags"), machine.pppFlags + "\n");
    }
    return roots;
}

} // namespace

TEST(DialupMonitor, AnswersForEachMachine)
{
    struct Case {
        const char* name;
        Machine machine;
        int connected;
    } cases[] = {
        {"no ppp daemon", {false, 2, "", true}, 1},
        {"no daemon, link down", {false, 1, "0x1090", false}, 1},
        {"daemon, no entry, network down", {true, 0, "", false}, 1},
        {"entry, no link", {true, 1, "", true}, 0},
        {"link up and running", {true, 1, "0x10d1", true}, 1},
        {"link still dialling (up, not running)", {true, 1, "0x1091", true}, 0},
        {"link down", {true, 1, "0x1090", true}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const CDialupMonitor monitor(Build(dir, c.machine));
        EXPECT_EQ(monitor.HasDaemon(), c.machine.daemon);
        EXPECT_EQ(monitor.IsDialupConnected(), c.connected);
    }
}

TEST(DialupMonitor, AsksAfreshOnEveryCall)
{
    TempDir dir;
    const CDialupMonitor monitor(Build(dir, {true, 1, "", true}));
    EXPECT_EQ(monitor.IsDialupConnected(), 0);
    ::mkdir(dir.File("net/ppp0").c_str(), 0755);
    WriteFile(dir.File("net/ppp0/flags"), "0x10d1\n");
    EXPECT_EQ(monitor.IsDialupConnected(), 1);
}

TEST(DialupMonitor, NonExecutableDaemonAndMissingPeersFolder)
{
    TempDir dir;
    CDialupRoots roots = Build(dir, {false, 0, "", true});
    WriteFile(dir.File("bin/pppd"), "not a program");
    ::chmod(dir.File("bin/pppd").c_str(), 0644);
    EXPECT_FALSE(CDialupMonitor(roots).HasDaemon());
    ::chmod(dir.File("bin/pppd").c_str(), 0755);
    roots.PeersDir = dir.File("missing");
    const CDialupMonitor monitor(roots);
    EXPECT_TRUE(monitor.HasDaemon());
    EXPECT_EQ(monitor.IsDialupConnected(), 1);
}
