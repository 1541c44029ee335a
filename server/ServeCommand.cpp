#include "server/ServeCommand.h"

#include "server/DemoSeeder.h"
#include "server/ServiceServer.h"
#include "server/ServiceStore.h"
#include "server/ServiceText.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <thread>

namespace vandu::server {

bool CServeCommand::SplitListen(const std::string& listen, std::string& host, int& port)
{
    const size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    host = listen.substr(0, colon);
    const std::string portText = listen.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    if (!IsDigits(portText, 1, 5) || std::stoi(portText) > 65535) {
        return false;
    }
    port = std::stoi(portText);
    return !host.empty();
}

int CServeCommand::Run(CServiceStore& store, const std::string& listen, int wakeupPort, bool seedDemo,
    std::ostream& out, std::ostream& err)
{
    std::string host;
    int port = 0;
    if (!SplitListen(listen, host, port)) {
        err << "vandu-service: --listen wants HOST:PORT, not \"" << listen << "\"\n";
        return 2;
    }
    if (seedDemo && CDemoSeeder::Seed(store) != 0) {
        err << "vandu-service: cannot seed the demo: " << store.LastError() << "\n";
        return 2;
    }
    // Signals are taken by one waiting thread, so that stopping happens outside a signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    CServiceServer server(store, wakeupPort);
    if (const int error = server.Bind(host, port); error == EADDRINUSE) {
        err << "vandu-service: port " << port << " on " << host
            << " is already in use (is another vandu-service running?)\n";
        return 2;
    } else if (error != 0) {
        err << "vandu-service: cannot listen on " << listen << ": " << std::strerror(error) << "\n";
        return 2;
    }
    std::thread stopper([&server, stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        server.Stop();
    });
    out << "vandu-service: listening on http://" << listen << "/" << std::endl;
    const int served = server.Run();
    // Wakes the waiting thread when serving ended on its own.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return served == 0 ? 0 : 1;
}

} // namespace vandu::server
