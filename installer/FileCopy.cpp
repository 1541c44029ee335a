#include "installer/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace vandu::install {

namespace {

// Owns a temporary file beside the target until it is renamed into place.
class CTemporaryFile {
public:
    explicit CTemporaryFile(const std::string& target)
        : m_path(target + ".XXXXXX")
    {
        m_fd = ::mkstemp(m_path.data());
        m_pending = m_fd >= 0;
    }
    ~CTemporaryFile()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_pending) {
            ::unlink(m_path.c_str());
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    bool Write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<size_t>(written));
        }
        return true;
    }

    // Sets the mode, flushes to disk and renames over the target.
    bool Commit(const std::string& target, mode_t mode)
    {
        if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0) {
            return false;
        }
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 || ::rename(m_path.c_str(), target.c_str()) != 0) {
            return false;
        }
        m_pending = false;
        return true;
    }

private:
    std::string m_path;
    int m_fd = -1;
    // Created and not yet renamed into place: removed on destruction.
    bool m_pending = false;
};

bool SameFile(const struct stat& a, const std::string& path)
{
    struct stat b { };
    return ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool CopyFileReplacing(const std::string& source, const std::string& target)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return false;
    }
    struct stat info { };
    bool ok = ::fstat(in, &info) == 0 && S_ISREG(info.st_mode);
    if (ok && SameFile(info, target)) {
        ::close(in);
        return true;
    }
    if (ok) {
        CTemporaryFile temporary(target);
        ok = temporary.IsOpen();
        char buffer[65536];
        while (ok) {
            const ssize_t got = ::read(in, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            ok = temporary.Write(std::string_view(buffer, static_cast<size_t>(got)));
        }
        ok = ok && temporary.Commit(target, info.st_mode & 0777);
    }
    ::close(in);
    return ok;
}

bool WriteFileReplacing(const std::string& target, const std::string& bytes, mode_t mode)
{
    CTemporaryFile temporary(target);
    return temporary.IsOpen() && temporary.Write(bytes) && temporary.Commit(target, mode);
}

bool MakeFolder(const std::string& dir)
{
    struct stat info { };
    if (dir.empty()) {
        return false;
    }
    if (::stat(dir.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1)) {
        const std::string parent = dir.substr(0, slash);
        if (::stat(parent.c_str(), &info) != 0) {
            ::mkdir(parent.c_str(), 0700);
        }
    }
    ::mkdir(dir.c_str(), 0755);
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace vandu::install
