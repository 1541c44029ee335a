#include "agent/audio/AudioModule.h"

#include "agent/audio/AudioModuleEntry.h"
#include "agent/shell/ModulePlaces.h"

#include <QFileInfo>

CAudioModule::CAudioModule(const char* name)
    : m_name(QString::fromLatin1(name))
{
}

QStringList CAudioModule::Candidates(const QString& name)
{
    return ModuleCandidates(name);
}

bool CAudioModule::Load()
{
    if (m_tried) {
        return m_loaded;
    }
    m_tried = true;
    QStringList refused;
    for (const QString& path : Candidates(m_name)) {
        if (!QFileInfo::exists(path)) {
            continue;
        }
        m_library.setFileName(path);
        if (!m_library.load()) {
            refused << m_library.errorString();
            continue;
        }
        const auto version
            = reinterpret_cast<vandu::audio::InterfaceFunction>(m_library.resolve(vandu::audio::kInterfaceEntry));
        if (version != nullptr && version() == vandu::audio::kModuleInterface) {
            m_loaded = true;
            return true;
        }
        refused << path + QStringLiteral(": built for another version");
        m_library.unload();
    }
    qWarning("Vandu: no usable audio module %s (%s)", qPrintable(m_name),
        qPrintable(
            refused.isEmpty() ? Candidates(m_name).join(QStringLiteral(", ")) : refused.join(QStringLiteral("; "))));
    return false;
}

QFunctionPointer CAudioModule::Resolve(const char* entry)
{
    return m_loaded ? m_library.resolve(entry) : nullptr;
}

void CAudioModule::Unload()
{
    if (m_loaded) {
        m_library.unload();
        m_loaded = false;
        m_tried = false;
    }
}
