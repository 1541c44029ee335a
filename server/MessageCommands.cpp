#include "server/MessageCommands.h"

#include "server/CommandSupport.h"
#include "server/MessageDelivery.h"
#include "server/ServiceAnswer.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"

namespace vandu::server {

namespace {

void AddMessageFields(CServiceAnswer& answer, const CServiceMessage& message)
{
    // Every key the agent reads stands once in every answer, empty where it does not apply.
    answer.Add("Date", FormatServiceDate(message.Created));
    answer.Add("Time", FormatServiceTime(message.Created));
    answer.Add("Type", message.Type);
    answer.Add("CallerID", message.CallerId);
    answer.Add("CallerIDName", message.CallerName);
    answer.Add("SenderVanduID", message.Type == kSubscriberText ? message.SenderId : std::string());
    answer.Add("FirstName", message.FirstName);
    answer.Add("LastName", message.LastName);
}

} // namespace

CServiceResponse CMessageCommands::GetNewMessageIDs(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    std::string list;
    if (const std::optional<CSubscriber> subscriber = context.Store.FindSubscriber(*id)) {
        RememberAddress(context.Store, *subscriber, request);
        for (int64_t messageId : context.Store.WaitingIds(*id)) {
            list += std::to_string(messageId) + ";";
        }
    }
    CServiceAnswer answer;
    answer.Add("Result", list);
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CMessageCommands::GetMessage2(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    const std::optional<std::string> password = request.Query.Value("Password");
    const std::optional<int64_t> messageId = RequiredNumber(request.Query, "MessageID");
    const std::optional<int64_t> audioType = RequiredNumber(request.Query, "AudioType");
    if (!id || !password || !messageId || !audioType) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> subscriber = Authenticate(context.Store, *id, *password);
    if (!subscriber) {
        return CServiceResponse::Forbidden();
    }
    RememberAddress(context.Store, *subscriber, request);
    const std::optional<CServiceMessage> message = context.Store.FindWaiting(*id, *messageId, true);
    if (!message) {
        return CServiceResponse::NotFound();
    }
    CServiceAnswer answer;
    AddMessageFields(answer, *message);
    if (message->Type == kVoiceMessage) {
        // Audio type 0 asks for the compressed recording, anything else for plain PCM.
        answer.AddRaw("Message", *audioType == 0 ? message->GsmWave : message->PcmWave);
    } else {
        answer.Add("Message", message->Text);
    }
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CMessageCommands::MarkMessageAsRead(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    const std::optional<std::string> password = request.Query.Value("Password");
    const std::optional<int64_t> messageId = RequiredNumber(request.Query, "MessageID");
    if (!id || !password || !messageId) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> subscriber = Authenticate(context.Store, *id, *password);
    if (!subscriber) {
        return CServiceResponse::Forbidden();
    }
    RememberAddress(context.Store, *subscriber, request);
    const int marked = context.Store.MarkRead(*id, *messageId);
    if (marked < 0) {
        return {500, {}, {}};
    }
    CServiceAnswer answer;
    answer.Add("Result", marked);
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CMessageCommands::SendTextMessage(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> recipientId = RequiredId(request.Query, "VanduID");
    const std::optional<std::string> senderId = RequiredId(request.Query, "From");
    const std::optional<std::string> text = request.Query.Value("Text");
    if (!recipientId || !senderId || !text) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> sender = context.Store.FindSubscriber(*senderId);
    if (sender) {
        RememberAddress(context.Store, *sender, request);
    }
    const std::optional<CSubscriber> recipient = context.Store.FindSubscriber(*recipientId);
    std::string outcome;
    if (!sender) {
        outcome = "Sorry, your Vandu ID " + *senderId + " is not known to the service. The message was not sent.";
    } else if (!recipient) {
        outcome = "Sorry, " + *recipientId + " is not a Vandu subscriber. The message was not sent.";
    } else if (SanitizeStoredText(*text).find_first_not_of(' ') == std::string::npos) {
        outcome = "The message is empty and was not sent.";
    } else {
        const CDeliveryResult delivered = CMessageDelivery::Deliver(
            context.Store, CMessageDelivery::SubscriberText(*sender, *recipientId, *text), true, context.WakeupPort);
        outcome = delivered.MessageId < 0
            ? "Sorry, the message could not be stored. Please try again later."
            : "Your message was sent to " + recipient->FirstName + " " + recipient->LastName + ".";
    }
    CServiceAnswer answer;
    answer.Add("Message", outcome);
    return CServiceResponse::Answer(answer.Body());
}

} // namespace vandu::server
