#pragma once

// Removes the agent's settings as the uninstaller does with the key tree: the [Main] group, then
// the settings file when nothing else is left in it, then its folder when that is empty. What
// anything else put there stays.

namespace vandu::uninstall {

void RemoveSettingsTree();

} // namespace vandu::uninstall
