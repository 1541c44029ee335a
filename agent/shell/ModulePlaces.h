#pragma once

// Where the agent looks for one of its modules (lib<name>.so), in order: beside the program, then
// in <prefix>/<libdir>/vandu/ for a program installed in <prefix>/bin, then in the build tree the
// program comes from (tests and copies of the program run from other folders); and the loading of
// the first usable one.

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <functional>

QStringList ModuleCandidates(const QString& name);

// Loads into library the first existing candidate that loads and that accept takes; one it refuses
// is unloaded again, with refusal as the reason. Returns an empty text on success, else why none
// was usable: each file's reason, or the places tried when none existed.
QString LoadFirstModule(QLibrary& library, const QStringList& candidates, const std::function<bool(QLibrary&)>& accept,
    const QString& refusal);
