#pragma once

// The real program launcher: xdg-mime names the desktop's default handler of http links, the
// desktop's opener is QDesktopServices, and programs start detached through QProcess (no shell).

#include "agent/settings/ProgramLauncher.h"

class CQtProgramLauncher : public IProgramLauncher {
public:
    // How long xdg-mime may take to answer.
    static constexpr int kQueryWaitMs = 5000;

    std::string RegisteredHttpCommand() override;
    bool OpenWithDesktop(const std::string& url) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) override;
};
