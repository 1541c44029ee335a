#include "uninstaller/UninstallApp.h"

#include "common/AgentChannel.h"
#include "uninstaller/UninstallDialog.h"

CUninstallApp::CUninstallApp(SInstallContext& context)
    : m_context(context)
{
}

int CUninstallApp::Run()
{
    if (vandu::channel::IsAgentRunning()) {
        m_context.Prompts.Stop(kAgentRunning);
        return 1;
    }
    CUninstallDialog dialog(m_context);
    dialog.exec();
    return 0;
}
