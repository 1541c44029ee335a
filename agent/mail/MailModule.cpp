#include "agent/mail/MailModule.h"

#include "agent/shell/ModulePlaces.h"

#include <QFileInfo>

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
    QStringList refused;
    for (const QString& path : m_candidates) {
        if (!QFileInfo::exists(path))
            continue;
        m_library.setFileName(path);
        if (!m_library.load()) {
            refused << m_library.errorString();
            continue;
        }
        const auto version
            = reinterpret_cast<vandu::mail::InterfaceFunction>(m_library.resolve(vandu::mail::kInterfaceEntry));
        const auto count = reinterpret_cast<vandu::mail::CountFunction>(m_library.resolve(vandu::mail::kCountEntry));
        if (version != nullptr && version() == vandu::mail::kModuleInterface && count != nullptr) {
            m_count = count;
            return true;
        }
        refused << path + QStringLiteral(": not a mail module of this version");
        m_library.unload();
    }
    if (!m_warned) {
        m_warned = true;
        qWarning("Vandu: no usable mail module (%s); mail counts fail until one is installed",
            qPrintable(
                refused.isEmpty() ? m_candidates.join(QStringLiteral(", ")) : refused.join(QStringLiteral("; "))));
    }
    return false;
}
