#include "agent/net/HttpClient.h"

#include "agent/net/TcpClientSocket.h"

#include <algorithm>
#include <arpa/inet.h>
#include <charconv>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Never waits past the idle limit, so short limits take effect at once.
int NextWaitMs(int waitMs, int idleLimitMs, Clock::time_point lastActivity)
{
    const long long left = static_cast<long long>(idleLimitMs) - MsSince(lastActivity) + 1;
    if (left < 1)
        return 1;
    return left < waitMs ? static_cast<int>(left) : waitMs;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "HTTP/<float> <int>" as far as the code, without the locale: a decimal comma locale must not
// stop the version at its ".".
bool ParseStatusLine(const std::string& line, int& code)
{
    if (line.compare(0, 5, "HTTP/") != 0)
        return false;
    const char* p = line.data() + 5;
    const char* end = line.data() + line.size();
    while (p < end && IsSpace(*p))
        ++p;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    double version = 0;
    const auto parsed = std::from_chars(p, end, version, std::chars_format::general);
    if (parsed.ec != std::errc() && parsed.ec != std::errc::result_out_of_range)
        return false;
    p = parsed.ptr;
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p == end || !IsDigit(*p))
        return false;
    long long value = 0;
    for (; p < end && IsDigit(*p); ++p) {
        // Saturates: an absurdly long code is still a status line, and refused as unknown.
        if (value < 1000000)
            value = value * 10 + (*p - '0');
    }
    code = static_cast<int>(negative ? -value : value);
    return true;
}

bool IsAcceptedStatus(int code)
{
    return code == 100 || (code >= 200 && code <= 299) || code == 401 || code == 403 || (code >= 500 && code <= 599);
}

// Leading decimal digits after the blanks, as atol would read them; saturates instead of overflowing.
long ParseLength(const std::string& line, std::size_t from)
{
    std::size_t i = from;
    while (i < line.size() && IsSpace(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    long value = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        if (value <= CHttpClient::kMaxContentLength)
            value = value * 10 + (line[i] - '0');
    }
    return negative ? -value : value;
}

} // namespace

CHttpClient::CHttpClient() = default;
CHttpClient::~CHttpClient() = default;

void CHttpClient::SetProxy(const std::string& host, const std::string& port, int useProxy)
{
    m_proxyHost = host;
    m_proxyPort = port;
    m_useProxy = useProxy;
}

std::string CHttpClient::ResolveHost(const std::string& name)
{
    if (!name.empty() && IsDigit(name[0]))
        return name;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &result) != 0 || result == nullptr)
        return std::string(1, '\xff');
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr, text, sizeof text);
    freeaddrinfo(result);
    return text;
}

int CHttpClient::Fetch(const CUrl& url, std::string& body, int& length, const std::string& method)
{
    const char* scheme = url.Scheme.c_str();
    if (strcasecmp(scheme, "http") != 0 && strcasecmp(scheme, "https") != 0 && strcasecmp(scheme, "ftp") != 0)
        return 0;
    const int result = Exchange(url, body, length, method);
    m_socket.reset();
    return result;
}

int CHttpClient::Exchange(const CUrl& url, std::string& body, int& length, const std::string& method)
{
    m_socket.reset();
    m_status = 0;
    const CDeadline deadline = CDeadline::After(m_exchangeLimitMs);
    std::string port = url.Port == "80" ? std::string() : url.Port;
    const std::string host = ResolveHost(url.Host);
    const std::string fullUrl
        = "http://" + host + (port.empty() ? "" : ":" + port) + (host.empty() ? "" : "/") + url.Path + url.Query;
    if (port.empty())
        port = "80";

    const bool direct
        = !m_useProxy || host == "localhost" || host == "127.0.0.1" || host == LocalHostName() || host == m_proxyHost;
    // A blank or control byte (a CR at the end of a value from a CR LF answer, say) would break the
    // request line or smuggle a header through a proxy: refuse it before any connection.
    const auto unsafe = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte <= 0x20 || byte == 0x7F;
        });
    };
    if (unsafe(url.Path) || unsafe(url.Query) || unsafe(method))
        return 0;

    m_socket = std::make_unique<CTcpClientSocket>();
    m_socket->SetDeadline(deadline);
    const int connected = direct ? m_socket->Connect(host, port) : m_socket->Connect(m_proxyHost, m_proxyPort);
    if (connected < 0 || !m_socket->IsConnected())
        return -1;

    std::string request = method + " ";
    if (!direct)
        request += fullUrl;
    else
        request += (url.Path.empty() || url.Path[0] != '/' ? "/" : "") + url.Path + url.Query;
    request += " HTTP/1.0\r\n";
    request += "Host: " + host + "\r\n";
    request += "Connection: keep-alive, persist\r\n";
    request += "Persist: " + host + "\r\n";
    request += "Keep-Alive:\r\n";
    request += "User-Agent: Mozilla/3.0 (Win95,I)Windows; WIN32)\r\n";
    request += "Accept: */*\r\n";
    request += "\r\n";
    if (m_socket->Send(request.data(), static_cast<int>(request.size())) < 0)
        return 0;
    return ReadResponse(*m_socket, body, length, method);
}

