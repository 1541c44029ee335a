#pragma once

// What the small dialogs' tests share: the services bundle over a job rig (settings in memory, a
// real message store in a temporary folder, account info), recorded boxes, URLs and file answers,
// a reachability the test sets, and the real user-info job for the account operations.

#include "agent/service/ServiceJob.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/shell/ConnectionState.h"
#include "common/FileDialogs.h"
#include "common/UserPrompts.h"
#include "tests/agent/service/JobTestSupport.h"

#include <QAccessible>
#include <QWidget>

#include <string>

namespace vandu::test {

class CNullAgentWindow : public IAgentWindow {
public:
    void SelectSkin(int) override { }
    void SetLcdColour(int) override { }
    void SetTopMost(bool) override { }
    void ClearFirstShowPending() override { }
    void RestartCycle() override { }
    void StartMailCount() override { }
    void Repaint() override { }
    void RunSignupWizard() override { }
};

class CSetReachability : public IInternetReachability {
public:
    bool IsInternetReachable() override
    {
        ++Asked;
        return Reachable;
    }
    bool Reachable = true;
    int Asked = 0;
};

struct CDialogRig {
    explicit CDialogRig(const std::string& vanduId = "5551234567", const std::string& password = "1234")
        : Job(vanduId, password)
    {
        Accounts.SetInputs(Job.Store.get(), &Job.Settings, &Job.Connection, &Job.Account);
        Accounts.SetKind(REQUEST_USERINFO);
    }

    // The bundle with the given runner and account operations (default: the rig's own).
    SAgentServices Services(IConnectingRunner* runner = nullptr, IAccountOperations* accounts = nullptr)
    {
        return {Job.Settings, *Job.Store, Job.Account, accounts ? *accounts : Accounts, Reachability,
            runner ? *runner : Runner, Prompts, Files, Urls, Job.Player, Window};
    }

    CJobRig Job;
    CServiceJob Accounts;
    CSetReachability Reachability;
    CImmediateRunner Runner;
    CRecordedPrompts Prompts;
    CRecordedFileDialogs Files;
    CRecordedUrlOpener Urls;
    CNullAgentWindow Window;
};

// The name a screen reader announces for a widget.
inline QString AccessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace vandu::test
