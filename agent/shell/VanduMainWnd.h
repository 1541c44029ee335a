#pragma once

// The agent's one top-level window: a borderless 234 x 169 face at the stored position. It owns
// every long-lived object of the agent and saves its position and visibility when it closes.

#include "agent/settings/SettingsStore.h"
#include "common/QtSettingsBackend.h"

#include <QPoint>
#include <QWidget>

class CVanduMainWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 234;
    static constexpr int kHeight = 169;

    explicit CVanduMainWnd(QWidget* parent = nullptr);
    ~CVanduMainWnd() override;

    CSettingsStore& Settings() { return m_settings; }
    // The folder the agent works in (normally the program's own) and its msg/ below it.
    const QString& WorkDirectory() const { return m_workDirectory; }

    void ShowAndActivate();
    void HideWindow();
    // Writes XPos, YPos and Hidden.
    void SaveWindowState();
    // The end of the desktop session, SIGTERM or SIGINT: save, then quit.
    void SaveStateAndQuit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void HandleFirstRun();
    void EnterWorkDirectory();

    CQtSettingsBackend m_backend;
    CSettingsStore m_settings;
    QString m_workDirectory;
    bool m_stateSaved = false;
    bool m_dragging = false;
    QPoint m_dragAnchor;
};
