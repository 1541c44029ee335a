#pragma once

// The agent's one top-level window: the skinned, shaped 234 x 169 face at the stored position,
// with its nine buttons, the LCD and the vendor strip. It owns every long-lived object of the
// agent and saves the messages, its position and its visibility when it closes.

#include "agent/audio/SoundPlayer.h"
#include "agent/lcd/LcdRenderer.h"
#include "agent/lcd/TimeSource.h"
#include "agent/settings/SettingsStore.h"
#include "agent/shell/AgentRequests.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinButton.h"
#include "agent/store/AccountInfo.h"
#include "agent/store/MessageStore.h"
#include "common/QtSettingsBackend.h"
#include "common/UserPrompts.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <memory>

class CVanduMainWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 234;
    static constexpr int kHeight = 169;

    // prompts: the message boxes (real ones in the program, recorded ones in tests).
    explicit CVanduMainWnd(IUserPrompts& prompts, QWidget* parent = nullptr);
    ~CVanduMainWnd() override;

    CSettingsStore& Settings() { return m_settings; }
    CMessageStore& Store() { return *m_store; }
    CLcdRenderer& Renderer() { return *m_renderer; }
    CAgentRequests& Requests() { return *m_requests; }
    // The folder the agent works in (normally the program's own) and its msg/ below it.
    const QString& WorkDirectory() const { return m_workDirectory; }

    void ShowAndActivate();
    void HideWindow();
    void SelectSkin(int colourIndex);
    void SetLcdColour(int value);
    void LoadVendorPicture();
    // Messages arrived: bring the window up, play the chime, show the counts, maybe play.
    void NewMessageAlert();
    // Saves the messages, then writes XPos, YPos and Hidden.
    void SaveWindowState();
    // The end of the desktop session, SIGTERM or SIGINT: save, then quit.
    void SaveStateAndQuit();
    // A skin button's or the menu's command.
    void OnCommand(int commandId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void HandleFirstRun();
    void EnterWorkDirectory();
    void CreateButtons();
    void DeleteCurrentMessage();
    void CheckCodec();

    IUserPrompts& m_prompts;
    CQtSettingsBackend m_backend;
    CSettingsStore m_settings;
    CAccountInfo m_account;
    CSystemTimeSource m_clock;
    CSoundPlayer m_player;
    std::unique_ptr<CLcdRenderer> m_renderer;
    std::unique_ptr<CMessageStore> m_store;
    std::unique_ptr<CAgentRequests> m_requests;
    class CWakeupSocket* m_wakeup = nullptr;
    CSkinBitmap m_face;
    CSkinBitmap m_overlay;
    CSkinBitmap m_vendorLogo;
    std::array<CSkinButton*, 9> m_buttons {};
    QString m_workDirectory;
    bool m_stateSaved = false;
    bool m_dragging = false;
    QPoint m_dragAnchor;
};
