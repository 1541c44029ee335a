#pragma once

// The clock and the local time zone, behind an interface so tests can fix both.

#include <ctime>

class ITimeSource {
public:
    virtual ~ITimeSource() = default;

    virtual std::time_t Now() const = 0;
    // Minutes to add to local time to get universal time (minus the current UTC offset,
    // daylight saving included).
    virtual int BiasMinutes() const = 0;
};

// The machine's clock and zone: localtime_r and tm_gmtoff of now.
class CSystemTimeSource : public ITimeSource {
public:
    std::time_t Now() const override;
    int BiasMinutes() const override;
};
