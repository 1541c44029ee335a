#include "agent/lcd/MessageText.h"

#include "agent/store/StoredMessage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

namespace {

std::string Format(const char* format, auto... args)
{
    std::array<char, 64> buffer {};
    int length = std::snprintf(buffer.data(), buffer.size(), format, args...);
    return length > 0 ? std::string(buffer.data(), std::min<size_t>(length, buffer.size() - 1)) : std::string();
}

// Reads one number as "%d" would: blanks, an optional sign, at least one digit; false on overflow.
bool ReadNumber(const std::string& text, size_t& pos, int& value)
{
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos++] == '-';
    }
    size_t start = pos;
    long long number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + (text[pos++] - '0');
        if (number > INT_MAX) {
            return false;
        }
    }
    value = static_cast<int>(negative ? -number : number);
    return pos > start;
}

// Three numbers separated by one character, as "%d/%d/%d" or "%d:%d:%d" reads them.
bool ReadThree(const std::string& text, char separator, std::array<int, 3>& values)
{
    size_t pos = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0 && (pos >= text.size() || text[pos++] != separator)) {
            return false;
        }
        if (!ReadNumber(text, pos, values[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string CMessageText::StatusText(
    int newCount, int total, int32_t mailStatus, bool statusOverride, const std::string& statusLine)
{
    if (statusOverride) {
        return statusLine;
    }
    std::string calls = newCount < total ? Format("Calls: %d new - %d old\n", newCount, total - newCount)
                                         : Format("Calls: %d new\n", newCount);
    switch (mailStatus) {
    case kMailOff:
        return calls;
    case kMailBadPassword:
        return calls + "Invalid email passwd";
    case kMailBadUser:
        return calls + "Invalid email user";
    case kMailChecking:
        return calls + "Checking email...";
    case 0:
        return calls + "No email";
    case 1:
        return calls + "1 email";
    default:
        return calls + Format("%d emails", mailStatus);
    }
}

// The stored fields are universal time; the bias moves them to local time. Computed on the
// universal calendar so that no daylight-saving gap of the machine's zone shifts the result.
bool CMessageText::LocalFields(const std::string& date, const std::string& time, int biasMinutes, std::tm& local)
{
    std::array<int, 3> mdy {};
    std::array<int, 3> hms {};
    if (!ReadThree(date, '/', mdy) || !ReadThree(time, ':', hms)) {
        return false;
    }
    // Out-of-range fields still roll over as the calendar functions do, but numbers this far out
    // are damage, and would overflow the calendar arithmetic.
    const auto sane = [](int value) { return value > -100000 && value < 100000; };
    if (mdy[2] < 0 || mdy[2] > 9999 || !std::all_of(mdy.begin(), mdy.end(), sane)
        || !std::all_of(hms.begin(), hms.end(), sane)) {
        return false;
    }
    std::tm fields {};
    fields.tm_mon = mdy[0] - 1;
    fields.tm_mday = mdy[1];
    fields.tm_year = mdy[2] - 1900;
    fields.tm_hour = hms[0];
    fields.tm_min = hms[1];
    fields.tm_sec = hms[2];
    std::time_t universal = timegm(&fields);
    std::time_t shifted = universal - static_cast<std::time_t>(biasMinutes) * 60;
    return gmtime_r(&shifted, &local) != nullptr;
}

std::string CMessageText::LocalDate(const std::string& date, const std::string& time, int biasMinutes)
{
    std::tm local {};
    if (!LocalFields(date, time, biasMinutes, local)) {
        return {};
    }
    return Format("%02i/%02i/%i", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
}

std::string CMessageText::LocalTime(const std::string& date, const std::string& time, int biasMinutes)
{
    std::tm local {};
    if (!LocalFields(date, time, biasMinutes, local)) {
        return {};
    }
    return Format("%02i:%02i", local.tm_hour, local.tm_min);
}

std::string CMessageText::LocalDate(const CStoredMessage& message, const ITimeSource& timeSource)
{
    return LocalDate(message.Date(), message.Time(), timeSource.BiasMinutes());
}

std::string CMessageText::LocalTime(const CStoredMessage& message, const ITimeSource& timeSource)
{
    return LocalTime(message.Date(), message.Time(), timeSource.BiasMinutes());
}

std::string CMessageText::HeaderLine(int number, const CStoredMessage& message, const ITimeSource& timeSource)
{
    return VoiceHeaderLine(number, message, timeSource) + "\n";
}

std::string CMessageText::VoiceHeaderLine(int number, const CStoredMessage& message, const ITimeSource& timeSource)
{
    const int bias = timeSource.BiasMinutes();
    return "#" + std::to_string(number) + " " + LocalTime(message.Date(), message.Time(), bias) + " "
        + LocalDate(message.Date(), message.Time(), bias);
}

std::string CMessageText::CallerLine(const CStoredMessage& message)
{
    std::string callerId = message.CallerId();
    return callerId.empty() ? std::string() : "Caller id: " + callerId;
}

std::string CMessageText::ClockText(const ITimeSource& timeSource)
{
    return ClockText(timeSource.Now(), timeSource.BiasMinutes());
}

std::string CMessageText::ClockText(std::time_t utcNow, int biasMinutes)
{
    static constexpr std::array<const char*, 7> kWeekdays {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::time_t local = utcNow - static_cast<std::time_t>(biasMinutes) * 60;
    std::tm fields {};
    if (!gmtime_r(&local, &fields)) {
        return {};
    }
    int hour12 = fields.tm_hour % 12 == 0 ? 12 : fields.tm_hour % 12;
    return Format("%02d:%02d ", hour12, fields.tm_min) + kWeekdays[fields.tm_wday % 7]
        + Format(" %02d-%02d", fields.tm_mon + 1, fields.tm_mday);
}

std::string CMessageText::TitleText(
    const std::string& vanduID, const std::string& firstName, const std::string& lastName)
{
    std::string title = "ID " + vanduID + " ";
    if (!firstName.empty()) {
        title += firstName[0];
    }
    return title + ". " + lastName;
}

std::string CMessageText::DetailText(const CStoredMessage* message)
{
    if (!message) {
        return {};
    }
    return message->IsVoice() ? std::string("Voice Message") : message->Text();
}

std::string CMessageText::DetailFrom(const CStoredMessage* message)
{
    if (!message) {
        return {};
    }
    if (message->IsVoice()) {
        return message->CallerId();
    }
    return message->SenderVanduID() + " " + message->FirstName() + " " + message->LastName();
}

std::string CMessageText::DetailReceived(const CStoredMessage* message, const ITimeSource& timeSource)
{
    if (!message) {
        return {};
    }
    return LocalTime(*message, timeSource) + " " + LocalDate(*message, timeSource);
}
