#pragma once

// Reading of the service's key=value answers. The body is not split into lines: a key (its text
// including "=") is found by plain substring search from the start, first occurrence wins, and
// the search never looks past the first zero byte, since raw data (a recording, a bitmap) may
// follow the last key. Text values end at a TAB, else at a line feed, else at the end; a carriage
// return before the line feed stays in the value. They also end at the first zero byte, so a TAB
// inside raw data never pulls the data into a text value.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Offset just after the key, or npos when the key does not stand before the first zero byte.
std::size_t FindResponseKey(std::string_view body, std::string_view key);
// Text value of the key; empty when the key is absent.
std::string GetResponseValue(std::string_view body, std::string_view key);
// Leading decimal number of the text value (white space and a sign allowed); 0 when there is none.
int GetResponseInt(std::string_view body, std::string_view key);
// Leading decimal number after "Result=" (the rest of the body, not cut); -1 when the key is absent.
int GetResultCode(std::string_view body);
// Everything after the key, not cut at TAB or line feed, up to the first zero byte; empty when absent.
std::string GetResponseTail(std::string_view body, std::string_view key);
// Writes the bytes after the key to the end of the body, zero bytes included, as the whole file.
// The file is replaced only once it is complete, so a failed write leaves an earlier one as it was.
// Returns 1, or 0 when the key is absent, nothing follows it or the file cannot be written.
int WriteResponseTail(std::string_view body, std::string_view key, const std::string& path);
// Whether the text stands anywhere before the first zero byte.
bool ResponseContains(std::string_view body, std::string_view text);
// The numbers after "Result=", each ended by ";"; a number without its ";" is not taken.
std::vector<int> GetResponseIdList(std::string_view body);
// atoi-style conversion that saturates instead of overflowing.
int LeadingInt(std::string_view text);
