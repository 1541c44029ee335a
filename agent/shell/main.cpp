#include "agent/shell/VanduApp.h"

#include <clocale>
#include <csignal>

int main(int argc, char** argv)
{
    // Wayland lets no window place itself or stay on top: run through XWayland when we can.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    std::signal(SIGPIPE, SIG_IGN);
    CVanduApp app(argc, argv);
    // QApplication set the C locale from the environment; protocol numbers need "C".
    std::setlocale(LC_NUMERIC, "C");
    if (!app.InitInstance()) {
        return app.ExitInstance(0);
    }
    return app.ExitInstance(app.exec());
}
