#include "agent/shell/ModuleDirectory.h"

std::string ModuleDirectoryOf(const std::string& programPath)
{
    std::string path = programPath;
    for (size_t i = path.size(); i-- > 1;) {
        const bool separator = path[i] == '/' || path[i] == '\\';
        path[i] = ' ';
        if (separator) {
            break;
        }
    }
    const size_t end = path.find_last_not_of(" \t\r\n\v\f");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}
