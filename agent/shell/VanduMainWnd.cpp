#include "agent/shell/VanduMainWnd.h"

#include "agent/shell/VanduApp.h"
#include "common/Names.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>

#include <unistd.h>

namespace {

std::pair<int, int> PrimaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return {0, 0};
    }
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

} // namespace

CVanduMainWnd::CVanduMainWnd(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_settings(m_backend, PrimaryScreenSize)
{
    setWindowTitle(QStringLiteral("Vandu"));
    setFixedSize(kWidth, kHeight);
    // The X11 window class is how desktop tools see the agent; Qt takes it from the application
    // name at the moment the first native window is created.
    QCoreApplication::setApplicationName(QLatin1String(vandu::names::kWindowClass));
    winId();
    QCoreApplication::setApplicationName(QLatin1String(vandu::names::kApplication));

    HandleFirstRun();
    EnterWorkDirectory();
    move(m_settings.GetXPos(), m_settings.GetYPos());
}

CVanduMainWnd::~CVanduMainWnd() = default;

void CVanduMainWnd::HandleFirstRun()
{
    if (m_settings.IsFirstTime()) {
        m_settings.SetFirstTime(0);
        m_settings.SetInstallDir(QFile::encodeName(CVanduApp::GetModuleDirectory()).toStdString());
    }
}

void CVanduMainWnd::EnterWorkDirectory()
{
    QString directory = CVanduApp::GetModuleDirectory();
    // A system-wide install cannot hold the user's messages: use the user's data folder instead.
    if (::access(QFile::encodeName(directory).constData(), W_OK) != 0) {
        directory = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Vandu");
        QDir().mkpath(directory);
    }
    QDir::setCurrent(directory);
    QDir(directory).mkdir(QLatin1String(vandu::names::kMessageFolder));
    m_workDirectory = directory;
}

void CVanduMainWnd::ShowAndActivate()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CVanduMainWnd::HideWindow()
{
    hide();
}

void CVanduMainWnd::SaveWindowState()
{
    const QPoint topLeft = pos();
    m_settings.SetXPos(topLeft.x());
    m_settings.SetYPos(topLeft.y());
    m_settings.SetHidden(isVisible() ? 0 : 1);
    m_stateSaved = true;
}

void CVanduMainWnd::SaveStateAndQuit()
{
    if (!m_stateSaved) {
        SaveWindowState();
    }
    QCoreApplication::quit();
}

void CVanduMainWnd::closeEvent(QCloseEvent* event)
{
    if (!m_stateSaved) {
        SaveWindowState();
    }
    event->accept();
    QCoreApplication::quit();
}

// A plain face until the skin is drawn.
void CVanduMainWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(150, 20, 30));
    painter.fillRect(QRect(29, 60, 165, 58), QColor(150, 190, 110));
    painter.setPen(Qt::black);
    painter.drawText(QRect(29, 60, 165, 58), Qt::AlignCenter, QStringLiteral("Vandu"));
}

void CVanduMainWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m_dragging) {
        m_dragging = true;
        m_dragAnchor = event->position().toPoint();
    }
}

// The anchor stays: client coordinates move with the window.
void CVanduMainWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragging && point != m_dragAnchor) {
        move(pos() + (point - m_dragAnchor));
    }
}

void CVanduMainWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
    }
}
