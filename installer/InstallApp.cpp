#include "installer/InstallApp.h"

#include "common/AgentChannel.h"
#include "installer/MyPropertySheet.h"

CInstallApp::CInstallApp(SInstallContext& context)
    : m_context(context)
{
}

int CInstallApp::Run()
{
    if (vandu::channel::IsAgentRunning()) {
        m_context.Prompts.Stop(kAgentRunning);
        return 1;
    }
    CMyPropertySheet sheet(m_context);
    sheet.exec();
    return 0;
}
