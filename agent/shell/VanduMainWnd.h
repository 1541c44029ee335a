#pragma once

// The agent's one top-level window: the skinned, shaped 234 x 169 face at the stored position,
// with its nine buttons, the LCD and the vendor strip, plus the notification-area icon and the
// popup menu. It owns every long-lived object of the agent and saves the messages, its position
// and its visibility when it closes. Decisions live in the core (the command table, the tray
// state, the window placement); this class shows them and runs the commands.

#include "agent/lcd/LcdFaceChoice.h"
#include "agent/lcd/LcdRenderer.h"
#include "agent/lcd/SponsorInfo.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentCommands.h"
#include "agent/shell/AgentDialogs.h"
#include "agent/shell/AgentRequests.h"
#include "agent/shell/AgentServices.h"
#include "agent/shell/AgentWindow.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinButton.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"

#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class CAgentTray;
class CConnectingDialog;
class CPopupMenu;
class CWakeupSocket;
class IDialogRunner;
class IFileDialogs;
class ISettingsBackend;
class ISoundPlayer;
class IUrlOpener;
class IUserPrompts;
class ITimeSource;

// What the window needs from outside: the real ones in the program, recording ones in tests.
struct SMainWndSeams {
    ISettingsBackend& Backend;
    const ITimeSource& Clock;
    ISoundPlayer& Player;
    IUserPrompts& Prompts;
    IUrlOpener& Urls;
    IFileDialogs& Files;
    IDialogRunner& Dialogs;
    // The folder that holds msg/ and becomes the current directory at start.
    QString WorkDirectory;
    // The program's folder, recorded as InstallDir on the first run.
    QString ModuleDirectory;
    quint16 WakeupPort = 2026;
    // The browser the Internet page shows: the stored one, else the desktop's.
    std::function<std::string()> WebBrowser;
    // Where the LCD's face is remembered between starts (CLcdFaceChoice); empty remembers nothing.
    std::string LcdFaceMemory;
};

class CVanduMainWnd : public QWidget, public IAgentWindow {
    Q_OBJECT
public:
    static constexpr int kWidth = vandu::face::kWindowWidth;
    static constexpr int kHeight = vandu::face::kWindowHeight;

    // Builds the window and its objects; touches no file and no network until Start.
    explicit CVanduMainWnd(const SMainWndSeams& seams, QWidget* parent = nullptr);
    ~CVanduMainWnd() override;

    // The first run, the work folder, the messages, the first scheduler tick, the timers, the
    // wake-up listener and the codec check, in the program's start-up order.
    void Start();

    CSettingsStore& Settings() { return m_settings; }
    CMessageStore& Store() { return *m_store; }
    CLcdRenderer& Renderer() { return *m_renderer; }
    CAgentRequests& Requests() { return *m_requests; }
    CAccountInfo& Account() { return m_account; }
    CAgentTray& Tray() { return *m_tray; }
    CPopupMenu& Menu() { return *m_menu; }
    const QString& WorkDirectory() const { return m_seams.WorkDirectory; }
    // Everything the sheet, the wizard and the dialogs need from the agent.
    SAgentServices Services();

    // Runs the settings sheet modally (only its Identification page when asked); repaints on OK.
    void OpenSettings(bool identificationOnly);
    // The sponsor dialog for the current sponsor picture.
    void ShowSponsorInfo();
    void ShowAndActivate();
    void HideWindow();
    // The tray's activation: hide a visible window, show a hidden one.
    void ToggleVisibility();
    void LoadVendorPicture();
    // Messages arrived: bring the window up, chime, counts, tray icon, maybe play.
    void NewMessageAlert();
    // Tooltip and normal icon of the tray, then the LCD.
    void UpdateTrayIcon();
    // One tick of the blink timer.
    void BlinkTick();
    // Saves the messages, removes the tray icon, then writes XPos, YPos and Hidden.
    void SaveWindowState();
    // The end of the desktop session, SIGTERM or SIGINT: save, then quit.
    void SaveStateAndQuit();
    // A skin button's, a key's or the menu's command.
    void OnCommand(int commandId);
    // The popup menu at a point of the screen.
    void ShowPopupMenu(QPoint globalPosition);
    vandu::commands::SMenuState MenuState();
    // The tooltip of a point of the window's face (the banner and the logo corner); empty elsewhere.
    QString TooltipAt(QPoint position);
    // The text the LCD shows now, as a screen reader reads it.
    QString LcdText() const;
    bool IsFirstShowPending() const;
    // The first scheduler tick, the window icon and the codec check, which follow the first frame,
    // are done.
    bool IsStartFinished() const { return m_startFinished; }

    // IAgentWindow
    void SelectSkin(int colourIndex) override;
    void SetLcdColour(int value) override;
    void SetTopMost(bool topMost) override;
    void ClearFirstShowPending() override;
    void RestartCycle() override;
    void StartMailCount() override;
    void Repaint() override;
    void RunSignupWizard() override;

signals:
    // Start-up is complete: the messages are loaded and the first requests are under way.
    void Started();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void HandleFirstRun();
    void Quit();
    void RunFirstShow();
    void EnterWorkDirectory();
    void PlaceWindow();
    void CreateButtons();
    void ConnectRequests();
    void CheckCodec();
    void FinishStart();
    void ConfirmLcdFace();
    void OnLcdRepainted(const QRect& area);
    void OnSponsorArrived();
    bool IsSecondPressOfDoubleClick(const QMouseEvent& event);

    SMainWndSeams m_seams;
    CSettingsStore m_settings;
    CAccountInfo m_account;
    CLcdFaceChoice m_lcdFace;
    std::unique_ptr<CLcdRenderer> m_renderer;
    std::unique_ptr<CMessageStore> m_store;
    std::unique_ptr<CAgentRequests> m_requests;
    CSponsorInfo m_sponsor;
    std::unique_ptr<CAgentDialogs> m_dialogs;
    class CAgentActions* m_actions = nullptr;
    std::unique_ptr<class CFaceAccessibility> m_accessibility;
    CAgentTray* m_tray = nullptr;
    CPopupMenu* m_menu = nullptr;
    CWakeupSocket* m_wakeup = nullptr;
    CConnectingDialog* m_connecting = nullptr;
    QTimer m_blinkTimer;
    CSkinBitmap m_face;
    CSkinBitmap m_overlay;
    CSkinBitmap m_vendorLogo;
    std::array<CSkinButton*, vandu::face::kFaceButtonCount> m_buttons {};
    bool m_started = false;
    bool m_firstShowQueued = false;
    bool m_stateSaved = false;
    bool m_quitting = false;
    bool m_codecChecked = false;
    bool m_startFinished = false;
    bool m_dragging = false;
    QPoint m_dragAnchor;
    ulong m_lastPressTime = 0;
    QPoint m_lastPressPoint;
};
