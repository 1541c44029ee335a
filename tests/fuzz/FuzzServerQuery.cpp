// Any request target is read without crashing, the parts it is split into add up to it again, and
// an answer built from its values keeps one line per key with no TAB, CR or NUL inside a value.

#include "server/ServiceAnswer.h"
#include "server/ServiceQuery.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

using vandu::server::CServiceAnswer;
using vandu::server::CServiceQuery;

namespace {

void Check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string target(reinterpret_cast<const char*>(data), size);
    const CServiceQuery query = CServiceQuery::Parse(target);
    const bool hasQuery = target.find('?') != std::string::npos;
    Check(query.Path() + (hasQuery ? "?" + query.RawQuery() : std::string()) == target);
    Check(query.Command().find('=') == std::string::npos && query.Command().find('&') == std::string::npos);
    Check(CServiceQuery::Decode(target).size() <= target.size());

    CServiceAnswer answer;
    size_t lines = 0;
    for (const auto& [name, value] : query.Params()) {
        const std::optional<std::string> first = query.Value(name);
        Check(first.has_value());
        if (name.find('=') == std::string::npos && !name.empty()) {
            answer.Add(name, value);
            ++lines;
        }
        if (const std::optional<std::string> tail = query.RawTail(name)) {
            Check(tail->size() <= query.RawQuery().size());
        }
    }
    size_t newlines = 0;
    for (char c : answer.Body()) {
        Check(c != '\t' && c != '\r' && c != '\0');
        newlines += c == '\n' ? 1 : 0;
    }
    Check(newlines == lines);
    answer.AddRaw("Message", target);
    answer.Add("After", "ignored");
    Check(answer.Body().size() >= target.size()
        && answer.Body().compare(answer.Body().size() - target.size(), target.size(), target) == 0);
    return 0;
}
