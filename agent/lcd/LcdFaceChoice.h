#pragma once

// Which face file the LCD letters with: the one fontconfig gives for the layout's family ("Arial",
// or the metric-compatible face where Arial itself is missing). Asking fontconfig means loading
// its whole configuration first, which takes longer than everything else the window does before
// its first frame; so the face the last start drew with is remembered in the user's cache folder
// and used at start, and fontconfig is asked once the window shows (Confirm), in case fonts were
// installed or removed since. Only a start with nothing remembered, or whose remembered file is
// gone, asks at once.

#include "agent/lcd/LcdFont.h"

#include <optional>
#include <string>

namespace vandu::lcd {

inline constexpr const char* kLayoutFamily = "Arial";

// fontconfig's best face for family, a sans-serif one if the family is missing; nothing only when
// the system has no font at all.
std::optional<SLcdFaceFile> MatchFace(const std::string& family);

} // namespace vandu::lcd

class CLcdFaceChoice {
public:
    // memoryFile keeps the choice between starts; empty remembers nothing.
    explicit CLcdFaceChoice(std::string memoryFile);

    // The remembered face while its file is there, else fontconfig's (then remembered). A file that
    // is there but holds no usable face shows as a null CLcdFont: ask Confirm then.
    SLcdFaceFile Initial();
    // fontconfig's face now, remembered for the next start.
    SLcdFaceFile Confirm();

private:
    std::optional<SLcdFaceFile> Remembered() const;
    void Remember(const SLcdFaceFile& face);

    std::string m_memoryFile;
};
