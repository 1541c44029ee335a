#include "agent/shell/FirstFrameProbe.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

void CFirstFrameProbe::FramePainted()
{
    static std::atomic<bool> reported {false};
    if (reported.exchange(true)) {
        return;
    }
    const char* wanted = std::getenv("VANDU_REPORT_FIRST_FRAME");
    const bool exitAfter = wanted != nullptr && std::strcmp(wanted, "exit") == 0;
    if (wanted == nullptr || (std::strcmp(wanted, "1") != 0 && !exitAfter)) {
        return;
    }
    timespec now {};
    timespec cpu {};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "first-frame %lld cpu %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
        static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
    std::fflush(stderr);
    if (exitAfter) {
        std::_Exit(0);
    }
}
