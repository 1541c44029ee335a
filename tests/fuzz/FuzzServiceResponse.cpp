// Feeds arbitrary bytes to every service answer parser. The first byte picks a key of the
// protocol, so keys that sit inside other keys and raw tails after them are reached early.

#include "agent/service/ServiceAnswers.h"
#include "agent/service/ServiceResponse.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr const char* kKeys[] = {"Result=", "Date=", "Time=", "Type=", "CallerID=", "Message=", "URL=", "ImageURL=",
    "ImageFile=", "Image=", "UserType=", "FirstName=", "SenderVanduID=", "PhoneCenter1=", "Description="};

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::string_view key = kKeys[data[0] % (sizeof(kKeys) / sizeof(kKeys[0]))];
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view text = body.substr(0, body.find('\0'));

    const std::string value = GetResponseValue(body, key);
    // A text value is a piece of the text part and never holds an end mark or a zero byte.
    Check(value.size() <= text.size());
    Check(value.find('\t') == std::string::npos && value.find('\0') == std::string::npos);
    Check(GetResponseTail(body, key).size() <= text.size());
    Check(ResponseContains(body, "Result=") || GetResultCode(body) == -1);
    Check(GetResponseIdList(body).size() <= text.size());
    (void)GetResponseInt(body, key);

    const CMessageAnswer message = ParseMessageAnswer(body);
    Check(message.Type != kMessageTypeVoice || message.Text.empty());
    (void)ParseSponsorAnswer(body);
    (void)ParseVendorAnswer(body);
    (void)ParseSignupAnswer(body);
    (void)ParseUserInfoAnswer(body);
    (void)ParsePasswordValidAnswer(body);
    return 0;
}
