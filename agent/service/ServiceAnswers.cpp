#include "agent/service/ServiceAnswers.h"

#include "agent/service/ServiceResponse.h"

namespace {

constexpr std::string_view kMessage = "Message=";

} // namespace

CMessageAnswer ParseMessageAnswer(std::string_view body)
{
    CMessageAnswer answer;
    answer.Type = GetResponseInt(body, "Type=");
    const std::size_t message = FindResponseKey(body, kMessage);
    answer.HasMessage = message != std::string_view::npos;
    // Keys after "Message=" of a voice answer would be read out of the recording.
    const std::string_view head
        = (answer.Type == kMessageTypeVoice && answer.HasMessage) ? body.substr(0, message - kMessage.size()) : body;
    answer.Date = GetResponseValue(head, "Date=");
    answer.Time = GetResponseValue(head, "Time=");
    answer.CallerID = GetResponseValue(head, "CallerID=");
    answer.CallerIDName = GetResponseValue(head, "CallerIDName=");
    answer.SenderVanduID = GetResponseValue(head, "SenderVanduID=");
    answer.FirstName = GetResponseValue(head, "FirstName=");
    answer.LastName = GetResponseValue(head, "LastName=");
    if (answer.Type != kMessageTypeVoice) {
        answer.Text = GetResponseValue(body, kMessage);
    }
    return answer;
}

int WriteMessageVoice(std::string_view body, const std::string& path)
{
    return WriteResponseTail(body, kMessage, path);
}

std::vector<int> ParseMessageIdsAnswer(std::string_view body)
{
    return GetResponseIdList(body);
}

std::string ParseSponsorIdAnswer(std::string_view body)
{
    return GetResponseValue(body, "Result=");
}

CSponsorAnswer ParseSponsorAnswer(std::string_view body)
{
    CSponsorAnswer answer;
    answer.SponsorID = GetResponseValue(body, "SponsorID=");
    answer.Description = GetResponseValue(body, "Description=");
    answer.URL = GetResponseValue(body, "URL=");
    answer.ImageURL = GetResponseValue(body, "ImageURL=");
    return answer;
}

int WriteSponsorImage(std::string_view body, const std::string& path)
{
    return WriteResponseTail(body, "ImageFile=", path);
}

CVendorAnswer ParseVendorAnswer(std::string_view body)
{
    CVendorAnswer answer;
    answer.Description = GetResponseValue(body, "Description=");
    answer.URL = GetResponseValue(body, "URL=");
    return answer;
}

int WriteVendorImage(std::string_view body, const std::string& path)
{
    return WriteResponseTail(body, "Image=", path);
}

bool ParsePasswordValidAnswer(std::string_view body)
{
    return ResponseContains(body, "Result=1");
}

int ParseIdAvailableAnswer(std::string_view body)
{
    return GetResultCode(body);
}

CSignupAnswer ParseSignupAnswer(std::string_view body)
{
    CSignupAnswer answer;
    answer.Result = GetResultCode(body);
    answer.Message = GetResponseTail(body, kMessage);
    return answer;
}

std::string ParseSendTextAnswer(std::string_view body)
{
    return GetResponseValue(body, kMessage);
}

CUserInfoAnswer ParseUserInfoAnswer(std::string_view body)
{
    CUserInfoAnswer answer;
    answer.UserType = GetResponseInt(body, "UserType=");
    answer.FirstName = GetResponseValue(body, "FirstName=");
    answer.LastName = GetResponseValue(body, "LastName=");
    answer.PhoneCenter1 = GetResponseValue(body, "PhoneCenter1=");
    answer.IPAddress = GetResponseValue(body, "IPAddress=");
    return answer;
}
