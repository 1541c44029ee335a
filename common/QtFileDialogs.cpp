#include "common/QtFileDialogs.h"

#include <QFile>
#include <QFileDialog>

namespace {

QString Path(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

std::string CQtFileDialogs::GetOpenFileName(
    const std::string& caption, const std::string& directory, const std::string& filter)
{
    return Bytes(QFileDialog::getOpenFileName(
        m_parent, QString::fromStdString(caption), Path(directory), QString::fromStdString(filter)));
}

std::string CQtFileDialogs::GetExistingDirectory(const std::string& caption, const std::string& directory)
{
    return Bytes(QFileDialog::getExistingDirectory(m_parent, QString::fromStdString(caption), Path(directory)));
}
