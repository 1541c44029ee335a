#pragma once

// CInstallApp: the installer's start-up. It refuses to run while an agent runs (the stop box);
// otherwise it runs the wizard modally and ends with it.

#include "installer/InstallContext.h"

class CInstallApp {
public:
    static constexpr const char* kAgentRunning
        = "Another version of Vandu is already running.\n\nPlease, close Vandu in order to install the new "
          "version.\n(To close Vandu, right-click in the Vandu window and select Exit)";

    explicit CInstallApp(SInstallContext& context);

    // 0 once the wizard has ended, 1 when an agent runs.
    int Run();

private:
    SInstallContext& m_context;
};
