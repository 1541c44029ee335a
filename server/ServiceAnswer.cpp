#include "server/ServiceAnswer.h"

#include "server/ServiceText.h"

namespace vandu::server {

void CServiceAnswer::Add(std::string_view key, std::string_view value)
{
    if (m_closed) {
        return;
    }
    m_body += SanitizeStoredText(key);
    m_body += '=';
    m_body += SanitizeStoredText(value);
    m_body += '\n';
}

void CServiceAnswer::Add(std::string_view key, long long value)
{
    Add(key, std::to_string(value));
}

void CServiceAnswer::AddRaw(std::string_view key, std::string_view bytes)
{
    if (m_closed) {
        return;
    }
    m_body += SanitizeStoredText(key);
    m_body += '=';
    m_body.append(bytes);
    m_closed = true;
}

void CServiceAnswer::AddTail(std::string_view key, std::string_view text)
{
    if (m_closed) {
        return;
    }
    std::string clean(text);
    for (char& c : clean) {
        if (c == '\t' || c == '\0') {
            c = ' ';
        }
    }
    AddRaw(key, clean);
}

} // namespace vandu::server
