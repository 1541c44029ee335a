#pragma once

// Reading the desktop's application entries (freedesktop .desktop files): where an entry of a
// given id lives in the XDG data folders, and the command of its Exec key. Qt-free.

#include <string>
#include <vector>

class CDesktopEntry {
public:
    // The folders searched, in order: $XDG_DATA_HOME (else $HOME/.local/share), then each folder of
    // $XDG_DATA_DIRS (else /usr/local/share and /usr/share). Null or empty values take the defaults.
    static std::vector<std::string> DataFolders(const char* dataHome, const char* home, const char* dataDirs);
    // The candidate files of an entry id in those folders: <folder>/applications/<id>, and for an
    // id "vendor-name.desktop" also <folder>/applications/vendor/name.desktop. An id that is not a
    // plain ".desktop" file name has none.
    static std::vector<std::string> CandidatePaths(const std::string& id, const std::vector<std::string>& folders);
    // The value of Exec in the [Desktop Entry] group, with the string escapes resolved, every field
    // code dropped ("%%" stays as "%") and blanks trimmed; empty when there is no Exec key.
    static std::string ExecCommand(const std::string& entryText);
    // ExecCommand of the first readable candidate file of the id, with the folders of this
    // process's environment; empty when none is found.
    static std::string FindExecCommand(const std::string& id);
};
