#pragma once

// The signup wizard's fixed texts and the one it composes for the new subscriber: how callers
// reach the phone-in mailbox, with the ID split as a phone number. Qt-free.

#include <cstddef>
#include <string>

namespace vandu::wizard {

inline constexpr const char* kPageTitle = "Vandu Sign-Up Wizard";
// An ID is a phone number: 3 digits of area code, 3 of exchange, 4 of line number.
inline constexpr int kAreaCodeLength = 3;
inline constexpr int kExchangeLength = 3;
inline constexpr int kNumberLength = 4;
inline constexpr std::size_t kIdLength = kAreaCodeLength + kExchangeLength + kNumberLength;

inline constexpr const char* kIdNotValidText = "Sorry, this ID is not valid.\nPlease re-enter your phone number";
inline constexpr const char* kIdNotConnectedText
    = "Sorry, your system is not currently connected to the Internet.\nStart your Internet connection,\n"
      "then press OK to continue.";
inline constexpr const char* kSignupNotConnectedText = "Your system is not currently connected to the Internet";

// The ID split as a phone number; parts beyond a short ID's end are empty.
struct SPhoneNumber {
    std::string AreaCode;
    std::string Exchange;
    std::string Number;
};
SPhoneNumber SplitPhoneNumber(const std::string& vanduId);

// How to use the new ID: through the toll-free number with the ID, or by call forwarding from the
// home number (the ID split 3-3-4).
std::string HowToUseText(const std::string& vanduId, const std::string& tollFreeNumber);

} // namespace vandu::wizard
