#include "agent/store/MessageFileWriter.h"

#include "agent/store/StoredMessage.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

void CMessageFileWriter::AppendLine(std::string& out, const char* key, const std::string& value)
{
    out += key;
    size_t start = out.size();
    out += value;
    // A line break inside a value would start a key or a section of its own when read back.
    for (size_t i = start; i < out.size(); ++i) {
        if (out[i] == '\r' || out[i] == '\n') {
            out[i] = ' ';
        }
    }
    out += '\n';
}

std::string CMessageFileWriter::BuildText(
    const std::vector<std::unique_ptr<CStoredMessage>>& messages, const SMessageFileHeader& header)
{
    std::string out;
    out.reserve(256 + messages.size() * 192);
    out += "[Vandu]\n";
    AppendLine(out, "Count=", std::to_string(messages.size()));
    AppendLine(out, "LastDownloaded=", header.LastDownloaded);
    AppendLine(out, "SponsorID=", header.SponsorID);
    AppendLine(out, "SponsorDesc=", header.SponsorDesc);
    AppendLine(out, "SponsorURL=", header.SponsorURL);
    AppendLine(out, "VendorDesc=", header.VendorDesc);
    AppendLine(out, "VendorURL=", header.VendorURL);
    size_t number = 0;
    for (const auto& message : messages) {
        out += "\n[Message";
        out += std::to_string(++number);
        out += "]\n";
        AppendLine(out, "Date=", message->Date());
        AppendLine(out, "Time=", message->Time());
        AppendLine(out, "SenderVanduID=", message->SenderVanduID());
        AppendLine(out, "FirstName=", message->FirstName());
        AppendLine(out, "LastName=", message->LastName());
        if (message->IsVoice()) {
            out += "Type=1\n";
            AppendLine(out, "Message=", message->VoiceFile());
            AppendLine(out, "CallerId=", message->CallerId());
            AppendLine(out, "CallerIdName=", message->CallerIdName());
        } else {
            // Type 2 is written as 3; its sender keys are empty, so it reads back the same.
            out += "Type=3\n";
            AppendLine(out, "Message=", message->Text());
        }
        out += message->Read() != 0 ? "Read=1\n" : "Read=0\n";
    }
    return out;
}

bool CMessageFileWriter::WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// The rename itself lives in the folder; without this a power cut may bring back the old name.
void CMessageFileWriter::SyncFolder(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

int CMessageFileWriter::WriteAtomically(const std::string& path, const std::string& text, bool sync)
{
    const std::string temp = path + ".tmp";
    // A leftover from an interrupted save (or anything planted under that name) goes first, so
    // that O_EXCL never follows a link.
    unlink(temp.c_str());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return 0;
    }
    bool ok = WriteAll(fd, text);
    ok = ok && (!sync || fsync(fd) == 0);
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return 0;
    }
    if (sync) {
        SyncFolder(path);
    }
    return 1;
}