int CHttpClient::ReadResponse(CBlockingSocket& socket, std::string& body, int& length, const std::string& method)
{
    if (!socket.Deadline().IsSet())
        socket.SetDeadline(CDeadline::After(m_exchangeLimitMs));
    int expected = kDefaultBodySize;
    bool announced = false;
    const int headers = ReadHeaders(socket, expected, announced);
    if (headers < 0)
        return 0;
    if (headers > 0 || method == "HEAD")
        return m_status;

    const int received = ReadBody(socket, expected, body);
    if (announced && received != expected)
        return 0;
    length = received;
    return m_status;
}

// 0: go on with the body; 1: refused status; -1: unacceptable length.
int CHttpClient::ReadHeaders(CBlockingSocket& socket, int& expected, bool& announced)
{
    socket.SetReadLineLimit(m_idleLimitMs);
    auto lastActivity = Clock::now();
    for (;;) {
        const int ready = socket.WaitReadable(0, NextWaitMs(m_headerWaitMs, m_idleLimitMs, lastActivity) * 1000);
        if (MsSince(lastActivity) > m_idleLimitMs || ready < 0 || socket.Deadline().Expired())
            return 0;
        if (ready == 0)
            continue;
        lastActivity = Clock::now();
        switch (ReadArrivedLines(socket, expected, announced)) {
        case HeaderStep::More:
            break;
        case HeaderStep::End:
            return 0;
        case HeaderStep::Refused:
            return 1;
        case HeaderStep::BadLength:
            return -1;
        }
    }
}

// Handles every complete line that has already arrived, then takes exactly their bytes from the
// connection, so the body stays there for ReadBody: two receive calls for a whole header block
// instead of two per line. A first line that is still arriving is left to ReadLine, which waits
// for the rest of it.
CHttpClient::HeaderStep CHttpClient::ReadArrivedLines(CBlockingSocket& socket, int& expected, bool& announced)
{
    char block[kLineLimit];
    const int arrived = socket.Peek(block, kLineLimit);
    if (arrived <= 0)
        return HeaderStep::End;
    int used = 0;
    HeaderStep step = HeaderStep::More;
    while (step == HeaderStep::More && used < arrived) {
        const char* start = block + used;
        const auto* end = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(arrived - used)));
        int count = 0;
        if (end != nullptr)
            count = static_cast<int>(end - start) + 1;
        else if (arrived - used == kLineLimit)
            count = kLineLimit; // a line reaching the limit is cut there, as ReadLine cuts it
        else
            break;
        step = HandleLine(start, count, expected, announced);
        used += count;
    }
    if (used == 0) {
        char line[kLineLimit];
        const int count = socket.ReadLine(line, kLineLimit);
        return count <= 0 ? HeaderStep::End : HandleLine(line, count, expected, announced);
    }
    return socket.Receive(block, used) == used ? step : HeaderStep::End;
}

// One line as received, its terminator included; two bytes or fewer end the header block.
CHttpClient::HeaderStep CHttpClient::HandleLine(const char* bytes, int count, int& expected, bool& announced)
{
    if (count <= 2)
        return HeaderStep::End;
    std::string text(bytes, static_cast<std::size_t>(count));
    if (text.back() == '\n')
        text.pop_back();
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    const int outcome = HandleHeaderLine(text, expected, announced);
    return outcome > 0 ? HeaderStep::Refused : outcome < 0 ? HeaderStep::BadLength : HeaderStep::More;
}

int CHttpClient::HandleHeaderLine(const std::string& line, int& expected, bool& announced)
{
    int code = 0;
    if (ParseStatusLine(line, code)) {
        m_status = code;
        if (!IsAcceptedStatus(code))
            return 1;
        if (code == 204)
            expected = 0;
        return 0;
    }
    if (line.size() >= 15 && strncasecmp(line.c_str(), "Content-Length:", 15) == 0) {
        announced = true;
        const long value = ParseLength(line, 15);
        // Checked before any buffer is sized from it.
        if (value < 0 || value > kMaxContentLength)
            return -1;
        expected = static_cast<int>(value);
    }
    return 0;
}

// Returns the bytes received; expected is what the headers asked for. Each receive takes all that
// is still wanted, so a body that has already arrived costs one call, not one per 4 KB.
int CHttpClient::ReadBody(CBlockingSocket& socket, int expected, std::string& body)
{
    std::string buffer(static_cast<std::size_t>(expected), '\0');
    int received = 0;
    auto lastActivity = Clock::now();
    while (received < expected) {
        const int ready = socket.WaitReadable(0, NextWaitMs(m_bodyWaitMs, m_idleLimitMs, lastActivity) * 1000);
        if (MsSince(lastActivity) > m_idleLimitMs || ready < 0 || socket.Deadline().Expired())
            break;
        if (ready == 0)
            continue;
        lastActivity = Clock::now();
        const int count = socket.Receive(buffer.data() + received, expected - received);
        if (count <= 0)
            break;
        received += count;
    }
    buffer.resize(static_cast<std::size_t>(received));
    body = std::move(buffer);
    return received;
}
