// One HTTP/1.0 fetch of a 1 KB and of a 100 KB body from nginx on loopback. Each repetition times a
// single Fetch, so the median reported is the median fetch: a mean is moved far by one scheduler
// hiccup on a shared machine. The program starts its own nginx, unless VANDU_BENCH_BASE names an
// outside server (http://127.0.0.1:PORT/) serving 1k.bin and 100k.bin, so that tools/bench-fetch.sh
// can time curl against the very same server.

#include "agent/net/HttpClient.h"
#include "tests/agent/net/NginxPeer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kRepetitions = 101;

// The server every repetition fetches from; started once, on first use.
const std::string& ServerBase()
{
    static std::unique_ptr<vandu::test::NginxPeer> nginx;
    static const std::string base = [] {
        if (const char* outside = std::getenv("VANDU_BENCH_BASE"))
            return std::string(outside);
        nginx = std::make_unique<vandu::test::NginxPeer>();
        nginx->AddFile("1k.bin", std::string(1024, 'k'));
        nginx->AddFile("100k.bin", std::string(102400, 'b'));
        return nginx->Start() ? nginx->Base() : std::string();
    }();
    return base;
}

void FetchBody(benchmark::State& state, int size, const char* file)
{
    if (ServerBase().empty()) {
        state.SkipWithError("nginx missing or not started");
        return;
    }
    CUrl url;
    url.Parse(ServerBase() + file);
    CHttpClient client;
    for (auto _ : state) {
        std::string body;
        int length = 0;
        if (client.Fetch(url, body, length, "GET") != 200 || length != size) {
            state.SkipWithError("fetch failed");
            break;
        }
        benchmark::DoNotOptimize(body);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
}

void BM_Fetch1K(benchmark::State& state)
{
    FetchBody(state, 1024, "1k.bin");
}

void BM_Fetch100K(benchmark::State& state)
{
    FetchBody(state, 102400, "100k.bin");
}

} // namespace

BENCHMARK(BM_Fetch1K)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Fetch100K)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
