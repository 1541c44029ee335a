// Loading and saving a message file of 10,000 messages, and loading a damaged file whose one
// section holds 1k, 10k or 100k keys (the time per key must stay flat). Run with
// --write-file=PATH to only write the 10,000 messages' file (for comparing other readers on it).

#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageFileWriter.h"
#include "agent/store/MessageList.h"
#include "tests/support/TestSupport.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kMessages = 10000;

// A realistic mix: every third message a voice message, the others texts of about 80 characters.
std::unique_ptr<CMessageList> MakeList(const std::string& folder)
{
    auto list = std::make_unique<CMessageList>(folder);
    list->Load("5551234567");
    for (int i = 0; i < kMessages; ++i) {
        const std::string n = std::to_string(i);
        if (i % 3 == 0) {
            list->Append('\x01', "3/15/1999", "19:05:00", i % 2, {}, 1, "5551234567" + n + ".wav", "5550001",
                "Caller " + n, {}, {}, {});
        } else {
            list->Append('\x01', "12/31/1999", "23:30:00", i % 2,
                "Text message number " + n + ", long enough to look like one a person would send.", 3, {}, {}, {},
                "5559876543", "Jane", "Doe");
        }
    }
    return list;
}

const SMessageFileHeader kHeader {"123456", "7", "Sponsor", "http://127.0.0.1/s", "Vendor", "http://127.0.0.1/v"};

struct Fixture {
    vandu::test::TempDir dir;
    std::string folder = dir.File("msg");
    std::unique_ptr<CMessageList> list;
    std::string path;

    Fixture()
    {
        mkdir(folder.c_str(), 0755);
        list = MakeList(folder);
        list->Save(kHeader);
        path = list->FilePath();
    }
};

void BM_Load10000(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        CMessageList list(fixture.folder);
        list.Load("5551234567");
        benchmark::DoNotOptimize(list.Count());
        if (list.Count() != kMessages) {
            state.SkipWithError("wrong count");
        }
    }
}

void BM_Save10000NoFsync(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        std::string text = CMessageFileWriter::BuildText(fixture.list->Messages(), kHeader);
        if (!CAtomicFileWriter::Write(fixture.path, text, false)) {
            state.SkipWithError("write failed");
        }
    }
}

void BM_Save10000WithFsync(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        if (fixture.list->Save(kHeader) != 1) {
            state.SkipWithError("write failed");
        }
    }
}

void BM_BuildText10000(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CMessageFileWriter::BuildText(fixture.list->Messages(), kHeader));
    }
}

// One message section with n distinct keys before the ones the reader looks for, as a hand edit or
// a damaged disk may leave it.
void BM_LoadSectionKeys(benchmark::State& state)
{
    vandu::test::TempDir dir;
    const std::string folder = dir.File("msg");
    mkdir(folder.c_str(), 0755);
    const auto keys = static_cast<int>(state.range(0));
    std::string text = "[Vandu]\nCount=1\n\n[Message1]\n";
    for (int i = 0; i < keys; ++i) {
        text += "Key" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
    }
    text += "Date=1/2/2000\nTime=10:00:00\nType=3\nMessage=last\nRead=1\n";
    vandu::test::WriteFile(folder + "/4711.vdm", text);
    for (auto _ : state) {
        CMessageList list(folder);
        list.Load("4711");
        if (list.Count() != 1 || list.At(0)->Text() != "last") {
            state.SkipWithError("wrong message");
        }
    }
    state.SetComplexityN(keys);
    state.counters["per_key"] = benchmark::Counter(
        static_cast<double>(keys), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_LoadSectionKeys)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_Load10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildText10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save10000NoFsync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save10000WithFsync)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    static constexpr const char* kWriteFile = "--write-file=";
    if (argc == 2 && std::strncmp(argv[1], kWriteFile, std::strlen(kWriteFile)) == 0) {
        Fixture fixture;
        std::string text = CMessageFileWriter::BuildText(fixture.list->Messages(), kHeader);
        return CAtomicFileWriter::Write(argv[1] + std::strlen(kWriteFile), text) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
