#include "agent/lcd/LcdFaceChoice.h"

#include "agent/store/AtomicFileWriter.h"

#include <fontconfig/fontconfig.h>

#include <charconv>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

std::string Serialise(const SLcdFaceFile& face)
{
    return face.path + '\n' + std::to_string(face.index) + '\n';
}

} // namespace

std::optional<SLcdFaceFile> vandu::lcd::MatchFace(const std::string& family)
{
    const Pattern pattern(FcPatternCreate());
    if (!pattern) {
        return std::nullopt;
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // What stands in for a missing family: the sans-serif default, as for any Qt text.
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) {
        return std::nullopt;
    }
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* file = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
        return std::nullopt;
    }
    SLcdFaceFile face {reinterpret_cast<const char*>(file), 0};
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &face.index);
    return face;
}

CLcdFaceChoice::CLcdFaceChoice(std::string memoryFile)
    : m_memoryFile(std::move(memoryFile))
{
}

SLcdFaceFile CLcdFaceChoice::Initial()
{
    if (auto remembered = Remembered(); remembered && ::access(remembered->path.c_str(), R_OK) == 0) {
        return *remembered;
    }
    return Confirm();
}

SLcdFaceFile CLcdFaceChoice::Confirm()
{
    const SLcdFaceFile face = vandu::lcd::MatchFace(vandu::lcd::kLayoutFamily).value_or(SLcdFaceFile {});
    if (!face.path.empty() && Remembered() != face) {
        Remember(face);
    }
    return face;
}

std::optional<SLcdFaceFile> CLcdFaceChoice::Remembered() const
{
    if (m_memoryFile.empty()) {
        return std::nullopt;
    }
    // Two short lines: a path and an index.
    char buffer[4096];
    const int fd = ::open(m_memoryFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (length <= 0 || static_cast<size_t>(length) == sizeof buffer) {
        return std::nullopt;
    }
    const std::string_view content(buffer, static_cast<size_t>(length));
    const size_t first = content.find('\n');
    const size_t second = first == std::string_view::npos ? first : content.find('\n', first + 1);
    if (first == 0 || second == std::string_view::npos || second + 1 != content.size()) {
        return std::nullopt;
    }
    SLcdFaceFile face {std::string(content.substr(0, first)), 0};
    const std::string_view index = content.substr(first + 1, second - first - 1);
    const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), face.index);
    if (error != std::errc() || end != index.data() + index.size() || face.index < 0) {
        return std::nullopt;
    }
    return face;
}

void CLcdFaceChoice::Remember(const SLcdFaceFile& face)
{
    if (m_memoryFile.empty()) {
        return;
    }
    const std::string::size_type slash = m_memoryFile.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        // The cache folder and those above it; one that exists is fine.
        for (std::string::size_type at = m_memoryFile.find('/', 1); at != std::string::npos && at <= slash;
             at = m_memoryFile.find('/', at + 1)) {
            ::mkdir(m_memoryFile.substr(0, at).c_str(), 0700);
        }
    }
    // A cache: losing it costs the next start a little time, so it is not flushed to the disk.
    CAtomicFileWriter::Write(m_memoryFile, Serialise(face), false);
}
