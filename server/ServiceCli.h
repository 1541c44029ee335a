#pragma once

// The command line of vandu-service: serve, add-subscriber, deposit-voice, deposit-text,
// set-sponsor, clear-sponsor, set-vendor and list, each with "--db FILE". "help" (or "--help", or
// "--help" after a command) prints the usage with exit status 0. Errors are one line on the error
// stream and exit status 2; a failing command changes nothing.

#include <iosfwd>
#include <string>
#include <vector>

namespace vandu::server {

class CCommandLine;
class CServiceStore;
struct CServiceMessage;
struct CBanner;

class CServiceCli {
public:
    static constexpr int kUsageError = 2;

    CServiceCli(std::ostream& out, std::ostream& err)
        : m_out(out)
        , m_err(err)
    {
    }

    // args[0] is the command name. Returns the exit status.
    int Run(const std::vector<std::string>& args);

    // $XDG_DATA_HOME/vandu-service/service.db, with ~/.local/share when XDG_DATA_HOME is unset.
    static std::string DefaultDatabase();

private:
    int Fail(const std::string& message);
    int OpenStore(const CCommandLine& line, CServiceStore& store);
    int ReadFileArg(const std::string& path, size_t limit, std::string& bytes);

    int Serve(const CCommandLine& line);
    int AddSubscriber(const CCommandLine& line);
    int DepositVoice(const CCommandLine& line);
    int DepositText(const CCommandLine& line);
    int SetSponsor(const CCommandLine& line);
    int ClearSponsor(const CCommandLine& line);
    int SetVendor(const CCommandLine& line);
    int List(const CCommandLine& line);
    void ReportWakeup(int wakeup, const std::string& address, int port);
    int StoreBanner(
        const CCommandLine& line, const char* slot, const char* what, const std::string& pictureFile, CBanner& banner);
    int Deliver(const CCommandLine& line, CServiceStore& store, const CServiceMessage& message, const char* kind,
        const std::string& lastAddress, int port);

    std::ostream& m_out;
    std::ostream& m_err;
};

} // namespace vandu::server
