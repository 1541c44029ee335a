#include "common/QtSettingsBackend.h"

#include "common/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>

namespace {

// QSettings shares an in-process cache per file; a fresh object with sync() reads what another
// process wrote since.
class ScopedSettings {
public:
    ScopedSettings()
        : m_settings(
            QSettings::NativeFormat, QSettings::UserScope, vandu::names::kOrganisation, vandu::names::kApplication)
    {
        m_settings.setFallbacksEnabled(false);
        m_settings.sync();
        m_settings.beginGroup(vandu::names::kSection);
    }
    QSettings* operator->() { return &m_settings; }

    // Writes the file now and keeps it private to the user, whoever created it.
    void Commit()
    {
        m_settings.endGroup();
        // A file the sync creates is private from its first byte (it holds the scrambled passwords).
        const mode_t previous = ::umask(077);
        m_settings.sync();
        ::umask(previous);
        const QString path = m_settings.fileName();
        if (QFileInfo::exists(path)) {
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        }
    }

private:
    QSettings m_settings;
};

QString Key(const std::string& name)
{
    return QString::fromStdString(name);
}

} // namespace

std::optional<int32_t> CQtSettingsBackend::ReadInt(const std::string& name)
{
    ScopedSettings settings;
    const QVariant value = settings->value(Key(name));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // The file holds text; an integer setting is valid only as a whole 32-bit decimal number.
    bool ok = false;
    const int result = value.toString().trimmed().toInt(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::string> CQtSettingsBackend::ReadString(const std::string& name)
{
    ScopedSettings settings;
    const QVariant value = settings->value(Key(name));
    if (!value.isValid()) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

void CQtSettingsBackend::WriteInt(const std::string& name, int32_t value)
{
    ScopedSettings settings;
    settings->setValue(Key(name), static_cast<int>(value));
    settings.Commit();
}

void CQtSettingsBackend::WriteString(const std::string& name, const std::string& value)
{
    ScopedSettings settings;
    settings->setValue(Key(name), QString::fromStdString(value));
    settings.Commit();
}

void CQtSettingsBackend::Remove(const std::string& name)
{
    ScopedSettings settings;
    settings->remove(Key(name));
    settings.Commit();
}

QString CQtSettingsBackend::FilePath()
{
    QSettings settings(
        QSettings::NativeFormat, QSettings::UserScope, vandu::names::kOrganisation, vandu::names::kApplication);
    return settings.fileName();
}

bool CQtSettingsBackend::RemoveAll()
{
    const QString path = FilePath();
    {
        ScopedSettings settings;
        settings->remove(QString());
        settings.Commit();
    }
    bool removed = !QFileInfo::exists(path) || QFile::remove(path);
    QDir().rmdir(QFileInfo(path).absolutePath());
    return removed;
}
