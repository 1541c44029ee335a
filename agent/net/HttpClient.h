#pragma once

// CHttpClient: the agent's minimal HTTP/1.0 client. One exchange per Fetch on a fresh TCP connection,
// direct or through a proxy; only the proxy settings and the last status survive between exchanges.
// Fetch returns the HTTP status code (the body is complete or a refused code was met), 0 (no status,
// short body, unsupported scheme, send failure) or -1 (no connection). One thread at a time per client.

#include "agent/net/Url.h"

#include <memory>
#include <string>

class CBlockingSocket;
class CTcpClientSocket;

class CHttpClient {
public:
    static constexpr int kDefaultHeaderWaitMs = 5000; // one wait for a header line
    static constexpr int kDefaultBodyWaitMs = 1000; // one wait for a body block
    static constexpr int kDefaultIdleLimitMs = 60000; // no byte for longer ends a phase
    static constexpr int kDefaultExchangeLimitMs = 300000; // the whole exchange, connect to last byte
    static constexpr int kLineLimit = 4095;
    static constexpr int kDefaultBodySize = 102400; // body cut when no length is announced
    static constexpr long kMaxContentLength = 16L << 20; // larger announced bodies are refused

    CHttpClient();
    ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    void SetProxy(const std::string& host, const std::string& port, int useProxy);
    int Fetch(const CUrl& url, std::string& body, int& length, const std::string& method);
    // Dotted IPv4 text of name; a name starting with a digit is returned unchanged; an unresolvable
    // name gives a one-character string of code 255 that no connection reaches.
    std::string ResolveHost(const std::string& name);
    int Status() const { return m_status; }

    // Time limits in milliseconds (defaults above); tests shorten them.
    void SetHeaderWait(int ms) { m_headerWaitMs = ms; }
    void SetBodyWait(int ms) { m_bodyWaitMs = ms; }
    void SetIdleLimit(int ms) { m_idleLimitMs = ms; }
    // Once it has passed, the exchange ends as if the server had closed the connection: a peer that
    // trickles bytes, each within the idle limit, cannot hold the client longer. Negative: none.
    void SetExchangeLimit(int ms) { m_exchangeLimitMs = ms; }

    // Reads status line, headers and body from a connected socket (the second half of Fetch). A
    // socket without a deadline gets the exchange limit from now.
    int ReadResponse(CBlockingSocket& socket, std::string& body, int& length, const std::string& method);

private:
    enum class HeaderStep { More, End, Refused, BadLength };

    int Exchange(const CUrl& url, std::string& body, int& length, const std::string& method);
    int ReadHeaders(CBlockingSocket& socket, int& expected, bool& announced);
    HeaderStep ReadArrivedLines(CBlockingSocket& socket, int& expected, bool& announced);
    HeaderStep HandleLine(const char* bytes, int count, int& expected, bool& announced);
    int ReadBody(CBlockingSocket& socket, int expected, std::string& body);
    int HandleHeaderLine(const std::string& line, int& expected, bool& announced);

    std::unique_ptr<CTcpClientSocket> m_socket;
    std::string m_proxyHost;
    std::string m_proxyPort;
    int m_useProxy = 0;
    int m_status = 0;
    int m_headerWaitMs = kDefaultHeaderWaitMs;
    int m_bodyWaitMs = kDefaultBodyWaitMs;
    int m_idleLimitMs = kDefaultIdleLimitMs;
    int m_exchangeLimitMs = kDefaultExchangeLimitMs;
};
