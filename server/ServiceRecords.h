#pragma once

// What the service keeps: subscribers, messages waiting for them, and the two banners.

#include <cstdint>
#include <ctime>
#include <string>

namespace vandu::server {

struct CSubscriber {
    std::string Id;
    std::string Password;
    std::string FirstName;
    std::string LastName;
    std::string Email;
    // The address of the subscriber's latest request: where wake-ups go.
    std::string LastAddress;
};

inline constexpr int kVoiceMessage = 1;
inline constexpr int kPhoneText = 2;
inline constexpr int kSubscriberText = 3;

struct CServiceMessage {
    int64_t Id = 0;
    std::string SubscriberId;
    int Type = kVoiceMessage;
    std::time_t Created = 0;
    std::string CallerId;
    std::string CallerName;
    std::string SenderId;
    std::string FirstName;
    std::string LastName;
    std::string Text;
    // Both forms of a recording: GSM 6.10 WAV (audio type 0) and 16-bit PCM WAV (audio type 1).
    std::string GsmWave;
    std::string PcmWave;
};

inline constexpr const char* kSponsorBanner = "sponsor";
inline constexpr const char* kVendorBanner = "vendor";

struct CBanner {
    std::string SponsorId;
    std::string Description;
    std::string Url;
    std::string Picture;
    // The sponsor's picture is named by "ImageURL=" instead of being sent after "ImageFile=".
    bool ByUrl = false;
};

} // namespace vandu::server
