#include "agent/service/ServiceJob.h"

#include "agent/service/RemoteLog.h"
#include "agent/service/RemoteLogState.h"
#include "agent/service/ServiceAnswers.h"
#include "agent/service/ServiceConfig.h"
#include "agent/service/ServiceResponse.h"
#include "agent/shell/ConnectionState.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/AtomicFileWriter.h"
#include "agent/store/MessageList.h"
#include "agent/store/MessageStore.h"

#include <vector>

namespace {

constexpr int kStatusOk = 200;
constexpr int kUnreachable = -1;

// The online rule: 200 sets the flag, -1 clears it, anything else leaves it.
void ApplyOnlineRule(CConnectionState* connection, int status)
{
    if (!connection) {
        return;
    }
    if (status == kStatusOk) {
        connection->SetOnline(true);
    } else if (status == kUnreachable) {
        connection->SetOnline(false);
    }
}

// The ID check and the signup count any answer but 200 as "not connected".
void ApplyStrictOnlineRule(CConnectionState* connection, int status)
{
    if (connection) {
        connection->SetOnline(status == kStatusOk);
    }
}

constexpr const char* kNotConnectedText
    = "Sorry, your system is not currently connected to the Internet.\nStart your Internet connection,\n"
      "then press OK to continue.";

const char* IdAvailableText(int code)
{
    switch (code) {
    case 1:
        return "This Vandu ID is already taken.\nPlease choose another one.";
    case 2:
        return "This Vandu ID is not valid.\nPlease choose another one.";
    default:
        return nullptr;
    }
}

const char* SignupText(int code)
{
    switch (code) {
    case 1:
        return "Sorry, can not create Vandu ID.\nPlease try again.";
    case 3:
        return "Sorry, this Vandu ID is not available.\nPlease try another one.";
    case 4:
        return "Sorry, this Vandu ID is not valid.\nPlease try another one.";
    case 5:
        return "Sorry, the password is not valid.\nPassword must contain 4 numbers. No letters are allowed\n"
               "Please try again.";
    case 6:
        return "Sorry, the first name is not valid.\nPlease try another one.";
    case 7:
        return "Sorry, the last name is not valid.\nPlease try another one.";
    case 8:
        return "Sorry, the email address is not valid.\nPlease try another one.";
    default:
        return nullptr;
    }
}

} // namespace

CServiceJob::~CServiceJob()
{
    Wait();
}

void CServiceJob::SetInputs(
    CMessageStore* store, CSettingsStore* settings, CConnectionState* connection, CAccountInfo* account)
{
    std::string proxyName = settings ? settings->GetProxyName() : std::string();
    std::string proxyPort = settings ? settings->GetProxyPort() : std::string();
    std::lock_guard<std::mutex> lock(m_inputMutex);
    m_inputs.Store = store;
    m_inputs.Settings = settings;
    m_inputs.Connection = connection;
    m_inputs.Account = account;
    m_inputs.ProxyName = std::move(proxyName);
    m_inputs.ProxyPort = std::move(proxyPort);
}

void CServiceJob::SetRemoteLogState(CRemoteLogState* state, const ITimeSource* clock)
{
    std::lock_guard<std::mutex> lock(m_inputMutex);
    m_inputs.RemoteLog = state;
    m_inputs.Clock = clock ? clock : &m_systemClock;
}

CServiceJob::SInputs CServiceJob::Inputs() const
{
    std::lock_guard<std::mutex> lock(m_inputMutex);
    return m_inputs;
}

std::string CServiceJob::ResultText() const
{
    std::lock_guard<std::mutex> lock(m_resultMutex);
    return m_resultText;
}

void CServiceJob::Run()
{
    const SInputs in = Inputs();
    if (!in.Store || !in.Settings) {
        return;
    }
    switch (m_kind.load()) {
    case REQUEST_SPONSOR:
        FetchSponsor(in);
        break;
    case REQUEST_POLL:
        PollMessages(in);
        break;
    case REQUEST_USERINFO:
        FetchUserInfo(in);
        break;
    case REQUEST_CLICKLOG:
        LogSponsorClick(in);
        break;
    case REQUEST_VENDORLOGO:
        FetchVendorLogo(in);
        break;
    default:
        break;
    }
}

void CServiceJob::ApplyProxy(const SInputs& in)
{
    if (!in.ProxyName.empty()) {
        m_client.SetProxy(in.ProxyName, in.ProxyPort, 1);
    }
}

int CServiceJob::Get(CHttpClient& client, const std::string& url, std::string& body)
{
    CUrl parsed;
    parsed.Parse(url);
    body.clear();
    int length = 0;
    return client.Fetch(parsed, body, length, "GET");
}

std::string CServiceJob::FolderFile(const SInputs& in, const std::string& name)
{
    return in.Store->Folder() + "/" + name;
}

