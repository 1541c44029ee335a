#pragma once

// A sandbox home for the setup programs: HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR
// point into a temporary folder for the whole test process, and the settings live there.

#include "agent/settings/SettingsStore.h"
#include "common/QtSettingsBackend.h"
#include "installer/InstallContext.h"
#include "tests/support/TestSupport.h"

#include <map>
#include <string>

namespace vandu::test {

class SetupSandbox {
public:
    SetupSandbox();

    std::string Home() const { return m_root.Path(); }
    std::string File(const std::string& name) const { return m_root.File(name); }
    std::string SettingsFile() const { return m_root.File("config/Vandu/Vandu.conf"); }
    // Value of key in [Main]; "<missing>" when absent.
    std::string Setting(const std::string& key) const;
    void WriteSettings(const std::string& text);
    // A folder holding both programs (small stand-ins unless real ones are given).
    std::string MakeSourceFolder(const std::string& agent = "agent", const std::string& uninstaller = "uninstaller");

    SInstallContext& Context() { return m_context; }
    const SInstallContext& Context() const { return m_context; }

    CQtSettingsBackend Backend;
    CSettingsStore Settings {Backend, [] { return std::pair {1024, 768}; }};
    CRecordedPrompts Prompts;
    CRecordedFileDialogs Dialogs;
    CRecordedProcessStarter Launcher;

private:
    TempDir m_root;
    SInstallContext m_context;
};

} // namespace vandu::test
