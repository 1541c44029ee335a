#pragma once

// A loopback POP3 server on its own thread for the mail counter tests: sends a greeting, answers
// each command line by its verb from a table, records every line and every byte it received, and
// closes after QUIT. It speaks no TLS. A verb can be left unanswered to play a server that stops
// talking, and every answer held back to play one that answers each step just within the
// client's limit. Stopped (and joined) by Stop or destruction.

#include "tests/support/LoopbackServer.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vandu::test {

class ScriptedPop3Server {
public:
    struct Script {
        std::string greeting = "+OK POP3 ready\r\n";
        bool sendGreeting = true;
        std::map<std::string, std::string> replies; // verb ("USER") -> reply bytes
        std::string silentVerb; // this verb gets no reply at all
        int replyDelayMs = 0; // the greeting and every reply are held back this long
    };

    explicit ScriptedPop3Server(Script script);
    ~ScriptedPop3Server();
    ScriptedPop3Server(const ScriptedPop3Server&) = delete;
    ScriptedPop3Server& operator=(const ScriptedPop3Server&) = delete;

    int Port() const { return m_server.Port(); }
    void Stop();
    // Command lines received so far, without their line ends.
    std::vector<std::string> Commands() const;
    // Every byte received so far on every connection, as it came (TLS records included).
    std::string Received() const;

private:
    void Handle(int fd);
    bool Answer(int fd, const std::string& line); // false once the connection should end
    void Send(int fd, const std::string& bytes) const; // after the reply delay

    Script m_script;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::string m_received;
    LoopbackServer m_server; // last: its thread uses the members above
};

} // namespace vandu::test
