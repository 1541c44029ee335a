#pragma once

// The sponsor and vendor commands, the sponsor picture served by address, and the two records the
// agent sends without reading the answer: a sponsor click and a log report.

#include "server/ServiceExchange.h"

namespace vandu::server {

// Where the sponsor picture is served when it is named by "ImageURL=": this prefix, the sponsor ID
// and ".bmp". The ID is in the path, not in a query, so that the answer holds "SponsorID=" once.
inline constexpr const char* kSponsorPicturePrefix = "/images/sponsor-";

class CBannerCommands {
public:
    static CServiceResponse GetSponsorID(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse GetSponsor(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse SponsorPicture(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse VendorLogo(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse AddLogSponsorClick(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse Log(CServiceContext& context, const CServiceRequest& request);
};

} // namespace vandu::server
