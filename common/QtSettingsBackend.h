#pragma once

// The settings backend of the three programs: QSettings (organisation "Vandu", application
// "Vandu", group "Main"), on Linux $XDG_CONFIG_HOME/Vandu/Vandu.conf. Each access uses its own
// QSettings object with fallbacks off, and every write is synced at once, so another process
// (or thread) sees it on its next read. The file is kept at mode 0600: it holds the scrambled
// passwords.

#include "agent/settings/SettingsBackend.h"

#include <QString>

class CQtSettingsBackend : public ISettingsBackend {
public:
    std::optional<int32_t> ReadInt(const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& name) override;
    void WriteInt(const std::string& name, int32_t value) override;
    void WriteString(const std::string& name, const std::string& value) override;
    void Remove(const std::string& name) override;

    // The settings file of this user.
    static QString FilePath();
    // Removes the whole key tree: the settings file, and its folder when that is then empty.
    static bool RemoveAll();
};
