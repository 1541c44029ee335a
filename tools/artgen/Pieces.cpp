#include "tools/artgen/Pieces.h"

#include "tools/artgen/ArtCommon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artgen {
namespace {

QImage Transparent(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QImage MakeOverlay()
{
    QImage image = Transparent(196, 138);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(24, 55, 172, 83), 6, 6);
    QPainterPath hole;
    hole.addRect(QRectF(29, 60, 165, 75));
    QLinearGradient metal(0, 55, 0, 138);
    metal.setColorAt(0, QColor(40, 42, 46));
    metal.setColorAt(0.5, QColor(92, 96, 102));
    metal.setColorAt(1, QColor(150, 154, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    p.drawPath(frame.subtracted(hole));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(29, 118, 165, 1), QColor(30, 30, 32));
    p.fillRect(QRect(28, 59, 167, 1), QColor(20, 20, 22));
    p.fillRect(QRect(28, 59, 1, 77), QColor(20, 20, 22));
    p.end();
    return FlattenOnWhiteKey(image);
}

QImage MakeLcdBackground(int id)
{
    QColor light, dark;
    if (id == 162) {
        light = QColor(178, 206, 120);
        dark = QColor(132, 166, 82);
    } else if (id == 203) {
        light = QColor(190, 226, 246);
        dark = QColor(128, 186, 226);
    } else {
        light = QColor(255, 206, 110);
        dark = QColor(228, 150, 40);
    }
    QImage image(165, 58, QImage::Format_RGB32);
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 165; ++x) {
            const double glow = std::hypot((x - 82) / 90.0, (y - 30) / 40.0);
            QColor c = Mix(light, dark, std::min(1.0, glow));
            if (y < 14)
                c = c.darker(108);
            image.setPixel(x, y, c.rgb());
        }
    QPainter p(&image);
    p.setPen(dark.darker(115));
    p.drawRect(QRect(0, 0, 164, 57));
    p.fillRect(QRect(0, 14, 165, 1), Qt::black);
    return image;
}

QImage MakeVendorStrip()
{
    QImage image(165, 16, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 0, 16);
    shade.setColorAt(0, QColor(52, 62, 92));
    shade.setColorAt(1, QColor(16, 22, 44));
    p.fillRect(image.rect(), shade);
    DrawLogo(p, QRectF(3, 1, 14, 14), QColor(250, 180, 40), QColor(40, 30, 10));
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Sans(10, true));
    p.setPen(QColor(250, 210, 120));
    p.drawText(QRectF(21, 0, 60, 16), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Vandu"));
    p.setFont(Sans(9, false));
    p.setPen(QColor(200, 210, 235));
    p.drawText(QRectF(58, 0, 104, 16), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("voice & text messages"));
    return image;
}

QImage MakeSponsor()
{
    QImage image(150, 75, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 150, 75);
    shade.setColorAt(0, QColor(24, 70, 140));
    shade.setColorAt(1, QColor(10, 26, 70));
    p.fillRect(image.rect(), shade);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 40), 6));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(150, 75), 30.0 + i * 22, 30.0 + i * 22);
    DrawLogo(p, QRectF(8, 10, 40, 40), QColor(250, 180, 40), QColor(40, 30, 10));
    p.setFont(Sans(18, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(54, 10, 92, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vandu"));
    p.setFont(Sans(10, false));
    p.setPen(QColor(210, 225, 250));
    p.drawText(QRectF(54, 32, 92, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Never miss a call"));
    p.setFont(Sans(9, false));
    p.drawText(QRectF(8, 54, 136, 16), Qt::AlignCenter, QStringLiteral("Your messages on your desktop"));
    return image;
}

QImage MakeSidePicture(int id)
{
    QImage image(82, 201, QImage::Format_RGB32);
    QPainter p(&image);
    const bool wizard = id == 198;
    QLinearGradient shade(0, 0, 0, 201);
    shade.setColorAt(0, wizard ? QColor(30, 90, 170) : QColor(140, 20, 30));
    shade.setColorAt(1, wizard ? QColor(8, 24, 64) : QColor(40, 6, 12));
    p.fillRect(image.rect(), shade);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 6; ++i) {
        QPainterPath wave;
        const double base = 120 + i * 14;
        wave.moveTo(0, base);
        for (int x = 0; x <= 82; x += 2)
            wave.lineTo(x, base + 6 * std::sin(x * 0.09 + i * 0.8));
        p.setPen(QPen(QColor(255, 255, 255, 30 + i * 12), 2));
        p.drawPath(wave);
    }
    DrawLogo(p, QRectF(17, 22, 48, 48), QColor(250, 180, 40), QColor(40, 30, 10));
    p.setFont(Sans(15, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 76, 82, 22), Qt::AlignCenter, QStringLiteral("Vandu"));
    p.setFont(Sans(9, false));
    p.setPen(QColor(220, 230, 250));
    p.drawText(QRectF(0, 96, 82, 14), Qt::AlignCenter, wizard ? QStringLiteral("Sign-up") : QStringLiteral("Messages"));
    return image;
}

bool IsButtonBitmap(int id)
{
    return (id >= 211 && id <= 225) || id == 238 || id == 239 || (id >= 268 && id <= 272);
}

} // namespace artgen