void CServiceJob::PollMessages(const SInputs& in)
{
    m_newMessages.store(0);
    ApplyProxy(in);
    std::string body;
    const int status = Get(m_client, BuildGetNewMessageIDs(ServiceCgiBase(), in.Settings->GetVanduID()), body);
    ApplyOnlineRule(in.Connection, status);
    if (status == kStatusOk) {
        const std::vector<int> ids = ParseMessageIdsAnswer(body);
        for (const int id : ids) {
            if (DownloadMessage(in, id)) {
                m_newMessages.store(1);
            }
        }
        if (!ids.empty()) {
            FinishPollWithIds(in);
        }
    }
    if (in.RemoteLog && status == kStatusOk) {
        in.RemoteLog->ClearStartupPending();
    }
}

// One message: download, store unread, mark read. False when nothing was stored; the message
// then stays unmarked on the server and comes back with the next poll.
bool CServiceJob::DownloadMessage(const SInputs& in, int messageId)
{
    const std::string ownId = in.Settings->GetVanduID();
    const std::string password = in.Settings->GetPassword();
    std::string body;
    const int status = Get(
        m_client, BuildGetMessage2(ServiceCgiBase(), ownId, password, messageId, in.Settings->GetAudioType()), body);
    if (status != kStatusOk) {
        return false;
    }
    CMessageAnswer answer = ParseMessageAnswer(body);
    std::string voiceFile;
    if (answer.Type == kMessageTypeVoice) {
        answer.Text.clear();
        // An ID that cannot be part of a file name gets no recording, as it gets no message file.
        if (CMessageList::IsPlainVanduID(ownId)) {
            const std::size_t start = FindResponseKey(body, "Message=");
            voiceFile = ownId + std::to_string(messageId) + ".wav";
            // A recording that cannot be written whole is not taken: better fetched again than lost.
            if (start != std::string::npos
                && !CAtomicFileWriter::Write(FolderFile(in, voiceFile), std::string_view(body).substr(start))) {
                return false;
            }
        }
    } else if (!answer.SenderVanduID.empty()) {
        answer.Text += " (from: " + answer.FirstName + " " + answer.LastName + ")";
    }
    // Once marked, the service forgets the message: it must be written down before, so that a kill
    // or a crash later in the poll loses nothing.
    if (!in.Store->AddDownloadedMessage(answer.Date, answer.Time, answer.Type, answer.CallerID, answer.CallerIDName,
            answer.Text, voiceFile, answer.SenderVanduID, answer.FirstName, answer.LastName)) {
        return false;
    }
    Get(m_client, BuildMarkMessageAsRead(ServiceCgiBase(), ownId, password, messageId), body);
    return true;
}

void CServiceJob::FinishPollWithIds(const SInputs& in)
{
    in.Store->SetLastDownloaded("");
    in.Store->Save();
    in.Store->RefreshStatus();
    if (!in.RemoteLog) {
        return;
    }
    const std::string ipAddress = in.Account ? in.Account->GetIPAddress() : std::string();
    CRemoteLog report(*in.RemoteLog, *in.Settings, *in.Clock);
    report.ReportPoll(m_client, ipAddress);
}

void CServiceJob::FetchSponsor(const SInputs& in)
{
    m_newItem.store(0);
    ApplyProxy(in);
    const std::string ownId = in.Settings->GetVanduID();
    std::string body;
    int status = Get(m_client, BuildGetSponsorID(ServiceCgiBase(), ownId), body);
    ApplyOnlineRule(in.Connection, status);
    if (status != kStatusOk) {
        return;
    }
    const std::string sponsorId = ParseSponsorIdAnswer(body);
    if (sponsorId == "0" || sponsorId == in.Store->HeaderValues().SponsorID || body.empty()) {
        return;
    }
    status = Get(m_client, BuildGetSponsor(ServiceCgiBase(), ownId), body);
    if (status != kStatusOk) {
        return;
    }
    const CSponsorAnswer answer = ParseSponsorAnswer(body);
    if (!StoreSponsorPicture(body, answer.ImageURL, FolderFile(in, kSponsorPictureFile))) {
        return;
    }
    in.Store->SetSponsorID(answer.SponsorID);
    in.Store->SetSponsorDesc(answer.Description);
    in.Store->SetSponsorURL(answer.URL);
    in.Store->Save();
    m_newItem.store(1);
}

bool CServiceJob::StoreSponsorPicture(const std::string& body, const std::string& imageUrl, const std::string& path)
{
    if (imageUrl.empty()) {
        return WriteSponsorImage(body, path) == 1;
    }
    std::string image;
    if (Get(m_client, imageUrl, image) != kStatusOk) {
        return false;
    }
    return static_cast<bool>(CAtomicFileWriter::Write(path, image));
}

