#include "agent/store/AtomicFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

// What mkostemp puts in place of its six X.
constexpr std::string_view kTempPattern = ".XXXXXX";

bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

bool CAtomicFileWriter::WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            if (wrote == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(wrote));
    }
    return true;
}

// The rename itself lives in the folder; without this a power cut may bring back the old name.
void CAtomicFileWriter::SyncFolder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

SFileWriteResult CAtomicFileWriter::Write(const std::string& path, std::string_view bytes, bool sync)
{
    // A name of its own per write: two writers of one target never touch each other's file.
    std::string temp = path + std::string(kTempPattern);
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return {EFileWriteError::Create, errno};
    }
    // mkostemp creates the file 0600, which is also what the target gets by the rename.
    SFileWriteResult result;
    if (!WriteAll(fd, bytes)) {
        result = {EFileWriteError::Write, errno};
    } else if (sync && ::fsync(fd) != 0) {
        result = {EFileWriteError::Sync, errno};
    }
    // Some file systems report a failed write-back only when the file is closed.
    if (::close(fd) != 0 && result) {
        result = {EFileWriteError::Write, errno};
    }
    if (result && std::rename(temp.c_str(), path.c_str()) != 0) {
        result = {EFileWriteError::Rename, errno};
    }
    if (!result) {
        ::unlink(temp.c_str());
        return result;
    }
    if (sync) {
        SyncFolder(path);
    }
    return result;
}

bool CAtomicFileWriter::IsLeftoverOf(std::string_view name, std::string_view targetSuffix)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot < targetSuffix.size()) {
        return false;
    }
    const std::string_view target = name.substr(0, dot);
    const std::string_view tail = name.substr(dot + 1);
    if (target.substr(target.size() - targetSuffix.size()) != targetSuffix) {
        return false;
    }
    if (tail == "tmp") {
        return true;
    }
    if (tail.size() != kTempPattern.size() - 1) {
        return false;
    }
    for (const char c : tail) {
        if (!IsAlnum(c)) {
            return false;
        }
    }
    return true;
}
