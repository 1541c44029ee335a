#pragma once

// The real launcher: QProcess, never through a shell.

#include "installer/ProgramLauncher.h"

class CQtProgramLauncher : public IProgramLauncher {
public:
    long long StartDetached(
        const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir) override;
    int Run(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs) override;
};
