#pragma once

// Every text the LCD and the detail dialog derive from messages and counters: the status line,
// a message's local date and time, the LCD's header, voice, clock and title lines and the three
// detail texts. Pure functions of their inputs; the zone offset comes from ITimeSource so that
// tests can fix it.

#include "agent/lcd/TimeSource.h"

#include <cstdint>
#include <ctime>
#include <string>

class CStoredMessage;

class CMessageText {
public:
    // The e-mail counter states that have a text of their own; any other value is a mailbox count.
    static constexpr int32_t kMailOff = -1;
    static constexpr int32_t kMailChecking = -2;
    static constexpr int32_t kMailBadUser = -3;
    static constexpr int32_t kMailBadPassword = -4;

    // The status line: the call counts, then the e-mail state as a second line. While the
    // override is set the given status line is kept as it is.
    static std::string StatusText(
        int newCount, int total, int32_t mailStatus, bool statusOverride, const std::string& statusLine);

    // The stored universal date ("m/d/yyyy") and time ("h:m:s") moved by the bias (minutes to add
    // to local time to get universal time). Empty when either cannot be read as three numbers.
    static std::string LocalDate(const std::string& date, const std::string& time, int biasMinutes);
    static std::string LocalTime(const std::string& date, const std::string& time, int biasMinutes);
    static std::string LocalDate(const CStoredMessage& message, const ITimeSource& timeSource);
    static std::string LocalTime(const CStoredMessage& message, const ITimeSource& timeSource);

    // "#%d %s %s\n" for a text message, without the line feed for a voice message.
    static std::string HeaderLine(int number, const CStoredMessage& message, const ITimeSource& timeSource);
    static std::string VoiceHeaderLine(int number, const CStoredMessage& message, const ITimeSource& timeSource);
    static std::string VoiceLine() { return "Voice message "; }
    // "Caller id: " and the caller's number, or empty when the number is.
    static std::string CallerLine(const CStoredMessage& message);
    // The current local time as "%I:%M %a %m-%d" (C-locale weekday names).
    static std::string ClockText(const ITimeSource& timeSource);
    static std::string ClockText(std::time_t utcNow, int biasMinutes);
    // "ID " + id + " " + initial of the first name + ". " + last name.
    static std::string TitleText(const std::string& vanduID, const std::string& firstName, const std::string& lastName);

    // The detail dialog's texts for the current message; empty when there is none.
    static std::string DetailText(const CStoredMessage* message);
    static std::string DetailFrom(const CStoredMessage* message);
    static std::string DetailReceived(const CStoredMessage* message, const ITimeSource& timeSource);

private:
    static bool LocalFields(const std::string& date, const std::string& time, int biasMinutes, std::tm& local);
};
