#include "agent/shell/FontConfigWarmup.h"

#include <fontconfig/fontconfig.h>

CFontConfigWarmup::CFontConfigWarmup()
    : m_thread([] { FcInit(); })
{
}

CFontConfigWarmup::~CFontConfigWarmup()
{
    Wait();
}

void CFontConfigWarmup::Wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
