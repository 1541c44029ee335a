#pragma once

// Which shared libraries a process has mapped, from /proc/<pid>/maps.

#include <string>
#include <sys/types.h>
#include <vector>

namespace vandu::test {

// The names among `wanted` (prefixes of file names, "libsndfile") that the process maps now, in
// the order of `wanted`; pid 0 is this process.
std::vector<std::string> LoadedLibraries(const std::vector<std::string>& wanted, pid_t pid = 0);

} // namespace vandu::test
