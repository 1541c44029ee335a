// The agent's contract checks (vandu_service_contract, through the agent's own HTTP client) run
// against a live vandu-service seeded through its command line: with the sponsor picture sent in
// the answer and with it named by address.

#include "server/DemoContent.h"

#include "tests/server/ServiceTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vandu::test;
using vandu::server::CDemoContent;

namespace {

class ServiceContractRun : public ::testing::TestWithParam<bool> { };

} // namespace

TEST_P(ServiceContractRun, LiveServicePassesTheContract)
{
    TempDir dir;
    const std::string db = dir.File("service.db");
    WriteFile(dir.File("voice.wav"), CDemoContent::MakeRecording(44100, 2, 2.0));
    WriteFile(dir.File("sponsor.bmp"), CDemoContent::MakeBanner(150, 75, 0x804020, 0xF0E0D0));
    WriteFile(dir.File("vendor.bmp"), CDemoContent::MakeBanner(165, 16, 0x204080, 0xFFFF00));
    std::vector<std::string> sponsor {"set-sponsor", "77", "Coffee", "http://127.0.0.1/", dir.File("sponsor.bmp")};
    if (GetParam()) {
        sponsor.push_back("--by-url");
    }
    const std::vector<std::vector<std::string>> seed = {
        {"add-subscriber", "5557654321", "2468", "Kim", "Tester", "kim@mail.test"},
        {"add-subscriber", "5550001234", "1357", "Lou", "Sender", "lou@mail.test"},
        {"deposit-voice", "5557654321", dir.File("voice.wav"), "--caller-id", "5550142", "--caller-name", "Pat",
            "--no-wake"},
        {"deposit-text", "5557654321", "Your table is ready.", "--no-wake"},
        {"deposit-text", "5557654321", "See you at eight?", "--from", "5550001234", "--no-wake"},
        sponsor,
        {"set-vendor", "Vandu shop", "http://127.0.0.1/shop", dir.File("vendor.bmp")},
    };
    for (std::vector<std::string> args : seed) {
        SCOPED_TRACE(args[0]);
        args.push_back("--db");
        args.push_back(db);
        const ProgramRun run = RunService(args);
        ASSERT_EQ(run.Status, 0) << run.Err;
    }
    ServiceProcess service;
    ASSERT_TRUE(service.Start(db));
    const ProgramRun contract = RunProgram(VANDU_CONTRACT_PROGRAM,
        {"--base", "http://127.0.0.1:" + std::to_string(service.Port()), "--id", "5557654321", "--password", "2468",
            "--free-id", "5553217654"},
        90000);
    EXPECT_EQ(contract.Status, 0) << contract.Out << contract.Err;
    EXPECT_EQ(service.Stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sponsor, ServiceContractRun, ::testing::Values(false, true),
    [](const auto& info) { return info.param ? "PictureByUrl" : "PictureInAnswer"; });
