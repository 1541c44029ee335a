#include "installer/Installer.h"

#include "common/Names.h"
#include "installer/DesktopEntryWriter.h"
#include "installer/FileCopy.h"
#include "installer/Shortcut.h"

using namespace vandu::install;

CInstaller::CInstaller(CSettingsStore& settings, IUserPrompts& prompts, IProcessStarter& launcher)
    : m_settings(settings)
    , m_prompts(prompts)
    , m_launcher(launcher)
{
}

CInstaller::SOutcome CInstaller::Install(const SInstallRequest& request, const std::string& iconBytes)
{
    SOutcome outcome;
    for (const SInstallStep& step : PlanInstallation(request)) {
        Perform(step, request, iconBytes, outcome);
    }
    return outcome;
}

long long CInstaller::StartAgent(const std::string& installDir)
{
    return m_launcher.StartDetached(AgentTarget(installDir), {}, installDir);
}

void CInstaller::Perform(
    const SInstallStep& step, const SInstallRequest& request, const std::string& iconBytes, SOutcome& outcome)
{
    switch (step.Kind) {
    case EInstallStep::CreateInstallDir:
    case EInstallStep::CreateMessageFolder:
        // A failure shows up as the copy failure that follows.
        MakeFolder(step.Target);
        break;
    case EInstallStep::CopyAgent:
    case EInstallStep::CopyUninstaller:
        if (!CopyFileReplacing(step.Source, step.Target)) {
            m_prompts.Warn(CopyFailedText(step.Target));
            outcome.QuitRequested = true;
        }
        if (step.Kind == EInstallStep::CopyAgent && !iconBytes.empty()) {
            // Without its icon an entry still starts the agent: a failure here is silent.
            WriteFileReplacing(IconTarget(request.InstallDir), iconBytes, 0644);
        }
        break;
    case EInstallStep::WriteConnectionType:
        m_settings.SetInternetConnectionType(request.ConnectionType);
        break;
    case EInstallStep::CreateDesktopEntry:
    case EInstallStep::CreateProgramsEntry:
    case EInstallStep::CreateStartupEntry:
        CreateEntry(step, request.InstallDir);
        break;
    case EInstallStep::RemoveFirstTime:
        m_settings.RemoveFirstTime();
        break;
    case EInstallStep::WriteUninstallEntry:
        WriteUninstallEntry(step.Target, request.InstallDir);
        break;
    case EInstallStep::RefreshDesktopDatabase:
        // Only where the tool is installed; the menus also notice new entries by themselves.
        m_launcher.Run("update-desktop-database", {"-q", step.Target}, kRefreshTimeoutMs);
        break;
    }
}

void CInstaller::CreateEntry(const SInstallStep& step, const std::string& installDir)
{
    SShortcut shortcut;
    shortcut.Target = AgentTarget(installDir);
    shortcut.LinkPath = step.Target;
    shortcut.Description = kDescription;
    shortcut.WorkingDir = installDir;
    shortcut.Icon = IconTarget(installDir);
    // Desktops start a launcher on the Desktop only when it is executable.
    shortcut.Mode = step.Kind == EInstallStep::CreateDesktopEntry ? 0755 : 0644;
    if (CreateShortcut(shortcut, m_prompts) == kShortcutOk && step.MarkTrusted) {
        m_launcher.Run("gio", {"set", "-t", "string", step.Target, "metadata::trusted", "true"}, kRefreshTimeoutMs);
    }
}

void CInstaller::WriteUninstallEntry(const std::string& entryPath, const std::string& installDir)
{
    CDesktopEntryWriter entry;
    entry.Name = kUninstallName;
    entry.Exec = {UninstallerTarget(installDir)};
    entry.Icon = IconTarget(installDir);
    entry.Categories = kEntryCategories;
    entry.Extra = {{"X-Vandu-DisplayName", vandu::names::kApplication}};
    const std::string text = entry.Text();
    // Like the registry writes it stands for, a failure here is silent.
    const size_t slash = entryPath.rfind('/');
    if (!text.empty() && slash != std::string::npos && MakeFolder(entryPath.substr(0, slash))) {
        WriteFileReplacing(entryPath, text, 0644);
    }
}
