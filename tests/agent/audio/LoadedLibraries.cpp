#include "tests/agent/audio/LoadedLibraries.h"

#include "tests/support/TestSupport.h"

#include <set>
#include <sstream>

namespace vandu::test {

std::vector<std::string> LoadedLibraries(const std::vector<std::string>& wanted, pid_t pid)
{
    const std::string maps = ReadFile(pid == 0 ? "/proc/self/maps" : "/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> found;
    std::istringstream lines(maps);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t slash = line.rfind('/');
        if (slash == std::string::npos) {
            continue;
        }
        const std::string file = line.substr(slash + 1);
        for (const std::string& name : wanted) {
            if (file.rfind(name, 0) == 0) {
                found.insert(name);
            }
        }
    }
    std::vector<std::string> result;
    for (const std::string& name : wanted) {
        if (found.count(name) != 0) {
            result.push_back(name);
        }
    }
    return result;
}

} // namespace vandu::test
