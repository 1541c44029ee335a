#include "server/AccountPages.h"

#include "server/CommandSupport.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"

namespace vandu::server {

namespace {

std::string Page(const std::string& title, const std::string& content)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title)
        + "</title>\n<style>body{font-family:sans-serif;max-width:40em;margin:2em auto;line-height:1.4}"
          "th{text-align:left;padding-right:1em}</style></head>\n<body><h1>"
        + HtmlEscape(title) + "</h1>\n" + content + "\n<p><a href=\"/\">Vandu home</a></p></body></html>\n";
}

std::string Row(const std::string& label, const std::string& value)
{
    return "<tr><th>" + HtmlEscape(label) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
}

// "555-123-4567" for a ten-digit ID; other IDs as they are.
std::string PhoneForm(const std::string& id)
{
    if (id.size() != 10) {
        return id;
    }
    return id.substr(0, 3) + "-" + id.substr(3, 3) + "-" + id.substr(6);
}

std::string AccountTable(CServiceStore& store, const CSubscriber& s)
{
    return "<table>\n" + Row("Vandu ID", s.Id) + Row("Name", s.FirstName + " " + s.LastName) + Row("E-mail", s.Email)
        + Row("Messages waiting", std::to_string(store.WaitingIds(s.Id).size()))
        + Row("Toll-free number", kTollFreeNumber) + "</table>";
}

} // namespace

CServiceResponse CAccountPages::Home(CServiceContext&, const CServiceRequest&)
{
    return CServiceResponse::Page(Page("Vandu message service",
        std::string("<p>Callers leave you a voice message at the toll-free number ") + kTollFreeNumber
            + " by entering your Vandu ID; other subscribers send you short texts. The Vandu agent on your "
              "desktop fetches them and tells you when they arrive.</p>\n"
              "<p>To open your account centre, use the Vandu agent's menu.</p>"));
}

CServiceResponse CAccountPages::OLLogin(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    const std::optional<std::string> password = request.Query.Value("Password");
    if (!id || !password) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> s = Authenticate(context.Store, *id, *password);
    if (!s) {
        return CServiceResponse::Page(Page("Sign-in failed",
            "<p>The Vandu ID " + HtmlEscape(*id)
                + " and this password do not match an account. "
                  "Check them in the agent's settings.</p>"));
    }
    const std::string destination = request.Query.Value("Destination").value_or("");
    if (destination == "OLSettings") {
        return CServiceResponse::Page(Page("Your profile",
            AccountTable(context.Store, *s)
                + "\n<p>To change your name or e-mail address, "
                  "contact Vandu customer care.</p>"));
    }
    if (destination == "OLGreeting") {
        return CServiceResponse::Page(Page("Your greeting",
            "<p>Callers who dial " + std::string(kTollFreeNumber) + " and enter your Vandu ID " + HtmlEscape(s->Id)
                + " hear your greeting before they leave a message. "
                + "To record a new greeting, call that number, enter your Vandu ID and "
                  "your password, and press 9.</p>"));
    }
    return CServiceResponse::Page(
        Page("Account centre of " + s->FirstName + " " + s->LastName, AccountTable(context.Store, *s)));
}

CServiceResponse CAccountPages::CallForward(CServiceContext& context, const CServiceRequest& request)
{
    const std::optional<std::string> id = RequiredId(request.Query, "VanduID");
    if (!id) {
        return CServiceResponse::NotFound();
    }
    const std::optional<CSubscriber> s = context.Store.FindSubscriber(*id);
    const std::string name = s ? s->FirstName + " " + s->LastName : std::string("you");
    return CServiceResponse::Page(Page("Call forwarding",
        "<p>Vandu can catch the calls that reach " + HtmlEscape(name) + " at " + HtmlEscape(PhoneForm(*id))
            + " while the line is busy. Ask your telephone company to forward busy calls to " + kTollFreeNumber
            + "; callers then leave their message and it arrives on your desktop.</p>"));
}

CServiceResponse CAccountPages::Help(CServiceContext&, const CServiceRequest&)
{
    return CServiceResponse::Page(Page("Vandu help",
        "<ul><li>New messages are fetched every few minutes, or at once when the service wakes the agent.</li>\n"
        "<li>Press F5 in the agent to look for messages now.</li>\n"
        "<li>Voice messages play from the agent's window; texts are shown on its display.</li>\n"
        "<li>Use \"Send a message\" to write to another Vandu subscriber by their Vandu ID.</li></ul>"));
}

} // namespace vandu::server
