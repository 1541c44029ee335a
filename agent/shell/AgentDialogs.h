#pragma once

// The main window's modal dialogs: the settings sheet, the signup wizard, the sponsor dialog, the
// About box, a message's details and the send-a-message dialog. Each is built for one run and
// run through the dialog runner, so tests look at it instead of entering its loop.

#include "agent/shell/AgentServices.h"

#include <functional>
#include <string>

class CSponsorInfo;
class CStoredMessage;
class IDialogRunner;
class QWidget;

class CAgentDialogs {
public:
    // services: asked at each run (the connecting box is made on first use); webBrowser: what
    // the Internet page shows.
    CAgentDialogs(QWidget& owner, IDialogRunner& runner, std::function<SAgentServices()> services,
        std::function<std::string()> webBrowser);

    // True when the sheet ended with OK.
    bool OpenSettings(bool identificationOnly);
    void RunSignupWizard();
    void ShowSponsorInfo(const CSponsorInfo& sponsor);
    void ShowAboutBox();
    void ShowMessageDetail();
    // Empty, or preset to answer the given message.
    void SendMessage(const CStoredMessage* replyTo);

private:
    QWidget& m_owner;
    IDialogRunner& m_runner;
    std::function<SAgentServices()> m_services;
    std::function<std::string()> m_webBrowser;
};
