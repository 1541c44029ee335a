#pragma once

// The modeless "Connecting" box shown while the user waits for an account operation. As the
// runner of those operations it keeps the desktop alive: the exchange runs on a worker thread while
// a local event loop goes on painting every window (user input is held back, so the operation
// still behaves as one blocking call), and Run returns once the worker is done.

#include "agent/shell/ConnectingRunner.h"

#include <QDialog>

class CConnectingDialog : public QDialog, public IConnectingRunner {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Connecting to Vandu... Please wait.";

    explicit CConnectingDialog(QWidget* parent = nullptr);

    void Run(const std::function<void()>& work) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The box goes away only when the operation ends.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_running = 0;
};
