#include "tests/agent/net/NginxPeer.h"

#include <sys/stat.h>

namespace vandu::test {

NginxPeer::NginxPeer(std::string address)
    : m_address(std::move(address))
{
    ::chmod(m_dir.Path().c_str(), 0755); // the worker may run as another user
    ::mkdir(m_dir.File("www").c_str(), 0755);
}

NginxPeer::~NginxPeer() = default;

void NginxPeer::AddFile(const std::string& name, const std::string& bytes)
{
    WriteFile(m_dir.File("www/" + name), bytes);
}

bool NginxPeer::Start()
{
    const std::string nginx = FindProgram("nginx");
    if (nginx.empty())
        return false;
    m_port = FreeLoopbackPort();
    const std::string config = ReadFile(VANDU_TEST_DATA_DIR "/net/nginx.conf");
    WriteFile(m_dir.File("nginx.conf"), FillPeerConfig(config, m_dir.Path(), m_address, m_port));
    m_process = std::make_unique<PeerProcess>(std::vector<std::string> {
        nginx, "-e", m_dir.File("error.log"), "-c", m_dir.File("nginx.conf"), "-p", m_dir.Path()});
    return WaitForPort(m_address, m_port, 10000);
}

std::string NginxPeer::Base() const
{
    return "http://" + m_address + ":" + std::to_string(m_port) + "/";
}

std::string NginxPeer::ErrorLog() const
{
    return ReadFile(m_dir.File("error.log"));
}

} // namespace vandu::test