void CServiceJob::FetchVendorLogo(const SInputs& in)
{
    m_newItem.store(0);
    ApplyProxy(in);
    std::string body;
    const int status = Get(m_client, BuildGetVendorLogo(ServiceAspBase(), in.Settings->GetVanduID()), body);
    // The vendor answer never counts as proof of being online.
    if (status == kUnreachable && in.Connection) {
        in.Connection->SetOnline(false);
    }
    if (status != kStatusOk) {
        return;
    }
    const CVendorAnswer answer = ParseVendorAnswer(body);
    if (WriteVendorImage(body, FolderFile(in, kVendorPictureFile)) != 1) {
        return;
    }
    in.Store->SetVendorDesc(answer.Description);
    in.Store->SetVendorURL(answer.URL);
    in.Store->Save();
    m_newItem.store(1);
}

void CServiceJob::LogSponsorClick(const SInputs& in)
{
    std::string body;
    const std::string url
        = BuildAddLogSponsorClick(ServiceCgiBase(), in.Store->HeaderValues().SponsorID, in.Settings->GetVanduID());
    ApplyOnlineRule(in.Connection, Get(m_client, url, body));
}

void CServiceJob::FetchUserInfo(const SInputs& in)
{
    std::string body;
    const int status = Get(
        m_client, BuildSetGetUserInfo(ServiceCgiBase(), in.Settings->GetVanduID(), in.Settings->GetPassword()), body);
    ApplyOnlineRule(in.Connection, status);
    if (status != kStatusOk || !in.Account) {
        return;
    }
    const CUserInfoAnswer answer = ParseUserInfoAnswer(body);
    in.Account->SetUserInfo(answer.UserType, answer.FirstName, answer.LastName, answer.PhoneCenter1, answer.IPAddress);
    in.Account->SetLoginOk(answer.Rejected() ? 0 : 1);
}

void CServiceJob::CheckPassword()
{
    const SInputs in = Inputs();
    if (!in.Settings) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_accountMutex);
    std::string body;
    const int status = Get(m_accountClient,
        BuildIsPasswordValid(ServiceCgiBase(), in.Settings->GetVanduID(), in.Settings->GetPassword()), body);
    ApplyOnlineRule(in.Connection, status);
    if (status == kStatusOk && in.Account) {
        in.Account->SetLoginOk(ParsePasswordValidAnswer(body) ? 1 : 0);
    }
}

void CServiceJob::CheckIdAvailable(const std::string& vanduId)
{
    const SInputs in = Inputs();
    std::lock_guard<std::mutex> lock(m_accountMutex);
    std::string body;
    const int status = Get(m_accountClient, BuildIdAvailable(ServiceAspBase(), vanduId), body);
    ApplyStrictOnlineRule(in.Connection, status);
    if (!in.Account) {
        return;
    }
    if (status != kStatusOk) {
        in.Account->SetIdMessage(kNotConnectedText);
        return;
    }
    const int code = ParseIdAvailableAnswer(body);
    in.Account->SetIdAvailable(code == 0 ? 1 : 0);
    if (const char* text = IdAvailableText(code)) {
        in.Account->SetIdMessage(text);
    }
}

void CServiceJob::Signup(const std::string& vanduId, const std::string& password, const std::string& email,
    const std::string& firstName, const std::string& lastName)
{
    const SInputs in = Inputs();
    std::lock_guard<std::mutex> lock(m_accountMutex);
    std::string body;
    const CSignupValues values {vanduId, password, email, firstName, lastName};
    const int status = Get(m_accountClient, BuildSignup(ServiceAspBase(), values), body);
    ApplyStrictOnlineRule(in.Connection, status);
    if (!in.Account) {
        return;
    }
    if (status != kStatusOk) {
        in.Account->SetSignupMessage(kNotConnectedText);
        return;
    }
    const CSignupAnswer answer = ParseSignupAnswer(body);
    if (answer.Result == 0) {
        in.Account->SetSignupOk(1);
        in.Account->SetSignupConfirmation(answer.Message);
        return;
    }
    in.Account->SetSignupOk(0);
    if (const char* text = SignupText(answer.Result)) {
        in.Account->SetSignupMessage(text);
    }
}

void CServiceJob::SendTextMessage(const std::string& recipientId, const std::string& text)
{
    const SInputs in = Inputs();
    std::lock_guard<std::mutex> lock(m_accountMutex);
    {
        std::lock_guard<std::mutex> resultLock(m_resultMutex);
        m_resultText.clear();
    }
    const std::string ownId = in.Settings ? in.Settings->GetVanduID() : std::string();
    std::string body;
    const int status = Get(m_accountClient, BuildSendTextMessage(ServiceCgiBase(), recipientId, ownId, text), body);
    ApplyOnlineRule(in.Connection, status);
    if (status == kStatusOk) {
        std::lock_guard<std::mutex> resultLock(m_resultMutex);
        m_resultText = ParseSendTextAnswer(body);
    }
}
