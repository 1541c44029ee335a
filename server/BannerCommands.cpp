#include "server/BannerCommands.h"

#include "server/CommandSupport.h"
#include "server/ServiceAnswer.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"

namespace vandu::server {

namespace {

// The requesting subscriber, whose address is remembered; none when the ID is unknown.
void RememberRequester(CServiceContext& context, const CServiceRequest& request, const std::string& id)
{
    if (const std::optional<CSubscriber> subscriber = context.Store.FindSubscriber(id)) {
        RememberAddress(context.Store, *subscriber, request);
    }
}

} // namespace

CServiceResponse CBannerCommands::GetSponsorID(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    RememberRequester(context, request, *id);
    const std::optional<CBanner> sponsor = context.Store.FindBanner(kSponsorBanner);
    CServiceAnswer answer;
    answer.Add("Result", sponsor ? sponsor->SponsorId : std::string("0"));
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CBannerCommands::GetSponsor(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    RememberRequester(context, request, *id);
    const std::optional<CBanner> sponsor = context.Store.FindBanner(kSponsorBanner);
    CServiceAnswer answer;
    answer.Add("SponsorID", sponsor ? sponsor->SponsorId : std::string("0"));
    answer.Add("Description", sponsor ? sponsor->Description : std::string());
    // "URL=" before "ImageURL=": the agent's search for "URL=" would otherwise hit "ImageURL=".
    answer.Add("URL", sponsor ? sponsor->Url : std::string());
    if (sponsor && sponsor->ByUrl) {
        answer.Add("ImageURL", "http://" + request.HostAndPort + kSponsorPicturePrefix + sponsor->SponsorId + ".bmp");
    } else {
        answer.Add("ImageURL", "");
        if (sponsor) {
            answer.AddRaw("ImageFile", sponsor->Picture);
        }
    }
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CBannerCommands::SponsorPicture(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<CBanner> sponsor = context.Store.FindBanner(kSponsorBanner);
    if (!sponsor || sponsor->Picture.empty()
        || request.Query.Path() != kSponsorPicturePrefix + sponsor->SponsorId + ".bmp") {
        return CServiceResponse::NotFound();
    }
    return CServiceResponse::Picture(sponsor->Picture);
}

CServiceResponse CBannerCommands::VendorLogo(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    RememberRequester(context, request, *id);
    const std::optional<CBanner> vendor = context.Store.FindBanner(kVendorBanner);
    CServiceAnswer answer;
    answer.Add("Description", vendor ? vendor->Description : std::string());
    answer.Add("URL", vendor ? vendor->Url : std::string());
    if (vendor) {
        answer.AddRaw("Image", vendor->Picture);
    }
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CBannerCommands::AddLogSponsorClick(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> sponsorId = request.Query.Value("SponsorID");
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!sponsorId || !id) {
        return CServiceResponse::NotFound();
    }
    RememberRequester(context, request, *id);
    if (context.Store.AddLog("click", SanitizeStoredText(*id + " " + *sponsorId), request.RemoteAddress) != 0) {
        return {500, {}, {}};
    }
    CServiceAnswer answer;
    answer.Add("Result", 1);
    return CServiceResponse::Answer(answer.Body());
}

CServiceResponse CBannerCommands::Log(CServiceContext& context, const CServiceRequest& request)
{
    // The report text is sent unencoded and holds "IP=...", so it is taken from the raw query.
    const std::optional<std::string> command = request.Query.Value("MfcISAPICommand");
    const std::optional<std::string> text = request.Query.RawTail("Str");
    if (!command || *command != "Add" || !text) {
        return CServiceResponse::NotFound();
    }
    if (context.Store.AddLog("report", SanitizeStoredText(*text), request.RemoteAddress) != 0) {
        return {500, {}, {}};
    }
    CServiceAnswer answer;
    answer.Add("Result", 1);
    return CServiceResponse::Answer(answer.Body());
}

} // namespace vandu::server
