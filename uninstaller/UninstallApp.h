#pragma once

// CUninstallApp: the uninstaller's start-up. It refuses to run while an agent runs (the stop box);
// otherwise it runs CUninstallDialog modally and ends with it.

#include "installer/InstallContext.h"

class CUninstallApp {
public:
    static constexpr const char* kAgentRunning
        = "Vandu is running.\n\nPlease, close Vandu in order to uninstall it.\n(To close Vandu, right-click in the "
          "Vandu window and select Exit)";

    explicit CUninstallApp(SInstallContext& context);

    // 0 once the dialog has closed, 1 when an agent runs.
    int Run();

private:
    SInstallContext& m_context;
};
