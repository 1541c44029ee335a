#pragma once

// Small checks the command handlers share: required parameters of the right shape, and the
// record of where a subscriber's latest request came from.

#include "server/ServiceExchange.h"
#include "server/ServiceRecords.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vandu::server {

// The value of a parameter that must hold an account ID; none when missing or malformed.
std::optional<std::string> RequiredId(const CServiceQuery& query, const char* name);
// The value of a parameter that must hold a non-negative decimal number (at most 18 digits).
std::optional<int64_t> RequiredNumber(const CServiceQuery& query, const char* name);
// The subscriber with that ID and password, when both match.
std::optional<CSubscriber> Authenticate(CServiceStore& store, const std::string& id, const std::string& password);
// Keeps the request's address as the subscriber's latest (the wake-up goes there).
void RememberAddress(CServiceStore& store, const CSubscriber& subscriber, const CServiceRequest& request);

} // namespace vandu::server
