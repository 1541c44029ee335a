#pragma once

// The arguments of one command: its positional values and its "--name value" or "--flag" options,
// checked against what the command accepts.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace vandu::server {

class CCommandLine {
public:
    // Splits args (after the command name). Options taking a value are in valued, flags in flags;
    // anything else starting with "--" is an error. Returns 0, or -1 with error set.
    int Parse(const std::vector<std::string>& args, const std::set<std::string>& valued,
        const std::set<std::string>& flags, std::string& error);

    const std::vector<std::string>& Positional() const { return m_positional; }
    bool Has(const std::string& name) const { return m_options.count(name) > 0; }
    std::string Option(const std::string& name, const std::string& fallback = {}) const;

    // A port option (1..65535): 0 with port set, -1 with error set; fallback when absent.
    int Port(const std::string& name, int fallback, int& port, std::string& error) const;

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
};

} // namespace vandu::server
