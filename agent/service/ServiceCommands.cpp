#include "agent/service/ServiceCommands.h"

#include "agent/service/ServiceConfig.h"

namespace {

constexpr const char* kManager = "MessageManager.dll?";

bool IsAlphaNumeric(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

std::string UrlEncode(const char* text, std::size_t count)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsAlphaNumeric(c)) {
            encoded += static_cast<char>(c);
        } else if (c == ' ') {
            encoded += '+';
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

std::string UrlEncode(const std::string& text)
{
    return UrlEncode(text.data(), text.size());
}

std::string BuildGetNewMessageIDs(const std::string& cgiBase, const std::string& vanduId)
{
    return cgiBase + kManager + "GetNewMessageIDs&VanduID=" + vanduId;
}

std::string BuildGetMessage2(
    const std::string& cgiBase, const std::string& vanduId, const std::string& password, int messageId, int audioType)
{
    return cgiBase + kManager + "GetMessage2&VanduID=" + vanduId + "&Password=" + password
        + "&MessageID=" + std::to_string(messageId) + "&AudioType=" + std::to_string(audioType);
}

std::string BuildMarkMessageAsRead(
    const std::string& cgiBase, const std::string& vanduId, const std::string& password, int messageId)
{
    return cgiBase + kManager + "MarkMessageAsRead&VanduID=" + vanduId + "&Password=" + password
        + "&MessageID=" + std::to_string(messageId);
}

std::string BuildGetSponsorID(const std::string& cgiBase, const std::string& vanduId)
{
    return cgiBase + kManager + "GetSponsorID&VanduID=" + vanduId;
}

std::string BuildGetSponsor(const std::string& cgiBase, const std::string& vanduId)
{
    return cgiBase + kManager + "GetSponsor&VanduID=" + vanduId;
}

std::string BuildGetVendorLogo(const std::string& aspBase, const std::string& vanduId)
{
    return aspBase + "pda_get_vendor_logo2.asp?VanduID=" + vanduId;
}

std::string BuildIsPasswordValid(const std::string& cgiBase, const std::string& vanduId, const std::string& password)
{
    return cgiBase + kManager + "IsPasswordValid&VanduID=" + vanduId + "&Password=" + password;
}

std::string BuildIdAvailable(const std::string& aspBase, const std::string& vanduId)
{
    return aspBase + "pda_id_available.asp?VanduID=" + vanduId;
}

std::string BuildSignup(const std::string& aspBase, const CSignupValues& values)
{
    return aspBase + "pda_signup.asp?VanduID=" + UrlEncode(values.VanduID) + "&Password=" + UrlEncode(values.Password)
        + "&Email=" + UrlEncode(values.Email) + "&FirstName=" + UrlEncode(values.FirstName)
        + "&LastName=" + UrlEncode(values.LastName) + "&VendorID=0";
}

std::string BuildSendTextMessage(
    const std::string& cgiBase, const std::string& recipientId, const std::string& ownId, const std::string& text)
{
    return cgiBase + kManager + "SendTextMessage&VanduID=" + recipientId + "&From=" + ownId
        + "&Text=" + UrlEncode(text);
}

std::string BuildSetGetUserInfo(const std::string& cgiBase, const std::string& vanduId, const std::string& password)
{
    return cgiBase + kManager + "SetGetUserInfo&VanduID=" + vanduId + "&Password=" + password
        + "&Version=" + kServiceVersion;
}

std::string BuildAddLogSponsorClick(
    const std::string& cgiBase, const std::string& sponsorId, const std::string& vanduId)
{
    return cgiBase + kManager + "AddLogSponsorClick&SponsorID=" + sponsorId + "&VanduID=" + vanduId;
}

std::string BuildRemoteLog(const std::string& cgiBase, const std::string& reportText)
{
    return cgiBase + "log.dll?MfcISAPICommand=Add&Str=" + reportText;
}
