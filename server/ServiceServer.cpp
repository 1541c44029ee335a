#include "server/ServiceServer.h"

#include "server/ServiceExchange.h"
#include "server/ServiceHandlers.h"

#include <httplib.h>

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace vandu::server {

namespace {

// Enough workers for several agents polling while others fetch recordings.
constexpr size_t kWorkers = 16;

// The Host header when it is a plain host[:port] (with the port the request arrived on added when
// it names none and that is not 80); else the address the request arrived on.
std::string HostAndPortOf(const httplib::Request& request)
{
    std::string host = request.get_header_value("Host");
    bool plain = !host.empty() && host.size() <= 255;
    for (char c : host) {
        const auto u = static_cast<unsigned char>(c);
        plain = plain && u > 32 && u < 127 && c != '/' && c != '?' && c != '#' && c != '@';
    }
    if (plain) {
        const size_t bracket = host.rfind(']');
        const bool hasPort = host.find(':', bracket == std::string::npos ? 0 : bracket) != std::string::npos;
        if (!hasPort && request.local_port != 80) {
            host += ":" + std::to_string(request.local_port);
        }
        return host;
    }
    const bool v6 = request.local_addr.find(':') != std::string::npos;
    return (v6 ? "[" + request.local_addr + "]" : request.local_addr) + ":" + std::to_string(request.local_port);
}

void ReuseAddressOnly(int fd)
{
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// Why host:port cannot be bound, found by trying it the same way: an errno value, EADDRINUSE when
// another program listens there.
int BindError(const std::string& host, int port)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        return EADDRNOTAVAIL;
    }
    int error = 0;
    const int fd = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    if (fd < 0) {
        error = errno;
    } else {
        ReuseAddressOnly(fd);
        if (bind(fd, found->ai_addr, found->ai_addrlen) != 0 || listen(fd, 1) != 0) {
            error = errno;
        }
        close(fd);
    }
    freeaddrinfo(found);
    // Free again by now: the first attempt met something that has passed.
    return error != 0 ? error : EAGAIN;
}

} // namespace

CServiceServer::CServiceServer(CServiceStore& store, int wakeupPort)
    : m_store(store)
    , m_wakeupPort(wakeupPort)
    , m_http(std::make_unique<httplib::Server>())
{
    m_http->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    m_http->set_keep_alive_max_count(1);
    // SO_REUSEADDR only: a restart may take the port over from connections still closing, but a
    // second service cannot listen beside the first. The library's default, SO_REUSEPORT, let two
    // services share the port and split an agent's requests between two databases.
    m_http->set_socket_options([](socket_t fd) { ReuseAddressOnly(fd); });
    m_http->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        CServiceContext context {m_store, m_wakeupPort};
        CServiceResponse answer
            = CServiceHandlers::Handle(context, request.target, request.remote_addr, HostAndPortOf(request));
        response.status = answer.Status;
        if (!answer.Body.empty()) {
            response.set_content(answer.Body, answer.ContentType.c_str());
        }
        return httplib::Server::HandlerResponse::Handled;
    });
}

CServiceServer::~CServiceServer() = default;

int CServiceServer::Bind(const std::string& host, int port)
{
    return m_http->bind_to_port(host, port) ? 0 : BindError(host, port);
}

int CServiceServer::Run()
{
    m_runEntered = true;
    if (m_stopRequested) {
        return 0;
    }
    return m_http->listen_after_bind() ? 0 : -1;
}

// cpp-httplib ignores a stop that comes before its accept loop runs: remember the stop for Run,
// and once Run has begun, wait (bounded) until the loop is up before stopping it.
void CServiceServer::Stop()
{
    m_stopRequested = true;
    if (!m_runEntered) {
        return;
    }
    for (int waited = 0; waited < 2000 && !m_http->is_running(); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_http->stop();
}

} // namespace vandu::server
