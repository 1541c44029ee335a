// The response reader of CHttpClient on arbitrary bytes, fed through a real socket pair so the
// socket layer's line reading and waits run as they do on a connection.

#include "agent/net/BlockingSocket.h"
#include "agent/net/HttpClient.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The whole input must fit the socket buffer, as it is written before reading starts.
    if (size > 65536)
        return 0;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return 0;
    const int buffer = 1 << 18;
    setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fds[1], data + sent, size - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    ::close(fds[1]);

    CBlockingSocket socket;
    socket.Attach(fds[0]);
    CHttpClient client;
    client.SetHeaderWait(10);
    client.SetBodyWait(10);
    client.SetIdleLimit(50);
    std::string body;
    int length = -1;
    const int result = client.ReadResponse(socket, body, length, size % 2 ? "GET" : "HEAD");
    if (body.size() > sent || (result != 0 && result != client.Status()) || length > static_cast<int>(sent))
        std::abort();
    return 0;
}
