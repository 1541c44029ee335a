#include "agent/store/MessageStore.h"
#include "tests/agent/store/StoreFakes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// The poll job's calls on a worker thread against the UI thread's navigation, deletion and drawing;
// run under ThreadSanitizer this finds any read or write outside the store's lock.
TEST(StoreConcurrencyTest, APollThreadAndTheUiThreadShareTheStore)
{
    vandu::test::TempDir dir;
    const std::string folder = dir.File("msg");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    CMemorySettingsBackend backend;
    CSettingsStore settings {backend, [] { return std::pair {1024, 768}; }};
    settings.SetVanduID("4711");
    CAccountInfo account;
    vandu::test::CRecordingRenderer renderer;
    vandu::test::CRecordingPlayer player;
    vandu::test::CFixedTimeSource clock {0, 0};
    CMessageStore store {renderer, player, settings, account, clock, folder};
    store.Open("4711");

    constexpr int kPolls = 150;
    std::atomic<bool> polling {true};
    std::thread poll([&] {
        for (int i = 0; i < kPolls; ++i) {
            const std::string n = std::to_string(i);
            store.AddDownloadedMessage("1/1/2000", "10:00:00", 3, "", "", "text " + n, "", "1", "F", "L");
            store.AddDownloadedMessage("1/1/2000", "10:00:01", 1, "555", "B", "", "4711" + n + ".wav", "", "", "");
            store.SetLastDownloaded(n);
            store.Save();
            store.RefreshStatus();
            store.SetSponsorID(n);
            store.SetVendorDesc("v" + n);
            account.SetUserInfo(1, "F" + n, "L" + n, "1-800", "127.0.0.1");
        }
        polling = false;
    });

    int deleted = 0;
    for (int step = 0; step < 20000 && (polling || step < 50); ++step) {
        switch (step % 9) {
        case 0:
            store.NextMessage();
            break;
        case 1:
            store.PreviousMessage();
            break;
        case 2:
            store.Redraw();
            break;
        case 3:
            store.ClickLcd();
            break;
        case 4:
            store.ScrollDown();
            break;
        case 5:
            (void)store.DetailText();
            (void)store.DetailReceived();
            break;
        case 6:
            (void)store.CurrentMessage();
            break;
        case 7:
            store.PlayCurrentVoice();
            break;
        default:
            if (step % 27 == 8 && store.HasMessages()) {
                store.DeleteCurrent();
                ++deleted;
            }
        }
    }
    poll.join();

    EXPECT_EQ(store.Count(), 2 * kPolls - deleted);
    store.Save();
    CMessageList reread(folder);
    reread.Load("4711");
    EXPECT_EQ(reread.Count(), store.Count());
    EXPECT_EQ(store.HeaderValues().LastDownloaded, std::to_string(kPolls - 1));
}

} // namespace
