#include "server/ServiceHandlers.h"

#include "server/AccountCommands.h"
#include "server/AccountPages.h"
#include "server/BannerCommands.h"
#include "server/MessageCommands.h"

#include <cstring>

namespace vandu::server {

namespace {

using Handler = CServiceResponse (*)(CServiceContext&, const CServiceRequest&);

struct CRoute {
    const char* Name;
    Handler Run;
};

const CRoute kCommands[] = {
    {"GetNewMessageIDs", &CMessageCommands::GetNewMessageIDs},
    {"GetMessage2", &CMessageCommands::GetMessage2},
    {"MarkMessageAsRead", &CMessageCommands::MarkMessageAsRead},
    {"SendTextMessage", &CMessageCommands::SendTextMessage},
    {"SetGetUserInfo", &CAccountCommands::SetGetUserInfo},
    {"IsPasswordValid", &CAccountCommands::IsPasswordValid},
    {"GetSponsorID", &CBannerCommands::GetSponsorID},
    {"GetSponsor", &CBannerCommands::GetSponsor},
    {"AddLogSponsorClick", &CBannerCommands::AddLogSponsorClick},
    {"OLLogin", &CAccountPages::OLLogin},
};

const CRoute kAspPages[] = {
    {"pda_id_available.asp", &CAccountCommands::IdAvailable},
    {"pda_signup.asp", &CAccountCommands::Signup},
    {"pda_get_vendor_logo2.asp", &CBannerCommands::VendorLogo},
    {"cfwd-signup1.asp", &CAccountPages::CallForward},
    {"help.asp", &CAccountPages::Help},
};

constexpr const char* kAspFolder = "/asp/misc/";

} // namespace

bool CServiceHandlers::WithinLimits(const CServiceQuery& query)
{
    for (const auto& [name, value] : query.Params()) {
        const size_t limit = (name == "Text" || name == "Str") ? kMaxText : kMaxValue;
        if (name.size() > kMaxValue || value.size() > limit) {
            return false;
        }
    }
    return true;
}

CServiceResponse CServiceHandlers::Handle(CServiceContext& context, const std::string& target,
    const std::string& remoteAddress, const std::string& hostAndPort)
{
    if (target.size() > kMaxTarget) {
        return CServiceResponse::NotFound();
    }
    const CServiceRequest request {CServiceQuery::Parse(target), remoteAddress, hostAndPort};
    if (!WithinLimits(request.Query)) {
        return CServiceResponse::NotFound();
    }
    const std::string& path = request.Query.Path();
    if (path == "/cgi-bin/MessageManager.dll") {
        return MessageManager(context, request);
    }
    if (path == "/cgi-bin/log.dll") {
        return CBannerCommands::Log(context, request);
    }
    if (path.rfind(kAspFolder, 0) == 0) {
        return AspPage(context, request);
    }
    if (path.rfind(kSponsorPicturePrefix, 0) == 0) {
        return CBannerCommands::SponsorPicture(context, request);
    }
    if (path == "/" || path == "/index.html") {
        return CAccountPages::Home(context, request);
    }
    return CServiceResponse::NotFound();
}

CServiceResponse CServiceHandlers::MessageManager(CServiceContext& context, const CServiceRequest& request)
{
    // The command is the query's first element; cpp-httplib's own parameter map cannot show it.
    for (const CRoute& route : kCommands) {
        if (request.Query.Command() == route.Name) {
            return route.Run(context, request);
        }
    }
    return CServiceResponse::NotFound();
}

CServiceResponse CServiceHandlers::AspPage(CServiceContext& context, const CServiceRequest& request)
{
    const std::string name = request.Query.Path().substr(std::strlen(kAspFolder));
    for (const CRoute& route : kAspPages) {
        if (name == route.Name) {
            return route.Run(context, request);
        }
    }
    return CServiceResponse::NotFound();
}

} // namespace vandu::server
