#include "tools/artgen/Faces.h"

#include "tools/artgen/ArtCommon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>

namespace artgen {
namespace {

constexpr int kW = 225;
constexpr int kH = 160;
constexpr double kPi = 3.14159265358979;

using PixelFn = std::function<QColor(int x, int y)>;

QImage Fill(const PixelFn& fn)
{
    QImage image(kW, kH, QImage::Format_RGB32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            image.setPixel(x, y, fn(x, y).rgb());
    return image;
}

// Glossy plastic: a vertical shade from light to deep with a soft sheen across the top.
QImage Glossy(const QColor& light, const QColor& deep)
{
    QImage image(kW, kH, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 0, kH);
    shade.setColorAt(0.0, light);
    shade.setColorAt(0.55, Mix(light, deep, 0.55));
    shade.setColorAt(1.0, deep);
    p.fillRect(image.rect(), shade);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sheen(QPointF(95, 10), 120);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 110));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(-20, -60, 250, 130));
    p.end();
    // A faint grain keeps the smooth shades from turning into bands in 256 colours.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int d = int(6 * Noise(x * 0.9, y * 0.9, 77)) - 3;
            const QRgb c = image.pixel(x, y);
            image.setPixel(x, y,
                qRgb(std::clamp(qRed(c) + d, 0, 255), std::clamp(qGreen(c) + d, 0, 255),
                    std::clamp(qBlue(c) + d, 0, 255)));
        }
    return image;
}

QImage Wood(const QColor& early, const QColor& late, double ringScale, int seed)
{
    return Fill([=](int x, int y) {
        const double warp = 14 * Fbm(x * 0.012, y * 0.05, seed, 4);
        const double knot = 9 * std::exp(-((x - 160) * (x - 160) + (y - 100) * (y - 100) / 0.3) / 300.0);
        const double v = (y + warp + knot + 3 * std::sin(x * 0.02)) * ringScale;
        double ring = 0.5 + 0.5 * std::sin(v);
        ring = std::pow(ring, 3.0);
        const double fibre = 0.15 * Fbm(x * 0.6, y * 0.05, seed + 7, 2);
        return Mix(early, late, ring * 0.8 + fibre);
    });
}

QImage Stone()
{
    // Flagstones: nearest of a jittered grid of centres, with mortar where two cells meet.
    constexpr int cell = 34;
    return Fill([](int x, int y) {
        double best = 1e9, second = 1e9;
        int bestId = 0;
        for (int gy = y / cell - 1; gy <= y / cell + 1; ++gy) {
            for (int gx = x / cell - 1; gx <= x / cell + 1; ++gx) {
                const double cx = (gx + 0.2 + 0.6 * Noise(gx * 7.3, gy * 3.1, 5)) * cell;
                const double cy = (gy + 0.2 + 0.6 * Noise(gx * 2.9, gy * 8.7, 6)) * cell;
                const double d = std::hypot(x - cx, y - cy);
                if (d < best) {
                    second = best;
                    best = d;
                    bestId = gx * 131 + gy * 71;
                } else if (d < second) {
                    second = d;
                }
            }
        }
        const double tone = 0.35 + 0.3 * Noise(bestId * 0.37, 1.5, 9);
        const double grain = Fbm(x * 0.3, y * 0.3, 11, 3);
        QColor stone = Mix(QColor(92, 90, 86), QColor(196, 192, 184), tone + 0.35 * (grain - 0.5));
        if (second - best < 2.2)
            return Mix(QColor(48, 46, 44), stone, (second - best) / 2.2 * 0.5);
        if (Noise(x * 1.7, y * 1.7, 13) > 0.93)
            return stone.lighter(125);
        return stone;
    });
}

QImage Flag()
{
    QImage image(kW, kH, QImage::Format_RGB32);
    QPainter p(&image);
    const QColor red(191, 10, 48), white(250, 250, 250), blue(0, 40, 104);
    const double stripe = kH / 13.0;
    for (int i = 0; i < 13; ++i)
        p.fillRect(QRectF(0, i * stripe, kW, stripe + 1), i % 2 == 0 ? red : white);
    const QRectF canton(0, 0, 100, stripe * 7);
    p.fillRect(canton, blue);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    for (int row = 0; row < 9; ++row) {
        const int count = row % 2 == 0 ? 6 : 5;
        for (int i = 0; i < count; ++i) {
            const double cx = (row % 2 == 0 ? 8.5 : 17) + i * 17;
            const double cy = 5 + row * 9.3;
            QPolygonF star;
            for (int k = 0; k < 10; ++k) {
                const double r = k % 2 == 0 ? 3.4 : 1.4;
                const double a = -kPi / 2 + k * kPi / 5;
                star << QPointF(cx + r * std::cos(a), cy + r * std::sin(a));
            }
            p.drawPolygon(star);
        }
    }
    // A gentle wave of light and shade so it reads as cloth.
    for (int x = 0; x < kW; x += 1) {
        const int alpha = int(28 * std::sin(x * 0.045));
        p.fillRect(QRect(x, 0, 1, kH), alpha > 0 ? QColor(255, 255, 255, alpha) : QColor(0, 0, 0, -alpha));
    }
    return image;
}

QImage Cow()
{
    return Fill([](int x, int y) {
        const double n = Fbm(x * 0.018, y * 0.024, 21, 4) + 0.08 * Noise(x * 0.2, y * 0.2, 3);
        const QColor hide(246, 242, 232);
        if (n > 0.6)
            return QColor(28, 24, 22);
        if (n > 0.585)
            return Mix(hide, QColor(28, 24, 22), (n - 0.585) / 0.015);
        return Mix(hide, QColor(215, 205, 188), Fbm(x * 0.1, y * 0.1, 4, 2) * 0.6);
    });
}

