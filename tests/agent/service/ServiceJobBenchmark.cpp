// One poll bringing 100 text messages, and one bringing 20 voice messages of about 100 KB each,
// from the reference service on loopback; beside them the same exchanges made one after another
// by one curl process. The messages are deposited again (untimed) before each iteration.

#include "agent/service/ServiceCommands.h"
#include "agent/service/ServiceConfig.h"
#include "agent/service/ServiceJob.h"
#include "agent/service/ServiceResponse.h"
#include "tests/agent/service/JobTestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace vandu::test;

namespace {

constexpr const char* kId = "5551234567";
constexpr const char* kPassword = "1234";

struct SBenchService {
    SBenchService()
        : service(dir.Path())
        , home(service.Home())
    {
        service.Admin({"add-subscriber", kId, kPassword, "Bob", "Ray", "bob@example.org"});
        WriteFile(dir.File("voice.wav"), MakeWave(100044));
    }
    void Deposit(int texts, int voices)
    {
        for (int i = 0; i < texts; ++i) {
            service.Admin({"deposit-text", kId, "Text message number " + std::to_string(i), "--no-wake"});
        }
        for (int i = 0; i < voices; ++i) {
            service.Admin({"deposit-voice", kId, dir.File("voice.wav"), "--caller-id", "5550001", "--no-wake"});
        }
    }
    TempDir dir;
    CVanduService service;
    CServiceHome home;
};

void AgentPoll(benchmark::State& state, int texts, int voices)
{
    SBenchService bench;
    if (!bench.service.Running()) {
        state.SkipWithError("vandu-service not built");
        return;
    }
    std::size_t stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.Deposit(texts, voices);
        auto rig = std::make_unique<CJobRig>(kId, kPassword);
        rig->Settings.SetAudioType(1);
        CServiceJob job;
        job.SetInputs(rig->Store.get(), &rig->Settings, &rig->Connection, &rig->Account);
        job.SetKind(REQUEST_POLL);
        state.ResumeTiming();
        job.Start();
        job.Wait();
        state.PauseTiming();
        stored += static_cast<std::size_t>(rig->Store->Count());
        rig.reset();
        state.ResumeTiming();
    }
    if (stored != static_cast<std::size_t>(state.iterations()) * static_cast<std::size_t>(texts + voices)) {
        state.SkipWithError("not every message arrived");
    }
}

int Curl(const std::string& url, std::string* body)
{
    return RunProgram({"/usr/bin/curl", "-s", "-0", "-o", "-", url}, body);
}

// The agent's exchanges, in its order, made by one curl process over HTTP/1.0 with a fresh
// connection each, as the agent makes them. The IDs are learnt first, untimed (listing them
// changes nothing on the service). The time is the whole curl run, its start included; the
// transfers' own time_total, summed, is reported beside it as curl_transfers_ms.
void CurlSequence(benchmark::State& state, int texts, int voices)
{
    SBenchService bench;
    if (!bench.service.Running() || !PathExists("/usr/bin/curl")) {
        state.SkipWithError("vandu-service or curl missing");
        return;
    }
    const std::string cgi = ServiceCgiBase();
    const std::string config = bench.dir.File("urls.cfg");
    double transfersSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.Deposit(texts, voices);
        std::string list;
        Curl(BuildGetNewMessageIDs(cgi, kId), &list);
        const std::vector<int> ids = GetResponseIdList(list);
        std::string urls = "url = \"" + BuildGetNewMessageIDs(cgi, kId) + "\"\noutput = \"/dev/null\"\n";
        for (const int id : ids) {
            urls += "url = \"" + BuildGetMessage2(cgi, kId, kPassword, id, 1) + "\"\noutput = \"/dev/null\"\n";
            urls += "url = \"" + BuildMarkMessageAsRead(cgi, kId, kPassword, id) + "\"\noutput = \"/dev/null\"\n";
        }
        WriteFile(config, urls);
        state.ResumeTiming();
        std::string times;
        RunProgram({"/usr/bin/curl", "-s", "-0", "-K", config, "-w", "%{time_total}\\n"}, &times);
        state.PauseTiming();
        std::size_t transfers = 0;
        for (std::size_t at = 0, end = 0; (end = times.find('\n', at)) != std::string::npos; at = end + 1, ++transfers)
            transfersSeconds += std::strtod(times.c_str() + at, nullptr);
        state.ResumeTiming();
        if (ids.size() != static_cast<std::size_t>(texts + voices) || transfers != 1 + 2 * ids.size()) {
            state.SkipWithError("unexpected ID list or transfer count");
            break;
        }
    }
    state.counters["curl_transfers_ms"]
        = benchmark::Counter(transfersSeconds * 1000, benchmark::Counter::kAvgIterations);
}

void BM_AgentPoll100Texts(benchmark::State& state)
{
    AgentPoll(state, 100, 0);
}
void BM_CurlSequence100Texts(benchmark::State& state)
{
    CurlSequence(state, 100, 0);
}
void BM_AgentPoll20Voices(benchmark::State& state)
{
    AgentPoll(state, 0, 20);
}
void BM_CurlSequence20Voices(benchmark::State& state)
{
    CurlSequence(state, 0, 20);
}

} // namespace

BENCHMARK(BM_AgentPoll100Texts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CurlSequence100Texts)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AgentPoll20Voices)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CurlSequence20Voices)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
