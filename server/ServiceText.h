#pragma once

// Text rules of the service's answers and stored values: the blanks that keep a stored text from
// cutting an answer short, the shapes of IDs and passwords, and the universal date and time forms.

#include <ctime>
#include <string>
#include <string_view>

namespace vandu::server {

// TAB, CR, LF and NUL become blanks: the agent cuts values at TAB or LF and stops looking for keys
// at the first zero byte, so none of them may reach an answer from a stored text.
std::string SanitizeStoredText(std::string_view text);

// True when text is between minLength and maxLength decimal digits.
bool IsDigits(std::string_view text, size_t minLength, size_t maxLength);

// An account ID as it appears in a request: digits only, at most 20 of them.
bool IsWellFormedId(std::string_view text);
// An ID a new account may take: exactly ten digits.
bool IsTenDigitId(std::string_view text);
// A password: exactly four digits.
bool IsFourDigitPassword(std::string_view text);
// A first or last name: 1 to 40 bytes, no control bytes, no digits, not only blanks.
bool IsValidName(std::string_view text);
// An e-mail address: local part, one "@", a domain with a dot; no blanks or control bytes.
bool IsValidEmail(std::string_view text);

// Universal time as the agent reads it: "M/D/YYYY" and "H:MM:SS".
std::string FormatServiceDate(std::time_t when);
std::string FormatServiceTime(std::time_t when);

// Escapes &, <, >, " and ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view text);

} // namespace vandu::server
