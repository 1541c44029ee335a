#pragma once

// Where the agent looks for one of its modules (lib<name>.so), in order: beside the program, then
// in <prefix>/<libdir>/vandu/ for a program installed in <prefix>/bin, then in the build tree the
// program comes from (tests and copies of the program run from other folders).

#include <QString>
#include <QStringList>

QStringList ModuleCandidates(const QString& name);
