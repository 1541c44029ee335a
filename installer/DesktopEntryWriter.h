#pragma once

// A desktop entry of type Application, written as the freedesktop.org desktop entry format wants it:
// string values escaped, every Exec argument that holds a reserved character quoted, so that a
// program path with blanks, quotes or non-ASCII letters still starts the program. Qt-free.

#include <string>
#include <utility>
#include <vector>

class CDesktopEntryWriter {
public:
    std::string Name;
    std::string Comment;
    // The program and its arguments, unquoted; the first is the program's full path.
    std::vector<std::string> Exec;
    std::string Path;
    std::string Icon;
    std::string Categories;
    // Further keys in order (X-... extensions), values escaped like strings.
    std::vector<std::pair<std::string, std::string>> Extra;

    // The file's text; empty when a value cannot be written (not UTF-8, or a control character
    // the format has no escape for), so that no broken entry is ever saved.
    std::string Text() const;

    // A value of type string: backslash, newline, tab and carriage return escaped, and a leading
    // blank written as \s (readers strip blanks after the '=').
    static std::string EscapeString(const std::string& value);
    // One Exec argument before string escaping: quoted when it holds a reserved character
    // (", `, $ and \ then escaped inside the quotes); '%' doubled, since it starts a field code.
    static std::string QuoteExecArgument(const std::string& argument);
    // The Exec value as it appears after "Exec=".
    static std::string ExecValue(const std::vector<std::string>& arguments);
    static bool IsValidUtf8(const std::string& text);
    // True when the value can go into a desktop entry at all.
    static bool IsWritable(const std::string& value);
};
