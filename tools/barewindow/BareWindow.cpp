// The reference for start-up measurements: the least a Qt 6 program must do to show what the
// agent shows first (a frameless 234 x 169 window painting one picture, and a tray icon).
// tools/bench-startup.sh compares the agent's first frame and memory with this program's.

#include "agent/shell/FirstFrameProbe.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

class BareWindow : public QWidget {
public:
    BareWindow()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
        , m_image(QStringLiteral(":/barewindow/bitmaps/137.bmp"))
    {
        setFixedSize(234, 169);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
        CFirstFrameProbe::FramePainted();
    }

private:
    QImage m_image;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    QSystemTrayIcon tray(QIcon(QStringLiteral(":/barewindow/icons/128-16.png")));
    tray.show();
    window.show();
    return app.exec();
}
