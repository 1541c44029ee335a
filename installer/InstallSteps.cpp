#include "installer/InstallSteps.h"

#include "common/Names.h"

namespace vandu::install {

std::vector<SInstallStep> PlanInstallation(const SInstallRequest& request)
{
    const std::string& dir = request.InstallDir;
    auto source = [&request](const char* program) {
        return request.SourceDir.empty() ? std::string(program) : JoinPath(request.SourceDir, program);
    };
    return {
        {EInstallStep::CreateInstallDir, {}, dir},
        {EInstallStep::CreateMessageFolder, {}, MessageFolder(dir)},
        {EInstallStep::CopyAgent, source(names::kAgentProgram), AgentTarget(dir)},
        {EInstallStep::CopyUninstaller, source(names::kUninstallerProgram), UninstallerTarget(dir)},
        {EInstallStep::WriteConnectionType, {}, {}},
        {EInstallStep::CreateDesktopEntry, {}, JoinPath(request.Folders.Desktop, names::kDesktopEntry),
            DesktopWantsTrustMark(request.CurrentDesktop)},
        {EInstallStep::CreateProgramsEntry, {}, JoinPath(request.Folders.Programs, names::kDesktopEntry)},
        {EInstallStep::CreateStartupEntry, {}, JoinPath(request.Folders.Startup, names::kDesktopEntry)},
        {EInstallStep::RemoveFirstTime, {}, {}},
        {EInstallStep::WriteUninstallEntry, {}, JoinPath(request.Folders.Programs, names::kUninstallEntry)},
        {EInstallStep::RefreshDesktopDatabase, {}, request.Folders.Programs},
    };
}

bool DesktopWantsTrustMark(const std::string& currentDesktop)
{
    // A colon-separated list of names, compared whole and without regard to case.
    size_t start = 0;
    while (start <= currentDesktop.size()) {
        size_t end = currentDesktop.find(':', start);
        if (end == std::string::npos) {
            end = currentDesktop.size();
        }
        std::string name = currentDesktop.substr(start, end - start);
        for (char& c : name) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        for (const char* wanting : {"gnome", "unity", "ubuntu", "budgie", "pantheon", "gnome-classic"}) {
            if (name == wanting) {
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

std::string CopyFailedText(const std::string& target)
{
    return "File " + target + " not copied! Make sure to close this application and try again.";
}

} // namespace vandu::install
