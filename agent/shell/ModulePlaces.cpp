#include "agent/shell/ModulePlaces.h"

#include <QCoreApplication>
#include <QDir>

QStringList ModuleCandidates(const QString& name)
{
    const QString file = QStringLiteral("lib%1.so").arg(name);
    QStringList candidates;
    if (QCoreApplication::instance() != nullptr) {
        const QString programDir = QCoreApplication::applicationDirPath();
        candidates << QDir(programDir).filePath(file)
                   << QDir::cleanPath(programDir + QStringLiteral("/../" VANDU_MODULE_INSTALL_LIBDIR "/vandu/") + file);
    }
    candidates << QDir(QStringLiteral(VANDU_MODULE_BUILD_DIR)).filePath(file);
    candidates.removeDuplicates();
    return candidates;
}
