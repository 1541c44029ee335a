#include "server/ServiceCli.h"

#include "server/AccountCommands.h"
#include "server/AudioConverter.h"
#include "server/CommandLine.h"
#include "server/MessageDelivery.h"
#include "server/ServeCommand.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"
#include "server/WakeupSender.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string_view>

namespace vandu::server {

namespace {

constexpr size_t kMaxRecordingFile = 64u << 20;
constexpr size_t kMaxPictureFile = 1u << 20;

struct CCommandSpec {
    const char* Name;
    int (CServiceCli::*Run)(const CCommandLine&);
    size_t Positional;
    std::set<std::string> Valued;
    std::set<std::string> Flags;
    const char* Usage;
    const char* Summary;
};

const char* const kUsage = "usage: vandu-service serve|add-subscriber|deposit-voice|deposit-text|set-sponsor|"
                           "clear-sponsor|set-vendor|list|help ... [--db FILE]";

bool IsHelpWord(const std::string& arg)
{
    return arg == "help" || arg == "--help" || arg == "-h";
}

// Each summary line indented by indent spaces.
void WriteSummary(std::ostream& out, std::string_view summary, int indent)
{
    while (!summary.empty()) {
        const size_t end = summary.find('\n');
        out << std::string(indent, ' ') << summary.substr(0, end) << "\n";
        summary = end == std::string_view::npos ? std::string_view() : summary.substr(end + 1);
    }
}

// The usage of one command, or of all when one is null.
void WriteHelp(std::ostream& out, const std::vector<CCommandSpec>& specs, const CCommandSpec* one)
{
    if (one) {
        out << "usage: vandu-service " << one->Usage << " [--db FILE]\n\n";
        WriteSummary(out, one->Summary, 2);
    } else {
        out << "usage: vandu-service COMMAND ARGUMENTS [--db FILE]\n\n"
            << "The reference message service of Vandu and its command line. Commands:\n\n";
        for (const CCommandSpec& spec : specs) {
            out << "  " << spec.Usage << "\n";
            WriteSummary(out, spec.Summary, 6);
        }
        out << "  help [COMMAND]\n      this text, or one command's\n";
    }
    out << "\nEvery command keeps its data in the SQLite database FILE, by default\n  "
        << CServiceCli::DefaultDatabase()
        << "\nA deposit wakes the agent by connecting to the address it last polled from, "
        << "on port " << kDefaultWakeupPort
        << "\n(--wakeup-port); with --no-wake the message waits for the agent's next poll.\n";
}

const char* const kSignupReasons[] = {
    "",
    "cannot create the subscriber",
    "",
    "the ID is taken",
    "the ID must be ten digits",
    "the password must be four digits",
    "invalid first name",
    "invalid last name",
    "invalid e-mail address",
};

std::string SenderOrCaller(const CServiceMessage& m)
{
    if (m.Type == kSubscriberText) {
        return m.FirstName + " " + m.LastName + " (" + m.SenderId + ")";
    }
    if (m.CallerName.empty()) {
        return m.CallerId.empty() ? "-" : m.CallerId;
    }
    return m.CallerName + " (" + m.CallerId + ")";
}

// A sponsor ID goes into a URL and is compared by the agent: keep it to plain characters.
bool IsPlainSponsorId(const std::string& id)
{
    if (id.empty() || id.size() > 32 || id == "0") {
        return false;
    }
    for (char c : id) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') {
            return false;
        }
    }
    return true;
}

} // namespace

std::string CServiceCli::DefaultDatabase()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && *data) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return base + "/vandu-service/service.db";
}

int CServiceCli::Fail(const std::string& message)
{
    m_err << "vandu-service: " << message << "\n";
    return kUsageError;
}

