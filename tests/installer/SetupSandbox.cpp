#include "tests/installer/SetupSandbox.h"

#include "installer/UserFolders.h"

#include <QSettings>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

namespace vandu::test {

SetupSandbox::SetupSandbox()
    : m_context {Backend, Settings, Prompts, Dialogs, Launcher, {}}
{
    for (const char* folder : {"config", "data", "run"}) {
        std::filesystem::create_directories(m_root.File(folder));
    }
    chmod(m_root.File("run").c_str(), 0700);
    setenv("HOME", m_root.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", m_root.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", m_root.File("data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", m_root.File("run").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(m_root.File("config")));
    m_context.Environment = vandu::install::CurrentEnvironment();
}

std::string SetupSandbox::Setting(const std::string& key) const
{
    return IniValue(ReadFile(SettingsFile()), "Main", key);
}

void SetupSandbox::WriteSettings(const std::string& text)
{
    std::filesystem::create_directories(m_root.File("config/Vandu"));
    WriteFile(SettingsFile(), text);
    chmod(SettingsFile().c_str(), 0600);
}

std::string SetupSandbox::MakeSourceFolder(const std::string& agent, const std::string& uninstaller)
{
    const std::string source = m_root.File("source");
    std::filesystem::create_directories(source);
    for (const auto& [name, from] : {std::pair {"Vandu", agent}, std::pair {"VanduUninstall", uninstaller}}) {
        const std::string target = source + "/" + name;
        if (from.empty()) {
            continue;
        }
        if (from[0] == '/') {
            std::filesystem::copy_file(from, target, std::filesystem::copy_options::overwrite_existing);
        } else {
            WriteFile(target, from);
        }
        chmod(target.c_str(), 0755);
    }
    m_context.Environment.SourceDir = source;
    return source;
}

} // namespace vandu::test
