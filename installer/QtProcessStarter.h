#pragma once

// The real launcher: QProcess, never through a shell.

#include "installer/ProcessStarter.h"

class CQtProcessStarter : public IProcessStarter {
public:
    long long StartDetached(
        const std::string& program, const std::vector<std::string>& arguments, const std::string& workingDir) override;
    int Run(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs) override;
};