int CServiceCli::Run(const std::vector<std::string>& args)
{
    static const std::vector<CCommandSpec> kSpecs = {
        {"serve", &CServiceCli::Serve, 0, {"--db", "--listen", "--wakeup-port"}, {"--seed-demo"},
            "serve [--listen HOST:PORT] [--wakeup-port N] [--seed-demo]",
            "answer the agent's requests on HOST:PORT (default 127.0.0.1:8026) until Ctrl+C; --seed-demo\n"
            "first adds the demo subscriber 5551234567 (password 1234) with three messages waiting"},
        {"add-subscriber", &CServiceCli::AddSubscriber, 5, {"--db"}, {}, "add-subscriber ID PASSWORD FIRST LAST EMAIL",
            "add a subscriber: a ten-digit ID and a four-digit password"},
        {"deposit-voice", &CServiceCli::DepositVoice, 2, {"--db", "--caller-id", "--caller-name", "--wakeup-port"},
            {"--no-wake"},
            "deposit-voice ID WAVFILE [--caller-id NUMBER] [--caller-name NAME] [--no-wake] "
            "[--wakeup-port N]",
            "leave a voice message of at most 5 minutes for ID, recorded in WAVFILE (or any sound file\n"
            "libsndfile reads), and wake its agent"},
        {"deposit-text", &CServiceCli::DepositText, 2, {"--db", "--from", "--wakeup-port"}, {"--no-wake"},
            "deposit-text ID TEXT [--from ID] [--no-wake] [--wakeup-port N]",
            "leave a text of at most 2000 characters for ID, from the subscriber --from or else from\n"
            "the service, and wake its agent"},
        {"set-sponsor", &CServiceCli::SetSponsor, 4, {"--db"}, {"--by-url"},
            "set-sponsor SPONSORID DESCRIPTION URL BMPFILE [--by-url]",
            "show BMPFILE as the sponsor picture, linked to URL; with --by-url the agent is sent a\n"
            "link to the picture instead of the picture"},
        {"clear-sponsor", &CServiceCli::ClearSponsor, 0, {"--db"}, {}, "clear-sponsor", "show no sponsor picture"},
        {"set-vendor", &CServiceCli::SetVendor, 3, {"--db"}, {}, "set-vendor DESCRIPTION URL BMPFILE",
            "show BMPFILE in the agent's vendor strip, linked to URL"},
        {"list", &CServiceCli::List, 1, {"--db"}, {}, "list ID",
            "the messages waiting for ID, one a line: number, type (1 voice, 2 and 3 text), date,\n"
            "time, caller or sender"},
    };
    if (args.empty()) {
        return Fail(std::string(kUsage) + "; \"vandu-service help\" tells more");
    }
    if (IsHelpWord(args[0])) {
        if (args.size() > 2) {
            return Fail("help takes one command name at most; " + std::string(kUsage));
        }
        const auto one = std::find_if(kSpecs.begin(), kSpecs.end(),
            [&args](const CCommandSpec& spec) { return args.size() == 2 && args[1] == spec.Name; });
        if (args.size() == 2 && one == kSpecs.end()) {
            return Fail("unknown command \"" + args[1] + "\"; " + kUsage);
        }
        WriteHelp(m_out, kSpecs, one == kSpecs.end() ? nullptr : &*one);
        return 0;
    }
    for (const CCommandSpec& spec : kSpecs) {
        if (args[0] != spec.Name) {
            continue;
        }
        // "--help" anywhere after a command asks for its usage, as with most programs.
        if (std::find(args.begin() + 1, args.end(), "--help") != args.end()) {
            WriteHelp(m_out, kSpecs, &spec);
            return 0;
        }
        CCommandLine line;
        std::string error;
        if (line.Parse({args.begin() + 1, args.end()}, spec.Valued, spec.Flags, error) != 0) {
            return Fail(error + "; usage: vandu-service " + spec.Usage + " [--db FILE]");
        }
        if (line.Positional().size() != spec.Positional) {
            return Fail(std::string("wrong number of arguments; usage: vandu-service ") + spec.Usage + " [--db FILE]");
        }
        return (this->*spec.Run)(line);
    }
    return Fail("unknown command \"" + args[0] + "\"; " + kUsage);
}

