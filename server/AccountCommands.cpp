#include "server/AccountCommands.h"

#include "server/CommandSupport.h"
#include "server/MessageDelivery.h"
#include "server/ServiceAnswer.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"

namespace vandu::server {

namespace {

// The user type of an accepted subscriber; 4 means rejected.
constexpr int kSubscriberUserType = 1;
constexpr int kRejectedUserType = 4;

std::string Confirmation(const CSubscriber& s)
{
    return "Welcome to Vandu, " + s.FirstName + " " + s.LastName + "!\n" + "Your Vandu ID is " + s.Id
        + " and your password is the one you chose.\n" + "Callers can leave you a message at " + kTollFreeNumber
        + " by entering your Vandu ID.\n" + "Your messages will arrive on your desktop.\n";
}

CServiceMessage WelcomeText(const CSubscriber& s)
{
    CServiceMessage message;
    message.SubscriberId = s.Id;
    message.Type = kPhoneText;
    message.Text = "Welcome to Vandu, " + s.FirstName + "! Callers can leave you a message at " + kTollFreeNumber
        + " with your Vandu ID " + s.Id + ".";
    return message;
}

} // namespace

CServiceResponse CAccountCommands::SetGetUserInfo(CServiceContext& context, const CServiceRequest& request)
{
    // A malformed ID is a wrong ID here: the agent is told so by its own key.
    const std::optional<std::string> id = request.Query.Value("VanduID");
    const std::optional<std::string> password = request.Query.Value("Password");
    if (!id || !password) {
        return CServiceResponse::NotFound();
    }
    CServiceAnswer answer;
    const std::optional<CSubscriber> subscriber = Authenticate(context.Store, *id, *password);
    if (!subscriber) {
        answer.Add("UserType", kRejectedUserType);
        return CServiceResponse::Answer(answer.Body());
    }
    RememberAddress(context.Store, *subscriber, request);
    answer.Add("UserType", kSubscriberUserType);
    answer.Add("FirstName", subscriber->FirstName);
    answer.Add("LastName", subscriber->LastName);
    answer.Add("PhoneCenter1", kTollFreeNumber);
    answer.Add("IPAddress", request.RemoteAddress);
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CAccountCommands::IsPasswordValid(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = request.Query.Value("VanduID");
    const std::optional<std::string> password = request.Query.Value("Password");
    if (!id || !password) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> subscriber = Authenticate(context.Store, *id, *password);
    if (subscriber) {
        RememberAddress(context.Store, *subscriber, request);
    }
    CServiceAnswer answer;
    answer.Add("Result", subscriber ? 1 : 0);
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CAccountCommands::IdAvailable(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = request.Query.Value("VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    int code = 2;
    if (IsTenDigitId(*id)) {
        code = context.Store.FindSubscriber(*id) ? 1 : 0;
    }
    CServiceAnswer answer;
    answer.Add("Result", code);
    return CServiceResponse::Answer(answer.Body());
}

int CAccountCommands::CheckSignup(CServiceStore& store, const std::string& id, const std::string& password,
    const std::string& firstName, const std::string& lastName, const std::string& email)
{
    if (!IsTenDigitId(id)) {
        return 4;
    }
    if (store.FindSubscriber(id)) {
        return 3;
    }
    if (!IsFourDigitPassword(password)) {
        return 5;
    }
    if (!IsValidName(firstName)) {
        return 6;
    }
    if (!IsValidName(lastName)) {
        return 7;
    }
    return IsValidEmail(email) ? 0 : 8;
}

CServiceResponse CAccountCommands::Signup(CServiceContext& context, const CServiceRequest& request)
{
    const CServiceQuery& q = request.Query;
    const auto id = q.Value("VanduID");
    const auto password = q.Value("Password");
    const auto email = q.Value("Email");
    const auto firstName = q.Value("FirstName");
    const auto lastName = q.Value("LastName");
    if (!id || !password || !email || !firstName || !lastName) {
        return CServiceResponse::NotFound();
    }
    CServiceAnswer answer;
    const CSubscriber subscriber {*id, *password, *firstName, *lastName, *email, request.RemoteAddress};
    int code = CheckSignup(context.Store, *id, *password, *firstName, *lastName, *email);
    if (code == 0) {
        const int added = context.Store.AddSubscriber(subscriber);
        code = added == 0 ? 0 : (added == 1 ? 3 : 1);
    }
    answer.Add("Result", code);
    if (code == 0) {
        // Read by the agent to the end of the body, so it comes last and may span lines.
        answer.AddTail("Message", Confirmation(subscriber));
        // A new subscriber finds a first text waiting: the first poll has something to show.
        CMessageDelivery::Deliver(context.Store, WelcomeText(subscriber), false, context.WakeupPort);
    }
    return CServiceResponse::Answer(answer.Body());
}

} // namespace vandu::server
