#include "agent/settings/DesktopEntry.h"

#include "agent/settings/SettingsStore.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> SplitFolders(const std::string& list)
{
    std::vector<std::string> folders;
    std::stringstream stream(list);
    std::string folder;
    while (std::getline(stream, folder, ':')) {
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

// The string escapes of a desktop-entry value; other backslashes belong to the quoting rules.
std::string Unescape(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out.push_back(value[i]);
            continue;
        }
        const char next = value[i + 1];
        const std::string known = "sntr\\";
        const size_t at = known.find(next);
        if (at == std::string::npos) {
            out.push_back(value[i]);
            continue;
        }
        out.push_back(" \n\t\r\\"[at]);
        ++i;
    }
    return out;
}

// Field codes stand for files, URLs, the icon and the name, filled in by a launcher; a browser
// command is wanted without them.
std::string DropFieldCodes(const std::string& command)
{
    std::string out;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] != '%') {
            out.push_back(command[i]);
            continue;
        }
        if (i + 1 < command.size() && command[i + 1] == '%') {
            out.push_back('%');
        }
        ++i;
    }
    return out;
}

} // namespace

std::vector<std::string> CDesktopEntry::DataFolders(const char* dataHome, const char* home, const char* dataDirs)
{
    std::vector<std::string> folders;
    if (dataHome && *dataHome) {
        folders.push_back(dataHome);
    } else if (home && *home) {
        folders.push_back(std::string(home) + "/.local/share");
    }
    const std::vector<std::string> system
        = SplitFolders(dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share");
    folders.insert(folders.end(), system.begin(), system.end());
    return folders;
}

std::vector<std::string> CDesktopEntry::CandidatePaths(const std::string& id, const std::vector<std::string>& folders)
{
    const std::string suffix = ".desktop";
    const bool plainName = id.size() > suffix.size()
        && id.compare(id.size() - suffix.size(), suffix.size(), suffix) == 0 && id.find('/') == std::string::npos
        && id.find('\0') == std::string::npos && id[0] != '.';
    if (!plainName) {
        return {};
    }
    std::vector<std::string> paths;
    const size_t dash = id.find('-');
    for (const std::string& folder : folders) {
        paths.push_back(folder + "/applications/" + id);
        if (dash != std::string::npos && dash > 0) {
            paths.push_back(folder + "/applications/" + id.substr(0, dash) + "/" + id.substr(dash + 1));
        }
    }
    return paths;
}

std::string CDesktopEntry::ExecCommand(const std::string& entryText)
{
    std::stringstream stream(entryText);
    std::string line;
    bool inEntryGroup = false;
    while (std::getline(stream, line)) {
        const std::string trimmed = CSettingsStore::Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') {
            continue;
        }
        if (trimmed[0] == '[') {
            inEntryGroup = trimmed == "[Desktop Entry]";
            continue;
        }
        const size_t equals = trimmed.find('=');
        if (!inEntryGroup || equals == std::string::npos || CSettingsStore::Trim(trimmed.substr(0, equals)) != "Exec") {
            continue;
        }
        return CSettingsStore::Trim(DropFieldCodes(Unescape(CSettingsStore::Trim(trimmed.substr(equals + 1)))));
    }
    return {};
}

std::string CDesktopEntry::FindExecCommand(const std::string& id)
{
    const std::vector<std::string> folders
        = DataFolders(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), std::getenv("XDG_DATA_DIRS"));
    for (const std::string& path : CandidatePaths(id, folders)) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            continue;
        }
        std::stringstream text;
        text << file.rdbuf();
        return ExecCommand(text.str());
    }
    return {};
}