int CServiceCli::OpenStore(const CCommandLine& line, CServiceStore& store)
{
    const std::string path = line.Option("--db", DefaultDatabase());
    if (path.empty() || store.Open(path) != 0) {
        return Fail("cannot open the database " + path + ": " + store.LastError());
    }
    return 0;
}

int CServiceCli::ReadFileArg(const std::string& path, size_t limit, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail("cannot read " + path);
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return Fail("cannot read " + path);
    }
    if (bytes.size() > limit) {
        return Fail(path + " is larger than " + std::to_string(limit) + " bytes");
    }
    return 0;
}

int CServiceCli::AddSubscriber(const CCommandLine& line)
{
    const auto& p = line.Positional();
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    const int code = CAccountCommands::CheckSignup(store, p[0], p[1], p[2], p[3], p[4]);
    if (code != 0) {
        return Fail("cannot add subscriber " + p[0] + ": " + kSignupReasons[code]);
    }
    const int added = store.AddSubscriber({p[0], p[1], p[2], p[3], p[4], ""});
    if (added != 0) {
        return Fail("cannot add subscriber " + p[0] + ": " + (added == 1 ? "the ID is taken" : store.LastError()));
    }
    m_out << "subscriber " << p[0] << " added\n";
    return 0;
}

void CServiceCli::ReportWakeup(int wakeup, const std::string& address, int port)
{
    if (wakeup == 1) {
        m_out << "; no wake-up\n";
    } else {
        m_out << "; wake-up to " << address << ":" << port
              << (wakeup == 0 ? " sent\n" : " failed (nobody listening)\n");
    }
}

// Stores a deposited message, wakes its subscriber unless --no-wake, and says what happened.
int CServiceCli::Deliver(const CCommandLine& line, CServiceStore& store, const CServiceMessage& message,
    const char* kind, const std::string& lastAddress, int port)
{
    const CDeliveryResult result = CMessageDelivery::Deliver(store, message, !line.Has("--no-wake"), port);
    if (result.MessageId < 0) {
        return Fail("cannot store the message: " + store.LastError());
    }
    m_out << kind << " message " << result.MessageId << " deposited for " << message.SubscriberId;
    ReportWakeup(result.Wakeup, lastAddress, port);
    return 0;
}

int CServiceCli::DepositVoice(const CCommandLine& line)
{
    const auto& p = line.Positional();
    int port = 0;
    std::string error;
    if (line.Port("--wakeup-port", kDefaultWakeupPort, port, error) != 0) {
        return Fail(error);
    }
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    const std::optional<CSubscriber> subscriber = store.FindSubscriber(p[0]);
    if (!subscriber) {
        return Fail("unknown subscriber " + p[0]);
    }
    std::string bytes;
    if (ReadFileArg(p[1], kMaxRecordingFile, bytes) != 0) {
        return kUsageError;
    }
    CConvertedRecording recording;
    if (CAudioConverter::Convert(bytes, recording, error) != 0) {
        return Fail(p[1] + ": " + error);
    }
    CServiceMessage message;
    message.SubscriberId = p[0];
    message.Type = kVoiceMessage;
    message.CallerId = line.Option("--caller-id");
    message.CallerName = line.Option("--caller-name");
    message.GsmWave = std::move(recording.GsmWave);
    message.PcmWave = std::move(recording.PcmWave);
    if (message.CallerId.size() > 64 || message.CallerName.size() > 64) {
        return Fail("the caller ID and the caller name may have at most 64 characters");
    }
    return Deliver(line, store, message, "voice", subscriber->LastAddress, port);
}

