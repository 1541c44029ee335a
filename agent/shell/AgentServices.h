#pragma once

// Everything the settings sheet, the signup wizard and the small dialogs need from the running
// agent, handed to them as one bundle of references. The main window fills it with its own
// members; tests fill it with recording seams. Qt-free.

class CAccountInfo;
class CMessageStore;
class CSettingsStore;
class IAccountOperations;
class IAgentWindow;
class IConnectingRunner;
class IFileDialogs;
class IInternetReachability;
class ISoundPlayer;
class IUrlOpener;
class IUserPrompts;

struct SAgentServices {
    CSettingsStore& Settings;
    CMessageStore& Store;
    CAccountInfo& Account;
    // The user-info job's synchronous operations.
    IAccountOperations& Accounts;
    // Asked before every account operation.
    IInternetReachability& Reachability;
    IConnectingRunner& Connecting;
    IUserPrompts& Prompts;
    IFileDialogs& Files;
    IUrlOpener& Urls;
    ISoundPlayer& Player;
    IAgentWindow& Window;
};
