#include "server/MessageDelivery.h"

#include "server/ServiceStore.h"
#include "server/ServiceText.h"
#include "server/WakeupSender.h"

namespace vandu::server {

CServiceMessage CMessageDelivery::SubscriberText(
    const CSubscriber& sender, const std::string& recipientId, const std::string& text)
{
    CServiceMessage message;
    message.SubscriberId = recipientId;
    message.Type = kSubscriberText;
    message.SenderId = sender.Id;
    message.FirstName = sender.FirstName;
    message.LastName = sender.LastName;
    message.Text = text;
    return message;
}

CDeliveryResult CMessageDelivery::Deliver(CServiceStore& store, CServiceMessage message, bool wake, int wakeupPort)
{
    for (std::string* text : {&message.CallerId, &message.CallerName, &message.SenderId, &message.FirstName,
             &message.LastName, &message.Text}) {
        *text = SanitizeStoredText(*text);
    }
    if (message.Created == 0) {
        message.Created = std::time(nullptr);
    }
    CDeliveryResult result;
    result.MessageId = store.AddMessage(message);
    if (result.MessageId < 0 || !wake) {
        return result;
    }
    const std::optional<CSubscriber> subscriber = store.FindSubscriber(message.SubscriberId);
    if (subscriber && !subscriber->LastAddress.empty()) {
        result.Wakeup = CWakeupSender::Wake(subscriber->LastAddress, wakeupPort);
    }
    return result;
}

} // namespace vandu::server