int CServiceCli::DepositText(const CCommandLine& line)
{
    const auto& p = line.Positional();
    int port = 0;
    std::string error;
    if (line.Port("--wakeup-port", kDefaultWakeupPort, port, error) != 0) {
        return Fail(error);
    }
    if (SanitizeStoredText(p[1]).find_first_not_of(' ') == std::string::npos) {
        return Fail("the text is empty");
    }
    if (p[1].size() > 2000) {
        return Fail("the text is longer than 2000 characters");
    }
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    const std::optional<CSubscriber> subscriber = store.FindSubscriber(p[0]);
    if (!subscriber) {
        return Fail("unknown subscriber " + p[0]);
    }
    CServiceMessage message;
    message.SubscriberId = p[0];
    message.Type = kPhoneText;
    message.Text = p[1];
    if (line.Has("--from")) {
        const std::optional<CSubscriber> sender = store.FindSubscriber(line.Option("--from"));
        if (!sender) {
            return Fail("unknown sender " + line.Option("--from"));
        }
        message = CMessageDelivery::SubscriberText(*sender, p[0], p[1]);
    }
    return Deliver(line, store, message, "text", subscriber->LastAddress, port);
}

// Reads the BMP picture file into the banner and stores it; 0, or the exit status of the failure.
int CServiceCli::StoreBanner(
    const CCommandLine& line, const char* slot, const char* what, const std::string& pictureFile, CBanner& banner)
{
    if (ReadFileArg(pictureFile, kMaxPictureFile, banner.Picture) != 0) {
        return kUsageError;
    }
    if (banner.Picture.rfind("BM", 0) != 0) {
        return Fail(pictureFile + " is not a BMP picture");
    }
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    if (store.SetBanner(slot, banner) != 0) {
        return Fail(std::string("cannot store the ") + what + ": " + store.LastError());
    }
    return 0;
}

int CServiceCli::SetSponsor(const CCommandLine& line)
{
    const auto& p = line.Positional();
    if (!IsPlainSponsorId(p[0])) {
        return Fail("the sponsor ID must be 1 to 32 letters, digits, '-' or '_', and not 0");
    }
    CBanner sponsor {p[0], SanitizeStoredText(p[1]), SanitizeStoredText(p[2]), {}, line.Has("--by-url")};
    const int status = StoreBanner(line, kSponsorBanner, "sponsor", p[3], sponsor);
    if (status == 0) {
        m_out << "sponsor " << p[0] << " set\n";
    }
    return status;
}

int CServiceCli::ClearSponsor(const CCommandLine& line)
{
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    if (store.ClearBanner(kSponsorBanner) != 0) {
        return Fail("cannot clear the sponsor: " + store.LastError());
    }
    m_out << "sponsor cleared\n";
    return 0;
}

int CServiceCli::SetVendor(const CCommandLine& line)
{
    const auto& p = line.Positional();
    CBanner vendor {"", SanitizeStoredText(p[0]), SanitizeStoredText(p[1]), {}, false};
    const int status = StoreBanner(line, kVendorBanner, "vendor", p[2], vendor);
    if (status == 0) {
        m_out << "vendor set\n";
    }
    return status;
}

int CServiceCli::List(const CCommandLine& line)
{
    const std::string& id = line.Positional()[0];
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    if (!store.FindSubscriber(id)) {
        return Fail("unknown subscriber " + id);
    }
    for (const CServiceMessage& m : store.ListWaiting(id)) {
        m_out << m.Id << "\t" << m.Type << "\t" << FormatServiceDate(m.Created) << "\t" << FormatServiceTime(m.Created)
              << "\t" << SenderOrCaller(m) << "\n";
    }
    return 0;
}

int CServiceCli::Serve(const CCommandLine& line)
{
    int port = 0;
    std::string error;
    if (line.Port("--wakeup-port", kDefaultWakeupPort, port, error) != 0) {
        return Fail(error);
    }
    CServiceStore store;
    if (OpenStore(line, store) != 0) {
        return kUsageError;
    }
    return CServeCommand::Run(
        store, line.Option("--listen", "127.0.0.1:8026"), port, line.Has("--seed-demo"), m_out, m_err);
}

} // namespace vandu::server
