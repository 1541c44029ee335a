#include "agent/mail/MailModule.h"

#include "agent/shell/ModulePlaces.h"

CMailModule::CMailModule(const char* name)
    : m_candidates(Candidates(QString::fromLatin1(name)))
{
}

QStringList CMailModule::Candidates(const QString& name)
{
    return ModuleCandidates(name);
}

vandu::mail::CountFunction CMailModule::CountFunction()
{
    if (m_count == nullptr)
        Load();
    return m_count;
}

bool CMailModule::Load()
{
    const QString failure = LoadFirstModule(
        m_library, m_candidates,
        [this](QLibrary& library) {
            const auto version
                = reinterpret_cast<vandu::mail::InterfaceFunction>(library.resolve(vandu::mail::kInterfaceEntry));
            const auto count = reinterpret_cast<vandu::mail::CountFunction>(library.resolve(vandu::mail::kCountEntry));
            if (version == nullptr || version() != vandu::mail::kModuleInterface || count == nullptr) {
                return false;
            }
            m_count = count;
            return true;
        },
        QStringLiteral("not a mail module of this version"));
    if (failure.isEmpty()) {
        return true;
    }
    if (!m_warned) {
        m_warned = true;
        qWarning("Vandu: no usable mail module (%s); mail counts fail until one is installed", qPrintable(failure));
    }
    return false;
}
