#pragma once

// Handing a message to a subscriber: store it, then wake the subscriber's agent at the address of
// its latest request. Used by the server (a text from another subscriber) and by the command line,
// which wakes the subscriber from its own process.

#include "server/ServiceRecords.h"

#include <cstdint>
#include <string>

namespace vandu::server {

class CServiceStore;

struct CDeliveryResult {
    int64_t MessageId = -1;
    // 0 woken, -1 the wake-up failed, 1 no wake-up tried (not asked for, or no address known).
    int Wakeup = 1;
};

class CMessageDelivery {
public:
    // A type-3 text from sender to recipientId, with the sender's names; text sanitised.
    static CServiceMessage SubscriberText(
        const CSubscriber& sender, const std::string& recipientId, const std::string& text);
    // Stores message (its texts sanitised, created now when 0) and, when wake, wakes the subscriber.
    static CDeliveryResult Deliver(CServiceStore& store, CServiceMessage message, bool wake, int wakeupPort);
};

} // namespace vandu::server
