// CUrl::Parse on arbitrary text: no crash, and the parts never hold more than the text did.

#include "agent/net/Url.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CUrl url;
    url.Parse(text);
    const std::size_t total = url.Scheme.size() + url.Host.size() + url.Port.size() + url.Path.size() + url.Query.size()
        + url.Fragment.size();
    if (total > text.size() || url.Valid != (text.empty() ? 0 : 1))
        std::abort();
    url.Parse(text); // re-parsing gives the same parts
    return 0;
}
