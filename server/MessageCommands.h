#pragma once

// The message commands: listing, fetching and marking waiting messages, and sending a text from
// one subscriber to another.

#include "server/ServiceExchange.h"

namespace vandu::server {

class CMessageCommands {
public:
    static CServiceResponse GetNewMessageIDs(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse GetMessage2(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse MarkMessageAsRead(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse SendTextMessage(CServiceContext& context, const CServiceRequest& request);
};

} // namespace vandu::server
