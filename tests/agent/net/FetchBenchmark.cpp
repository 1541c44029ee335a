// Fetch of a 1 KB and a 100 KB body on loopback. By default against a scripted server in this
// process; with VANDU_BENCH_BASE=http://127.0.0.2:PORT/ against an outside server that serves the
// files 1k.bin and 100k.bin (so curl can be timed against the very same server).

#include "agent/net/HttpClient.h"
#include "tests/agent/net/ScriptedHttpServer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

void FetchBody(benchmark::State& state, int size, const char* file)
{
    std::unique_ptr<vandu::test::ScriptedHttpServer> server;
    std::string base;
    if (const char* outside = std::getenv("VANDU_BENCH_BASE")) {
        base = outside;
    } else {
        server = std::make_unique<vandu::test::ScriptedHttpServer>(vandu::test::ScriptedHttpServer::Script {
            "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n" + std::string(size, 'b')});
        base = "http://127.0.0.1:" + server->PortText() + "/";
    }
    CUrl url;
    url.Parse(base + file);
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

BENCHMARK(BM_Fetch1K)->UseRealTime();
BENCHMARK(BM_Fetch100K)->UseRealTime();
BENCHMARK_MAIN();
