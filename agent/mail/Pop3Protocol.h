#pragma once

// CPop3Protocol: the POP3 counter's reading of its server's replies and the values a count ends
// with, shared by the job (which the shell sees) and the socket dialogue (loaded on first use).
// Qt-free: replies are bytes as received.

#include <string>

class CPop3Protocol {
public:
    static constexpr int kDefaultPort = 110;
    static constexpr int kReplyLimit = 5120; // bytes taken by one receive
    static constexpr int kCommandPauseMs = 250; // between sending a command and reading its reply

    // How the dialogue is protected; the values are those of the PopSecurity setting.
    static constexpr int kSecurityNone = 0;
    static constexpr int kSecurityTls = 1; // TLS from the first byte
    static constexpr int kSecurityStartTls = 2; // STLS after the greeting, then TLS

    static constexpr int kConnectFailed = -1; // also: STAT refused, TLS refused or not verified, a wait timed out
    static constexpr int kUserRefused = -3;
    static constexpr int kPasswordRefused = -4;

    // The marker is looked for anywhere in the reply, as servers have always been judged.
    static bool IsPositive(const std::string& reply);

    // The reply to STLS lets TLS start only when it is one line that begins with the marker and
    // nothing follows it: bytes sent after it in the clear would otherwise be read later as if
    // they had come through TLS.
    static bool AcceptsStartTls(const std::string& replyLine, bool moreBytesWaiting);

    // The count in a positive STAT reply: after the first four characters ("+OK "), the leading
    // digits of the text before the next space; 0 when there is no such space or no digit.
    static int ParseStatCount(const std::string& reply);

    // True for the three security values above and a port from 1 to 65535.
    static bool IsValidEndpoint(int security, int port);
};
