#pragma once

// Finds and loads one of the agent's audio modules (AudioModuleEntry.h) by its name, in the places
// of ModuleCandidates. A module built for another interface version is passed over.

#include <QFunctionPointer>
#include <QLibrary>
#include <QString>
#include <QStringList>

class CAudioModule {
public:
    explicit CAudioModule(const char* name);

    // True when the module is loaded; the places are searched on the first call only.
    bool Load();
    // The entry point, or null when the module is not loaded or lacks it.
    QFunctionPointer Resolve(const char* entry);
    // Unloads the module; its libraries go too unless something else holds them.
    void Unload();

    // The files tried, in order.
    static QStringList Candidates(const QString& name);

private:
    QString m_name;
    QLibrary m_library;
    bool m_tried = false;
    bool m_loaded = false;
};
