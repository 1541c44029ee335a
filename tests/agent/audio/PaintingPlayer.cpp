// Child program of the hostile-recordings test: a window that asks to be repainted every 10 ms
// while the real player plays each file named on the command line in turn for `holdMs`
// milliseconds. It prints per file whether the bell rang and whether it played, then how often the
// window painted and the most CPU time the user-interface thread spent between two paints (CPU time
// rather than wall time, so a busy machine does not count against the player), and its peak
// resident memory as the kernel counts it (VmHWM: since exec, so nothing of the parent's).
//
// Usage: vandu_painting_player <holdMs> <file>...

#include "agent/audio/SoundPlayer.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

long PeakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmHWM:" && status >> value) {
            return value;
        }
    }
    return -1;
}

class PaintCounter : public QWidget {
public:
    int paints = 0;
    double maxCpuBetweenPaintsMs = 0;
    double lastPaintCpuMs = -1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), paints % 2 == 0 ? Qt::darkGreen : Qt::green);
        const double now = ThreadCpuMs();
        if (lastPaintCpuMs >= 0) {
            maxCpuBetweenPaintsMs = std::max(maxCpuBetweenPaintsMs, now - lastPaintCpuMs);
        }
        lastPaintCpuMs = now;
        ++paints;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <holdMs> <file>...\n", argv[0]);
        return 2;
    }
    const int holdMs = std::stoi(argv[1]);
    const std::vector<std::string> files(argv + 2, argv + argc);

    PaintCounter window;
    window.resize(234, 169);
    window.show();
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &window, [&window] { window.update(); });
    repaint.start(10);

    int bells = 0;
    CSoundPlayer player(nullptr, [&bells] { ++bells; });
    size_t next = 0;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, &app, [&] {
        if (next == files.size()) {
            player.Stop();
            std::printf("paints %d max-ui-cpu-ms %.2f peak-rss-kb %ld\n", window.paints, window.maxCpuBetweenPaintsMs,
                PeakRssKb());
            app.quit();
            return;
        }
        const int before = bells;
        player.PlayFile(files[next]);
        std::printf("file %zu bell %d playing %d\n", next, bells - before, player.IsPlaying() ? 1 : 0);
        std::fflush(stdout);
        ++next;
    });
    step.start(holdMs);
    return app.exec();
}
