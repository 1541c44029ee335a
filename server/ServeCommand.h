#pragma once

// "vandu-service serve": opens the database, seeds the demo when asked, binds the address and
// serves until SIGINT or SIGTERM.

#include <iosfwd>
#include <string>

namespace vandu::server {

class CServiceStore;

class CServeCommand {
public:
    // listen is "HOST:PORT" (an IPv6 host in brackets). Returns the exit status.
    static int Run(CServiceStore& store, const std::string& listen, int wakeupPort, bool seedDemo, std::ostream& out,
        std::ostream& err);
    // Splits "HOST:PORT"; false when it is not of that form.
    static bool SplitListen(const std::string& listen, std::string& host, int& port);
};

} // namespace vandu::server
