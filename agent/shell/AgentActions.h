#pragma once

// The commands that act on the messages, the web pages and the dialogs, whoever gives them (a
// skin button, a key, the menu, a double-click). The window keeps only what acts on itself
// (show, hide, the menu, exit) and asks for a repaint when told.

#include "agent/shell/AgentCommands.h"

#include <QObject>

class CAgentDialogs;
class CMessageStore;
class CSettingsStore;
class CSponsorInfo;
class IUrlOpener;
class IUserPrompts;

class CAgentActions : public QObject {
    Q_OBJECT
public:
    CAgentActions(CMessageStore& store, CSettingsStore& settings, IUserPrompts& prompts, IUrlOpener& urls,
        CAgentDialogs& dialogs, const CSponsorInfo& sponsor, QObject* parent = nullptr);

    // Runs a command of the message, page and dialog kinds; false for any other.
    bool Run(int commandId);
    // What the menu's enabling rules look at now.
    vandu::commands::SMenuState MenuState(bool windowVisible);
    // A double-click on the face: a page for the banner and the logo corner, details on the LCD.
    void DoubleClick(vandu::commands::FaceZone zone);

    void DeleteCurrentMessage();
    void DeleteAllMessages();
    void OpenSettings(bool identificationOnly);
    void ShowMessageDetail();
    void SendMessage(bool reply);

signals:
    void RepaintNeeded();

private:
    void OpenPage(vandu::commands::Page page);

    CMessageStore& m_store;
    CSettingsStore& m_settings;
    IUserPrompts& m_prompts;
    IUrlOpener& m_urls;
    CAgentDialogs& m_dialogs;
    const CSponsorInfo& m_sponsor;
};
