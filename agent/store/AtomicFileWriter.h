#pragma once

// Replaces a file as a whole. The bytes go to a temporary file beside the target, which is
// flushed to the disk, renamed over the target, and the folder is flushed too: a crash, a kill or
// a full disk leaves either the old file or the new one, never a part of one. Every file the
// agent keeps holds the subscriber's own messages, recordings or pictures, so the result is
// private to the user (0600) whatever the umask.

#include <string>
#include <string_view>

enum class EFileWriteError { None, Create, Write, Sync, Rename };

struct SFileWriteResult {
    EFileWriteError Error = EFileWriteError::None;
    // errno of the step that failed, 0 on success.
    int SystemError = 0;

    explicit operator bool() const { return Error == EFileWriteError::None; }
};

class CAtomicFileWriter {
public:
    // Writes bytes as the whole content of path. Without sync nothing is flushed (for benchmarks
    // and throw-away files). On failure the temporary file is gone and path is as it was.
    static SFileWriteResult Write(const std::string& path, std::string_view bytes, bool sync = true);

    // Whether a file name is a temporary file left behind for target name when a write was cut
    // short: "<target>.XXXXXX" (six letters or digits, as this writer makes them) or
    // "<target>.tmp" (as earlier versions of the message file writer made them).
    static bool IsLeftoverOf(std::string_view name, std::string_view targetSuffix);

private:
    static bool WriteAll(int fd, std::string_view bytes);
    static void SyncFolder(const std::string& path);
};
