#include "uninstaller/SettingsTree.h"

#include "common/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <sys/stat.h>

namespace vandu::uninstall {

void RemoveSettingsTree()
{
    QString path;
    bool empty = false;
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(names::kOrganisation),
            QString::fromLatin1(names::kApplication));
        settings.setFallbacksEnabled(false);
        path = settings.fileName();
        if (!QFileInfo::exists(path)) {
            return;
        }
        settings.remove(QString::fromLatin1(names::kSection));
        // A rewritten file stays private: what is left may still be secret.
        const mode_t previous = ::umask(077);
        settings.sync();
        ::umask(previous);
        empty = settings.allKeys().isEmpty();
    }
    if (empty) {
        QFile::remove(path);
    }
    QDir().rmdir(QFileInfo(path).absolutePath());
}

} // namespace vandu::uninstall
