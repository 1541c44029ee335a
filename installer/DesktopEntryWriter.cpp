#include "installer/DesktopEntryWriter.h"

namespace {

constexpr const char* kReserved = " \t\n\"'\\><~|&;$*?#()`";

} // namespace

std::string CDesktopEntryWriter::EscapeString(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case ' ':
            out += i == 0 ? "\\s" : " ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string CDesktopEntryWriter::QuoteExecArgument(const std::string& argument)
{
    std::string body;
    for (const char c : argument) {
        if (c == '%') {
            body += "%%";
        } else {
            body += c;
        }
    }
    if (!argument.empty() && argument.find_first_of(kReserved) == std::string::npos) {
        return body;
    }
    std::string quoted = "\"";
    for (const char c : body) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string CDesktopEntryWriter::ExecValue(const std::vector<std::string>& arguments)
{
    std::string value;
    for (const std::string& argument : arguments) {
        if (!value.empty()) {
            value += ' ';
        }
        value += QuoteExecArgument(argument);
    }
    // The string rule applies on top of the quoting: a quoted backslash ends up as four.
    std::string escaped;
    for (const char c : value) {
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return escaped;
}

bool CDesktopEntryWriter::IsValidUtf8(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t extra = 0;
        unsigned minimum = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, minimum = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, minimum = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, minimum = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

bool CDesktopEntryWriter::IsWritable(const std::string& value)
{
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t' && c != '\r') || byte == 0x7F) {
            return false;
        }
    }
    return IsValidUtf8(value);
}

std::string CDesktopEntryWriter::Text() const
{
    std::vector<std::pair<std::string, std::string>> lines;
    auto add = [&lines](const char* key, const std::string& value, bool escape = true) {
        if (!value.empty()) {
            lines.emplace_back(key, escape ? EscapeString(value) : value);
        }
    };
    if (Exec.empty() || Exec.front().empty()) {
        return {};
    }
    for (const std::string& argument : Exec) {
        // A newline inside an Exec argument survives neither the quoting nor the readers.
        if (!IsWritable(argument) || argument.find_first_of("\n\r") != std::string::npos) {
            return {};
        }
    }
    for (const std::string* value : {&Name, &Comment, &Path, &Icon, &Categories}) {
        if (!IsWritable(*value)) {
            return {};
        }
    }
    lines.emplace_back("Type", "Application");
    add("Name", Name);
    add("Comment", Comment);
    add("Exec", ExecValue(Exec), false);
    add("Path", Path);
    add("Icon", Icon);
    add("Terminal", "false");
    add("Categories", Categories);
    for (const auto& [key, value] : Extra) {
        if (!IsWritable(value)) {
            return {};
        }
        add(key.c_str(), value);
    }
    std::string text = "[Desktop Entry]\n";
    for (const auto& [key, value] : lines) {
        text += key + "=" + value + "\n";
    }
    return text;
}