QImage Candy()
{
    return Fill([](int x, int y) {
        const double u = std::fmod(x * 0.7071 + y * 0.7071 + 1000, 30.0);
        QColor c = u < 11 ? QColor(214, 24, 46)
            : u < 13      ? QColor(246, 170, 190)
            : u < 15      ? QColor(250, 250, 250)
            : u < 24      ? QColor(250, 246, 244)
            : u < 26      ? QColor(90, 170, 80)
                          : QColor(250, 250, 250);
        const double shine = 0.18 * std::exp(-std::pow((y - 22) / 18.0, 2));
        return Mix(c, Qt::white, shine);
    });
}

QImage Multicolor()
{
    return Fill([](int x, int y) {
        const double band = (x * 0.9 - y * 0.6 + 400) / 22.0;
        const int i = int(std::floor(band)) % 7;
        const double edge = band - std::floor(band);
        static const QColor colours[7] = {{230, 40, 50}, {250, 140, 20}, {245, 215, 30}, {60, 180, 70}, {30, 150, 220},
            {90, 70, 200}, {200, 60, 170}};
        QColor c = colours[i];
        if (edge < 0.08)
            c = c.darker(130);
        return Mix(c, Qt::white, 0.25 * std::exp(-std::pow((y - 20) / 25.0, 2)));
    });
}

QImage Water()
{
    // Deep blue water with wavy crests of light running across it.
    return Fill([](int x, int y) {
        const double depth = y / double(kH) * 0.75 + 0.25 * Fbm(x * 0.04, y * 0.04, 50, 3);
        QColor c = Mix(QColor(40, 165, 215), QColor(8, 60, 130), depth);
        const double phase = y * 0.32 + 3.2 * std::sin(x * 0.055 + y * 0.02) + 3 * Fbm(x * 0.03, y * 0.05, 41, 3);
        const double crest = std::pow(std::max(0.0, std::sin(phase)), 14.0);
        const double glint = std::pow(std::max(0.0, std::sin(phase * 0.5 + x * 0.08)), 30.0);
        return Mix(c, QColor(215, 245, 255), crest * 0.65 + glint * 0.3);
    });
}

QImage Office()
{
    // Brushed light grey with a blue title band: the look of a plain desktop application.
    QImage image = Fill([](int x, int y) {
        const double brush = 0.08 * (Noise(x * 0.05, y * 1.3, 60) - 0.5);
        return Mix(QColor(222, 222, 218), QColor(168, 170, 172), y / double(kH) * 0.7 + brush);
    });
    QPainter p(&image);
    QLinearGradient band(0, 0, 0, 12);
    band.setColorAt(0, QColor(70, 110, 180));
    band.setColorAt(1, QColor(30, 64, 130));
    p.fillRect(QRect(0, 0, kW, 12), band);
    p.fillRect(QRect(0, 12, kW, 1), QColor(20, 40, 90));
    return image;
}

QImage BasePattern(int index)
{
    switch (index) {
    case 0:
        return Glossy(QColor(240, 90, 80), QColor(130, 10, 16));
    case 1:
        return Glossy(QColor(90, 140, 240), QColor(12, 34, 120));
    case 2:
        return Glossy(QColor(255, 240, 110), QColor(200, 150, 0));
    case 3:
        return Glossy(QColor(255, 190, 220), QColor(214, 80, 150));
    case 4:
        return Glossy(QColor(200, 236, 255), QColor(80, 160, 220));
    case 5:
        return Glossy(QColor(130, 220, 110), QColor(20, 110, 40));
    case 6:
        return Office();
    case 7:
        return Glossy(QColor(255, 190, 90), QColor(210, 90, 0));
    case 8:
        return Wood(QColor(124, 70, 34), QColor(70, 34, 14), 0.55, 1);
    case 9:
        return Wood(QColor(236, 204, 150), QColor(196, 150, 92), 0.32, 2);
    case 10:
        return Stone();
    case 11:
        return Flag();
    case 12:
        return Cow();
    case 13:
        return Candy();
    case 14:
        return Multicolor();
    default:
        return Water();
    }
}

// Common to every face: a bevelled rim along the outline, a raised plate behind the buttons and
// the name stamped under the banner.
void Decorate(QImage& image, const QColor& average)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = WindowOutline();
    p.setClipPath(outline);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 110), 5));
    p.drawPath(outline);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5));
    p.translate(1.5, 1.5);
    p.drawPath(outline);
    p.resetTransform();

    QPainterPath plate;
    plate.addRoundedRect(QRectF(30.5, 11.5, 146, 47), 12, 12);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.setBrush(QColor(0, 0, 0, 38));
    p.drawPath(plate);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(plate.translated(1, 1));

    const bool darkGround = average.lightness() < 120;
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(font);
    const QRectF mark(60, 137, 105, 11);
    p.setPen(darkGround ? QColor(0, 0, 0, 150) : QColor(255, 255, 255, 170));
    p.drawText(mark.translated(0, 1), Qt::AlignCenter, QStringLiteral("VANDU"));
    p.setPen(darkGround ? QColor(255, 255, 255, 200) : QColor(0, 0, 0, 150));
    p.drawText(mark, Qt::AlignCenter, QStringLiteral("VANDU"));
}

QColor Average(const QImage& image)
{
    double r = 0, g = 0, b = 0;
    const int n = image.width() * image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

} // namespace

int FaceResourceId(int index)
{
    static const int ids[kFaceCount] = {137, 245, 247, 246, 257, 256, 258, 260, 244, 250, 243, 253, 255, 261, 263, 262};
    return ids[index];
}

QImage MakeFace(int index)
{
    QImage image = BasePattern(index);
    Decorate(image, Average(image.copy(30, 137, 165, 12)));
    return image;
}

} // namespace artgen
