#include "agent/settings/QtProgramLauncher.h"

#include "agent/settings/DesktopEntry.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QUrl>

std::string CQtProgramLauncher::RegisteredHttpCommand()
{
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/http")});
    if (!query.waitForFinished(kQueryWaitMs)) {
        query.kill();
        query.waitForFinished(kQueryWaitMs);
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        return {};
    }
    // The first line names one desktop entry, such as "firefox-esr.desktop".
    const QByteArray id = query.readAllStandardOutput().split('\n').value(0).trimmed();
    if (id.isEmpty()) {
        return {};
    }
    return CDesktopEntry::FindExecCommand(id.toStdString());
}

bool CQtProgramLauncher::OpenWithDesktop(const std::string& url)
{
    return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::TolerantMode));
}

bool CQtProgramLauncher::StartDetached(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList list;
    for (const std::string& argument : arguments) {
        list.append(QString::fromLocal8Bit(argument));
    }
    return QProcess::startDetached(QFile::decodeName(QByteArray::fromStdString(program)), list);
}
