#pragma once

// File operations of the installer that never leave a half-written file behind: the new content
// goes into a temporary file beside the target, which is then renamed over it. A copy whose
// source and target are the same file counts as done and leaves the file alone (a
// truncate-and-write copy would wipe it). Qt-free, POSIX.

#include <string>
#include <sys/types.h>

namespace vandu::install {

// Copies source over target, keeping the source's permission bits. False when the source cannot
// be read or the target cannot be written; the target is then as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target);

// Writes bytes as target with the given permission bits, replacing what was there.
bool WriteFileReplacing(const std::string& target, const std::string& bytes, mode_t mode);

// Creates dir (mode 0755 less the umask) and any missing folder above it (0700, as the XDG rules
// ask for folders a program creates in the user's home). True when dir exists afterwards.
bool MakeFolder(const std::string& dir);

} // namespace vandu::install
