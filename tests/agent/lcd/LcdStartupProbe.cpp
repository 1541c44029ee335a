// Builds the LCD renderer once, as the agent does at start, and exits: a repeatable measure of
// what choosing the two LCD fonts costs. Run it under callgrind and count only the constructor:
//   valgrind --tool=callgrind --toggle-collect='CLcdRenderer::CLcdRenderer*'
//            build/default/tests/agent/lcd/lcd_startup_probe
// The font cache is per process, so every run pays the full cost once.

#include "agent/lcd/LcdRenderer.h"
#include "agent/lcd/TimeSource.h"
#include "agent/skin/SkinButton.h"

#include <QApplication>
#include <QFontInfo>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    CSystemTimeSource clock;
    const CLcdRenderer renderer(nullptr, clock);
    for (const QFont* font : {&renderer.LargeFont(), &renderer.SmallFont()}) {
        const QFontInfo info(*font);
        std::printf("%s %dpx stretch %d\n", qPrintable(info.family()), info.pixelSize(), font->stretch());
    }
    return 0;
}
