// A live vandu-service under load and abuse: deposits from the command line while clients poll,
// and requests no service would understand, sent from several clients at once.

#include "server/ServiceStore.h"

#include "tests/server/ServiceTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace vandu::test;
using vandu::server::CServiceStore;

namespace {

const std::string kCgi = "/cgi-bin/MessageManager.dll?";
const std::string kJane = "5551234567";

class ServiceLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_db = m_dir.File("service.db");
        ASSERT_EQ(
            RunService({"add-subscriber", kJane, "1234", "Jane", "Doe", "jane@mail.test", "--db", m_db}).Status, 0);
        ASSERT_TRUE(m_service.Start(m_db));
    }

    // Deposits count texts from the command line; returns how many succeeded.
    int Deposit(int first, int count)
    {
        int ok = 0;
        for (int i = first; i < first + count; ++i) {
            const ProgramRun run
                = RunService({"deposit-text", kJane, "note " + std::to_string(i), "--no-wake", "--db", m_db});
            ok += run.Status == 0 ? 1 : 0;
        }
        return ok;
    }

    // Polls like an agent until stop: list, fetch the first waiting message, sometimes mark it read.
    void Poll(int client, const std::atomic<bool>& stop, std::atomic<int>& failures, std::atomic<int>& marked)
    {
        const std::string from = "127.0.1." + std::to_string(client + 1);
        for (int round = 0; round < 5000 && !stop; ++round) {
            const HttpAnswer list = HttpGet(m_service.Port(), kCgi + "GetNewMessageIDs&VanduID=" + kJane, from);
            if (list.Status != 200 || list.Body.rfind("Result=", 0) != 0) {
                ++failures;
                continue;
            }
            const size_t semicolon = list.Body.find(';');
            if (semicolon == std::string::npos) {
                continue;
            }
            const std::string id = list.Body.substr(7, semicolon - 7);
            const HttpAnswer message = HttpGet(m_service.Port(),
                kCgi + "GetMessage2&VanduID=" + kJane + "&Password=1234&MessageID=" + id + "&AudioType=0", from);
            // 404: another client marked it read in between.
            failures += (message.Status == 200 || message.Status == 404) ? 0 : 1;
            if (round % 4 == client % 4) {
                const HttpAnswer mark = HttpGet(m_service.Port(),
                    kCgi + "MarkMessageAsRead&VanduID=" + kJane + "&Password=1234&MessageID=" + id, from);
                failures += mark.Status == 200 ? 0 : 1;
                marked += mark.Body == "Result=1\n" ? 1 : 0;
            }
        }
    }

    TempDir m_dir;
    std::string m_db;
    ServiceProcess m_service;
};

} // namespace

TEST_F(ServiceLoad, DepositsWhileClientsPollAllSucceed)
{
    std::atomic<bool> stop {false};
    std::atomic<int> failures {0};
    std::atomic<int> marked {0};
    std::vector<std::thread> pollers;
    for (int client = 0; client < 8; ++client) {
        pollers.emplace_back([&, client] { Poll(client, stop, failures, marked); });
    }
    int deposited = 0;
    std::thread second([&] { deposited += Deposit(100, 100); });
    const int first = Deposit(0, 100);
    second.join();
    stop = true;
    for (std::thread& poller : pollers) {
        poller.join();
    }
    EXPECT_EQ(first + deposited, 200);
    EXPECT_EQ(failures, 0);
    CServiceStore store;
    ASSERT_EQ(store.Open(m_db), 0);
    EXPECT_EQ(store.IntegrityCheck(), "ok");
    EXPECT_EQ(store.WaitingIds(kJane).size() + static_cast<size_t>(marked.load()), 200u)
        << "every deposit is either waiting or was marked read exactly once";
    EXPECT_EQ(m_service.Stop(), 0);
}

TEST_F(ServiceLoad, NonsenseNeverCrashesOrCorrupts)
{
    ASSERT_EQ(RunService({"deposit-text", kJane, "keep me", "--no-wake", "--db", m_db}).Status, 0);
    const std::string longValue(5000, '7');
    const std::vector<std::string> targets = {
        kCgi + "GetNewMessageIDs",
        kCgi + "GetNewMessageIDs&VanduID=" + longValue,
        kCgi + "GetMessage2&VanduID=" + kJane + "&Password=1234&MessageID=" + longValue + "&AudioType=0",
        kCgi + "GetMessage2&VanduID=" + kJane + "&Password=" + longValue + "&MessageID=1&AudioType=0",
        kCgi + "GetMessage2&VanduID=" + kJane + "&Password=1234' OR '1'='1&MessageID=1&AudioType=0",
        kCgi + "MarkMessageAsRead&VanduID=" + kJane + "' OR 1=1 --&Password=1234&MessageID=1",
        kCgi + "SendTextMessage&VanduID=" + kJane + "&From=" + kJane + "&Text=" + std::string(9000, 'x'),
        kCgi + "SetGetUserInfo&VanduID=" + kJane + "&Password=" + longValue + "&Version=4.2",
        kCgi + "GetSponsor&VanduID=%00%01%02",
        kCgi + "AddLogSponsorClick&SponsorID=" + longValue + "&VanduID=" + kJane,
        "/cgi-bin/log.dll?MfcISAPICommand=Add&Str=" + longValue,
        "/asp/misc/pda_signup.asp?VanduID=5551112222&Password=1111&Email=a@b.cd&FirstName=" + longValue
            + "&LastName=Lee&VendorID=0",
        "/asp/misc/pda_id_available.asp?VanduID=" + std::string(100000, '5'),
        "/asp/misc/../../etc/passwd",
        "/cgi-bin/MessageManager.dll?%%%%&&&===",
    };
    std::atomic<int> answeredWithKeys {0};
    std::atomic<int> silent {0};
    std::vector<std::thread> clients;
    for (int client = 0; client < 4; ++client) {
        clients.emplace_back([&, client] {
            for (const std::string& target : targets) {
                const HttpAnswer answer = HttpGet(m_service.Port(), target, "127.0.2." + std::to_string(client + 1));
                answeredWithKeys += (answer.Status == 200 || !answer.Body.empty()) ? 1 : 0;
                silent += answer.Status == -1 ? 1 : 0;
            }
        });
    }
    std::thread depositor([&] {
        for (int i = 0; i < 10; ++i) {
            RunService({"deposit-text", kJane, "x'); DELETE FROM messages; --", "--no-wake", "--db", m_db});
        }
    });
    for (std::thread& client : clients) {
        client.join();
    }
    depositor.join();
    EXPECT_EQ(answeredWithKeys, 0) << "nonsense must be answered like a request nobody understood";
    EXPECT_EQ(silent, 0) << "every request gets an answer";
    const HttpAnswer still = HttpGet(m_service.Port(), kCgi + "GetNewMessageIDs&VanduID=" + kJane);
    EXPECT_EQ(still.Status, 200) << "the service must still serve";
    CServiceStore store;
    ASSERT_EQ(store.Open(m_db), 0);
    EXPECT_EQ(store.IntegrityCheck(), "ok");
    const auto waiting = store.ListWaiting(kJane);
    ASSERT_EQ(waiting.size(), 11u);
    EXPECT_EQ(waiting.back().Text, "x'); DELETE FROM messages; --") << "metacharacters are stored as text";
    EXPECT_EQ(m_service.Stop(), 0);
}
