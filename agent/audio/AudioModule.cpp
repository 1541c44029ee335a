#include "agent/audio/AudioModule.h"

#include "agent/audio/AudioModuleEntry.h"
#include "agent/shell/ModulePlaces.h"

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
    const QString failure = LoadFirstModule(
        m_library, Candidates(m_name),
        [](QLibrary& library) {
            const auto version
                = reinterpret_cast<vandu::audio::InterfaceFunction>(library.resolve(vandu::audio::kInterfaceEntry));
            return version != nullptr && version() == vandu::audio::kModuleInterface;
        },
        QStringLiteral("built for another version"));
    m_loaded = failure.isEmpty();
    if (!m_loaded) {
        qWarning("Vandu: no usable audio module %s (%s)", qPrintable(m_name), qPrintable(failure));
    }
    return m_loaded;
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
