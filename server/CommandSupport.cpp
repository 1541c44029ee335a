#include "server/CommandSupport.h"

#include "server/ServiceStore.h"
#include "server/ServiceText.h"

namespace vandu::server {

std::optional<std::string> RequiredId(const CServiceQuery& query, const char* name)
{
    std::optional<std::string> value = query.Value(name);
    if (!value || !IsWellFormedId(*value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int64_t> RequiredNumber(const CServiceQuery& query, const char* name)
{
    const std::optional<std::string> value = query.Value(name);
    if (!value || !IsDigits(*value, 1, 18)) {
        return std::nullopt;
    }
    return std::stoll(*value);
}

std::optional<CSubscriber> Authenticate(CServiceStore& store, const std::string& id, const std::string& password)
{
    std::optional<CSubscriber> subscriber = store.FindSubscriber(id);
    if (!subscriber || subscriber->Password != password) {
        return std::nullopt;
    }
    return subscriber;
}

void RememberAddress(CServiceStore& store, const CSubscriber& subscriber, const CServiceRequest& request)
{
    if (!request.RemoteAddress.empty() && subscriber.LastAddress != request.RemoteAddress) {
        store.SetLastAddress(subscriber.Id, request.RemoteAddress);
    }
}

} // namespace vandu::server
