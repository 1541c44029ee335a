#pragma once

// One request as the handlers see it and the answer they give, independent of the HTTP library.

#include "server/ServiceQuery.h"

#include <string>

namespace vandu::server {

class CServiceStore;

struct CServiceRequest {
    CServiceQuery Query;
    // The client's address as the service sees it: recorded for wake-ups and reported back.
    std::string RemoteAddress;
    // "host:port" under which the client reached the service, for addresses put into answers.
    std::string HostAndPort;
};

struct CServiceResponse {
    int Status = 404;
    std::string ContentType;
    std::string Body;

    static CServiceResponse Answer(std::string body) { return {200, "text/plain", std::move(body)}; }
    static CServiceResponse Page(std::string html) { return {200, "text/html; charset=utf-8", std::move(html)}; }
    static CServiceResponse Picture(std::string bmp) { return {200, "image/bmp", std::move(bmp)}; }
    // Not understood: no body, so that the agent reads no keys at all.
    static CServiceResponse NotFound() { return {404, {}, {}}; }
    // A wrong password where the agent must not take an empty answer for a message.
    static CServiceResponse Forbidden() { return {403, {}, {}}; }
};

// What every handler works with.
struct CServiceContext {
    CServiceStore& Store;
    int WakeupPort;
};

// The toll-free number answered as "PhoneCenter1=" and shown on the account pages.
inline constexpr const char* kTollFreeNumber = "1-888-VANDU-42";

} // namespace vandu::server
