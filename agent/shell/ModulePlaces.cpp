#include "agent/shell/ModulePlaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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

QString LoadFirstModule(QLibrary& library, const QStringList& candidates, const std::function<bool(QLibrary&)>& accept,
    const QString& refusal)
{
    QStringList refused;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        library.setFileName(path);
        if (!library.load()) {
            refused << library.errorString();
            continue;
        }
        if (accept(library)) {
            return {};
        }
        refused << path + QStringLiteral(": ") + refusal;
        library.unload();
    }
    return refused.isEmpty() ? candidates.join(QStringLiteral(", ")) : refused.join(QStringLiteral("; "));
}
