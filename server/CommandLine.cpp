#include "server/CommandLine.h"

#include "server/ServiceText.h"

namespace vandu::server {

int CCommandLine::Parse(const std::vector<std::string>& args, const std::set<std::string>& valued,
    const std::set<std::string>& flags, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0) {
            m_positional.push_back(arg);
        } else if (flags.count(arg)) {
            m_options[arg].assign(1, '1');
        } else if (valued.count(arg)) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return -1;
            }
            m_options[arg] = args[++i];
        } else {
            error = "unknown option " + arg;
            return -1;
        }
    }
    return 0;
}

std::string CCommandLine::Option(const std::string& name, const std::string& fallback) const
{
    const auto it = m_options.find(name);
    return it == m_options.end() ? fallback : it->second;
}

int CCommandLine::Port(const std::string& name, int fallback, int& port, std::string& error) const
{
    if (!Has(name)) {
        port = fallback;
        return 0;
    }
    const std::string value = Option(name);
    if (!IsDigits(value, 1, 5) || std::stoi(value) < 1 || std::stoi(value) > 65535) {
        error = name;
        error.append(" must be a port number from 1 to 65535, not \"").append(value).append("\"");
        return -1;
    }
    port = std::stoi(value);
    return 0;
}

} // namespace vandu::server
