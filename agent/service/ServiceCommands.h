#pragma once

// URL builders for the commands of the message service, one per command. Each takes the base URL
// (ServiceCgiBase() or ServiceAspBase(), ending in "/") and the parameters in the order the
// service expects, and returns the URL text exactly as it is sent: values are inserted as they
// are, integers in decimal, except the free text of SendTextMessage and the signup values, which
// go through UrlEncode (a space or an "&" in a typed name would otherwise break the request line
// or add parameters; servers decode the escapes and letters and digits are unchanged).

#include <cstddef>
#include <string>

// Letters and digits unchanged, a space as "+", every other byte as "%XX" (upper-case hex).
std::string UrlEncode(const char* text, std::size_t count);
std::string UrlEncode(const std::string& text);

std::string BuildGetNewMessageIDs(const std::string& cgiBase, const std::string& vanduId);
std::string BuildGetMessage2(
    const std::string& cgiBase, const std::string& vanduId, const std::string& password, int messageId, int audioType);
std::string BuildMarkMessageAsRead(
    const std::string& cgiBase, const std::string& vanduId, const std::string& password, int messageId);
std::string BuildGetSponsorID(const std::string& cgiBase, const std::string& vanduId);
std::string BuildGetSponsor(const std::string& cgiBase, const std::string& vanduId);
std::string BuildGetVendorLogo(const std::string& aspBase, const std::string& vanduId);
std::string BuildIsPasswordValid(const std::string& cgiBase, const std::string& vanduId, const std::string& password);
std::string BuildIdAvailable(const std::string& aspBase, const std::string& vanduId);

// The values a new subscriber typed into the signup wizard.
struct CSignupValues {
    std::string VanduID;
    std::string Password;
    std::string Email;
    std::string FirstName;
    std::string LastName;
};
// The agent signs up with no vendor of its own: VendorID is always 0.
std::string BuildSignup(const std::string& aspBase, const CSignupValues& values);

std::string BuildSendTextMessage(
    const std::string& cgiBase, const std::string& recipientId, const std::string& ownId, const std::string& text);
// The version sent is always kServiceVersion.
std::string BuildSetGetUserInfo(const std::string& cgiBase, const std::string& vanduId, const std::string& password);
std::string BuildAddLogSponsorClick(
    const std::string& cgiBase, const std::string& sponsorId, const std::string& vanduId);
// The report text is appended unencoded: its fields are digits, dashes, host names and addresses.
std::string BuildRemoteLog(const std::string& cgiBase, const std::string& reportText);
