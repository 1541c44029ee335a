#include "agent/store/MessageFileWriter.h"

#include "agent/store/StoredMessage.h"

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
        AppendSection(out, *message, ++number);
    }
    return out;
}

void CMessageFileWriter::AppendSection(std::string& out, const CStoredMessage& message, size_t number)
{
    out += "\n[Message";
    out += std::to_string(number);
    out += "]\n";
    AppendLine(out, "Date=", message.Date());
    AppendLine(out, "Time=", message.Time());
    AppendLine(out, "SenderVanduID=", message.SenderVanduID());
    AppendLine(out, "FirstName=", message.FirstName());
    AppendLine(out, "LastName=", message.LastName());
    if (message.IsVoice()) {
        out += "Type=1\n";
        AppendLine(out, "Message=", message.VoiceFile());
        AppendLine(out, "CallerId=", message.CallerId());
        AppendLine(out, "CallerIdName=", message.CallerIdName());
    } else {
        // Type 2 is written as 3; its sender keys are empty, so it reads back the same.
        out += "Type=3\n";
        AppendLine(out, "Message=", message.Text());
    }
    out += message.Read() != 0 ? "Read=1\n" : "Read=0\n";
}
