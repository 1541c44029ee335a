#pragma once

// The account pages the agent opens in the browser: the home page, the account centre (OLLogin,
// also as the profile and the greeting page), the call-forwarding set-up and the help page.
// Plain HTML that says what the service knows about the subscriber.

#include "server/ServiceExchange.h"

namespace vandu::server {

class CAccountPages {
public:
    static CServiceResponse Home(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse OLLogin(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse CallForward(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse Help(CServiceContext& context, const CServiceRequest& request);
};

} // namespace vandu::server
