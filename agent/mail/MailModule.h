#pragma once

// CMailModule: finds and loads the mail module (MailModuleEntry.h) by its name, in the places of
// ModuleCandidates. A module built for another interface version is passed over. Once loaded it stays loaded: it brings
// Qt Network and TLS, whose global state does not survive being unloaded.

#include "agent/mail/MailModuleEntry.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

class CMailModule {
public:
    // The places are worked out here, on the constructing (user-interface) thread.
    explicit CMailModule(const char* name);
    CMailModule(const CMailModule&) = delete;
    CMailModule& operator=(const CMailModule&) = delete;

    // The count entry point, loading the module on the first call; null when no usable module was
    // found (tried again at the next call, so a module installed meanwhile is found).
    vandu::mail::CountFunction CountFunction();

    // The files tried, in order.
    static QStringList Candidates(const QString& name);

private:
    bool Load();

    QStringList m_candidates;
    QLibrary m_library;
    vandu::mail::CountFunction m_count = nullptr;
    bool m_warned = false;
};
