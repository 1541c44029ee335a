#pragma once

// The typed answers of the service commands: each Parse function reads exactly the keys its
// command's senders use, with the reading rule that key has, so the request jobs only decide what
// to do with the values. Absent keys give empty texts and 0 unless stated.

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMessageTypeVoice = 1;
// The user-info answer's user type for a rejected ID or password.
inline constexpr int kUserTypeRejected = 4;

// GetMessage2. For a voice message (type 1) the text keys are read only from the part of the body
// before "Message=", because the recording follows it and may hold any byte; Text stays empty and
// the recording is written with WriteMessageVoice. Other types carry their text in Text.
struct CMessageAnswer {
    std::string Date;
    std::string Time;
    int Type = 0;
    std::string CallerID;
    std::string CallerIDName;
    std::string SenderVanduID;
    std::string FirstName;
    std::string LastName;
    std::string Text;
    bool HasMessage = false; // "Message=" stands in the answer
};
CMessageAnswer ParseMessageAnswer(std::string_view body);
// Writes the recording (everything after "Message=") as the whole file; 1 on success, else 0.
int WriteMessageVoice(std::string_view body, const std::string& path);

// GetNewMessageIDs: the waiting message IDs in the order received.
std::vector<int> ParseMessageIdsAnswer(std::string_view body);

// GetSponsorID: the sponsor to show now; "0" means none.
std::string ParseSponsorIdAnswer(std::string_view body);

// GetSponsor. The picture is either named by ImageURL or carried after "ImageFile=".
struct CSponsorAnswer {
    std::string SponsorID;
    std::string Description;
    std::string URL;
    std::string ImageURL;
};
CSponsorAnswer ParseSponsorAnswer(std::string_view body);
// Writes the picture after "ImageFile="; 1 on success, 0 when there is none or it cannot be written.
int WriteSponsorImage(std::string_view body, const std::string& path);

// pda_get_vendor_logo2. The logo bitmap follows "Image=".
struct CVendorAnswer {
    std::string Description;
    std::string URL;
};
CVendorAnswer ParseVendorAnswer(std::string_view body);
int WriteVendorImage(std::string_view body, const std::string& path);

// IsPasswordValid: "Result=1" anywhere in the answer means the ID and password were accepted.
bool ParsePasswordValidAnswer(std::string_view body);

// pda_id_available: 0 free, 1 taken, 2 not a valid ID; other codes and -1 (no "Result="): not free.
int ParseIdAvailableAnswer(std::string_view body);

// pda_signup: Result -1 when absent; Message is the whole rest of the answer after "Message=".
struct CSignupAnswer {
    int Result = -1;
    std::string Message;
};
CSignupAnswer ParseSignupAnswer(std::string_view body);

// SendTextMessage: the outcome text shown to the user.
std::string ParseSendTextAnswer(std::string_view body);

// SetGetUserInfo.
struct CUserInfoAnswer {
    int UserType = 0;
    std::string FirstName;
    std::string LastName;
    std::string PhoneCenter1;
    std::string IPAddress;
    bool Rejected() const { return UserType == kUserTypeRejected; }
};
CUserInfoAnswer ParseUserInfoAnswer(std::string_view body);
