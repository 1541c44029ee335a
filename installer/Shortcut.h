#pragma once

// CreateShortcut: writes the agent's desktop entry (the counterpart of a shell link). Each failing
// part shows its own box and the entry is still written when it can be; the result is the code of
// the last failure, or kShortcutOk. Qt-free.

#include "common/UserPrompts.h"

#include <string>
#include <sys/types.h>

namespace vandu::install {

inline constexpr int kShortcutOk = 0;
inline constexpr int kShortcutPathFailed = -1;
inline constexpr int kShortcutDescriptionFailed = -2;
inline constexpr int kShortcutSaveFailed = -3;

inline constexpr const char* kSetPathFailed = "SetPath failed!";
inline constexpr const char* kSetDescriptionFailed = "SetDescription failed!";
inline constexpr const char* kSaveFailed = "Save failed!";

// The name and the menu categories of the agent's entries.
inline constexpr const char* kEntryName = "Vandu";
inline constexpr const char* kEntryCategories = "Network;Telephony;";

struct SShortcut {
    std::string Target; // the program, a full path
    std::string LinkPath; // the .desktop file to write
    std::string Description; // Comment=
    std::string WorkingDir; // Path=
    std::string Icon; // Icon=, a full path
    mode_t Mode = 0644; // 0755 where the desktop starts only executable entries
};

// A target that cannot stand in an entry (not a full path, not UTF-8) shows "SetPath failed!" and
// writes nothing: an entry that starts nothing is worse than none. A description that cannot shows
// "SetDescription failed!" and is left out; an unusable working directory or icon is left out
// silently. The link's folder is created when missing; a failed write shows "Save failed!".
int CreateShortcut(const SShortcut& shortcut, IUserPrompts& prompts);

} // namespace vandu::install
