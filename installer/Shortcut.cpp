#include "installer/Shortcut.h"

#include "installer/DesktopEntryWriter.h"
#include "installer/FileCopy.h"

namespace vandu::install {

namespace {

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

int CreateShortcut(const SShortcut& shortcut, IUserPrompts& prompts)
{
    CDesktopEntryWriter entry;
    entry.Name = kEntryName;
    entry.Categories = kEntryCategories;
    if (shortcut.Target.empty() || shortcut.Target[0] != '/' || !CDesktopEntryWriter::IsWritable(shortcut.Target)
        || shortcut.Target.find_first_of("\n\r") != std::string::npos) {
        prompts.Warn(kSetPathFailed);
        return kShortcutPathFailed;
    }
    entry.Exec = {shortcut.Target};
    int result = kShortcutOk;
    if (CDesktopEntryWriter::IsWritable(shortcut.Description)) {
        entry.Comment = shortcut.Description;
    } else {
        prompts.Warn(kSetDescriptionFailed);
        result = kShortcutDescriptionFailed;
    }
    if (CDesktopEntryWriter::IsWritable(shortcut.WorkingDir)) {
        entry.Path = shortcut.WorkingDir;
    }
    if (CDesktopEntryWriter::IsWritable(shortcut.Icon)) {
        entry.Icon = shortcut.Icon;
    }
    const std::string text = entry.Text();
    if (text.empty() || !MakeFolder(FolderOf(shortcut.LinkPath))
        || !WriteFileReplacing(shortcut.LinkPath, text, shortcut.Mode)) {
        prompts.Warn(kSaveFailed);
        result = kShortcutSaveFailed;
    }
    return result;
}

} // namespace vandu::install
