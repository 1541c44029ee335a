#include "installer/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace vandu::install {

namespace {

std::string Env(const char* name)
{
    return qgetenv(name).toStdString();
}

// What xdg-user-dir prints, or nothing when it is missing or hangs.
std::string DesktopFolderOutput()
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")});
    if (!process.waitForFinished(5000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        return {};
    }
    return process.readAllStandardOutput().toStdString();
}

} // namespace

SShellFolders CurrentShellFolders()
{
    return ShellFoldersFrom(DesktopFolderOutput(), Env("HOME"), Env("XDG_DATA_HOME"), Env("XDG_CONFIG_HOME"));
}

SInstallEnvironment CurrentEnvironment()
{
    SInstallEnvironment environment;
    environment.DefaultInstallDir = DefaultInstallDir(Env("XDG_DATA_HOME"), Env("HOME"));
    environment.SourceDir = QFile::encodeName(QDir::currentPath()).toStdString();
    environment.Folders = CurrentShellFolders();
    environment.CurrentDesktop = Env("XDG_CURRENT_DESKTOP");
    QFile icon(QStringLiteral(":/installer/vandu.png"));
    if (icon.open(QIODevice::ReadOnly)) {
        environment.IconBytes = icon.readAll().toStdString();
    }
    return environment;
}

} // namespace vandu::install
