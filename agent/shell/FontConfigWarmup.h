#pragma once

// Loads the system's font configuration on a thread of its own while the application object
// connects to the display. Parsing that configuration is the largest single cost of the agent's
// first frame (the LCD draws text, and Qt reads the configuration at its first font); the two
// take about as long as each other, so on a machine with a second core the configuration costs
// the start nothing. Wait() before the first font is used: fontconfig would otherwise load the
// configuration twice and keep one.

#include <thread>

class CFontConfigWarmup {
public:
    CFontConfigWarmup();
    ~CFontConfigWarmup();
    CFontConfigWarmup(const CFontConfigWarmup&) = delete;
    CFontConfigWarmup& operator=(const CFontConfigWarmup&) = delete;

    // Returns once the configuration is loaded (at once after the first call).
    void Wait();

private:
    std::thread m_thread;
};
