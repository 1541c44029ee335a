#include "agent/lcd/TimeSource.h"

std::time_t CSystemTimeSource::Now() const
{
    return std::time(nullptr);
}

int CSystemTimeSource::BiasMinutes() const
{
    const std::time_t now = Now();
    std::tm local {};
    localtime_r(&now, &local);
    return static_cast<int>(-local.tm_gmtoff / 60);
}
