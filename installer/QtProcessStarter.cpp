#include "installer/QtProcessStarter.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace {

QStringList Arguments(const std::vector<std::string>& arguments)
{
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QFile::decodeName(QByteArray::fromStdString(argument));
    }
    return list;
}

} // namespace

long long CQtProcessStarter::StartDetached(
    const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir)
{
    QProcess process;
    process.setProgram(QFile::decodeName(QByteArray::fromStdString(program)));
    process.setArguments(Arguments(arguments));
    process.setWorkingDirectory(QFile::decodeName(QByteArray::fromStdString(workingDir)));
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = -1;
    return process.startDetached(&pid) ? pid : -1;
}

int CQtProcessStarter::Run(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs)
{
    QProcess process;
    process.setProgram(QFile::decodeName(QByteArray::fromStdString(program)));
    process.setArguments(Arguments(arguments));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(timeoutMs)) {
        return -1;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
