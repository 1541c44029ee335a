#include "agent/shell/ConnectingDialog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>

#include <thread>

CConnectingDialog::CConnectingDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    const QString caption = QString::fromLatin1(kCaption);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setModal(false);
    // Without a window manager the title bar is not drawn, so the box shows its caption itself.
    setFixedSize(fontMetrics().horizontalAdvance(caption) + 48, 3 * fontMetrics().height());
}

void CConnectingDialog::Run(const std::function<void()>& work)
{
    ++m_running;
    show();
    raise();
    QEventLoop loop;
    std::thread worker([&work, &loop] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (--m_running == 0) {
        hide();
    }
}

void CConnectingDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawText(rect(), Qt::AlignCenter, windowTitle());
}

void CConnectingDialog::closeEvent(QCloseEvent* event)
{
    if (m_running > 0) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CConnectingDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape would reject the dialog and hide it while the operation still runs.
    if (event->key() == Qt::Key_Escape && m_running > 0) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
