#pragma once

// What the settings-sheet tests share: the agent's services with a real settings store (in memory,
// every write recorded in order), a real message store over a temporary folder, and recording
// stand-ins for the main window, the user's answers, the file dialogs, the browser and the sound.

#include "agent/service/AccountOperations.h"
#include "agent/settings/SettingsBackend.h"
#include "agent/settings/SettingsStore.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/shell/ConnectingRunner.h"
#include "agent/shell/ConnectionState.h"
#include "common/FileDialogs.h"
#include "common/UserPrompts.h"
#include "tests/agent/service/JobTestSupport.h"

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

namespace vandu::test {

class CRecordingBackend : public CMemorySettingsBackend {
public:
    void WriteInt(const std::string& name, int32_t value) override
    {
        Writes.push_back(name);
        CMemorySettingsBackend::WriteInt(name, value);
    }
    void WriteString(const std::string& name, const std::string& value) override
    {
        Writes.push_back(name);
        CMemorySettingsBackend::WriteString(name, value);
    }
    std::vector<std::string> Writes;
};

class CRecordingWindow : public IAgentWindow {
public:
    void SelectSkin(int index) override { Calls.push_back("SelectSkin " + std::to_string(index)); }
    void SetLcdColour(int value) override { Calls.push_back("SetLcdColour " + std::to_string(value)); }
    void SetTopMost(bool topMost) override { Calls.push_back(topMost ? "SetTopMost 1" : "SetTopMost 0"); }
    void ClearFirstShowPending() override { Calls.push_back("ClearFirstShowPending"); }
    void RestartCycle() override { Calls.push_back("RestartCycle"); }
    void StartMailCount() override { Calls.push_back("StartMailCount"); }
    void Repaint() override { Calls.push_back("Repaint"); }
    void RunSignupWizard() override
    {
        Calls.push_back("RunSignupWizard");
        if (Wizard) {
            Wizard();
        }
    }
    std::vector<std::string> Calls;
    std::function<void()> Wizard;
};

class CRecordingPlayer : public ISoundPlayer {
public:
    void PlayFile(const std::string& path) override { Played.push_back("file " + path); }
    void PlayBuiltIn(int id) override { Played.push_back("built-in " + std::to_string(id)); }
    void Stop() override { }
    std::vector<std::string> Played;
};

class CFixedReachability : public IInternetReachability {
public:
    bool IsInternetReachable() override { return Reachable; }
    bool Reachable = true;
};

// The service's answer to a password check, without a service.
class CScriptedAccounts : public IAccountOperations {
public:
    explicit CScriptedAccounts(CAccountInfo& account)
        : m_account(account)
    {
    }
    void CheckPassword() override
    {
        m_account.SetLoginOk(LoginOk);
        ++Checks;
    }
    void CheckIdAvailable(const std::string&) override { }
    void Signup(
        const std::string&, const std::string&, const std::string&, const std::string&, const std::string&) override
    {
    }
    void SendTextMessage(const std::string&, const std::string&) override { }
    std::string ResultText() const override { return {}; }
    int Checks = 0;
    int32_t LoginOk = 1;

private:
    CAccountInfo& m_account;
};

struct CSheetRig {
    // accounts: the account operations to use; none: the scripted ones.
    explicit CSheetRig(IAccountOperations* accounts = nullptr)
        : Settings(Backend, [] { return std::make_pair(1024, 768); })
        , Store(Renderer, Player, Settings, Account, Time, MakeFolder(Dir.File("msg")))
        , Scripted(Account)
        , Services {Settings, Store, Account, accounts ? *accounts : Scripted, Reachability, Runner, Prompts, Files,
              Urls, Player, Window}
    {
    }
    // Forgets the writes, calls and boxes of the setting up.
    void Forget()
    {
        Backend.Writes.clear();
        Window.Calls.clear();
        Prompts.Clear();
    }
    static std::string MakeFolder(const std::string& path)
    {
        ::mkdir(path.c_str(), 0755);
        return path;
    }

    TempDir Dir;
    CRecordingBackend Backend;
    CSettingsStore Settings;
    CAccountInfo Account;
    CNullRenderer Renderer;
    CRecordingPlayer Player;
    CFixedTime Time;
    CMessageStore Store;
    CScriptedAccounts Scripted;
    CFixedReachability Reachability;
    CImmediateRunner Runner;
    CRecordedPrompts Prompts;
    CRecordedFileDialogs Files;
    CRecordedUrlOpener Urls;
    CRecordingWindow Window;
    SAgentServices Services;
};

} // namespace vandu::test
