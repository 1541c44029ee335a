#pragma once

// Routes one request target to its command or page. Anything not understood (unknown path or
// command, a missing or malformed parameter, an over-long value) is answered 404 without a body.

#include "server/ServiceExchange.h"

namespace vandu::server {

class CServiceHandlers {
public:
    // Longest raw request target, and longest decoded value of any parameter but the message
    // text and the log text, which may be longer.
    static constexpr size_t kMaxTarget = 8192;
    static constexpr size_t kMaxValue = 256;
    static constexpr size_t kMaxText = 2000;

    static CServiceResponse Handle(CServiceContext& context, const std::string& target,
        const std::string& remoteAddress, const std::string& hostAndPort);

private:
    static bool WithinLimits(const CServiceQuery& query);
    static CServiceResponse MessageManager(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse AspPage(CServiceContext& context, const CServiceRequest& request);
};

} // namespace vandu::server
