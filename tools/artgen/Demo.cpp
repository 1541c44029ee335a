#include "tools/artgen/Demo.h"

#include "tools/artgen/ArtCommon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace artgen {
namespace {

const QColor kCream(250, 236, 212);
const QColor kCaramel(226, 160, 86);

// A cup of coffee on its saucer, with steam, standing on the bottom of box.
void DrawCup(QPainter& p, const QRectF& box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double w = box.width();
    const double left = box.left() + w * 0.10;
    const double right = box.left() + w * 0.74;
    const double rim = box.top() + box.height() * 0.40;
    const double base = box.bottom() - box.height() * 0.12;

    QRadialGradient saucerShade(QPointF(box.center().x(), box.bottom()), w * 0.6);
    saucerShade.setColorAt(0, kCream);
    saucerShade.setColorAt(1, kCream.darker(135));
    p.setPen(QPen(QColor(90, 52, 30), 1));
    p.setBrush(saucerShade);
    p.drawEllipse(QRectF(box.left(), base - box.height() * 0.08, w, box.height() * 0.2));

    QPainterPath handle;
    handle.addEllipse(QRectF(right - w * 0.10, rim + box.height() * 0.08, w * 0.30, box.height() * 0.30));
    QPainterPath hole;
    hole.addEllipse(QRectF(right - w * 0.02, rim + box.height() * 0.14, w * 0.15, box.height() * 0.18));
    QPainterPath body;
    body.moveTo(left, rim);
    body.lineTo(right, rim);
    body.cubicTo(right, base - box.height() * 0.05, right - w * 0.12, base, (left + right) / 2, base);
    body.cubicTo(left + w * 0.12, base, left, base - box.height() * 0.05, left, rim);
    QLinearGradient porcelain(QPointF(left, 0), QPointF(right, 0));
    porcelain.setColorAt(0, Qt::white);
    porcelain.setColorAt(0.6, kCream);
    porcelain.setColorAt(1, kCream.darker(125));
    p.setBrush(porcelain);
    p.drawPath(handle.subtracted(hole).subtracted(body).united(body));

    QLinearGradient coffee(QPointF(0, rim - 3), QPointF(0, rim + 3));
    coffee.setColorAt(0, QColor(120, 70, 36));
    coffee.setColorAt(1, QColor(58, 30, 14));
    p.setBrush(coffee);
    p.drawEllipse(QRectF(left, rim - box.height() * 0.06, right - left, box.height() * 0.12));

    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        const double x = left + (right - left) * (0.25 + i * 0.25);
        QPainterPath steam;
        steam.moveTo(x, rim - box.height() * 0.10);
        steam.cubicTo(x - w * 0.08, rim - box.height() * 0.25, x + w * 0.08, rim - box.height() * 0.38, x,
            box.top() + box.height() * 0.02 + i * 2);
        p.setPen(QPen(QColor(255, 255, 255, 150 - i * 25), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(steam);
    }
    p.restore();
}

} // namespace

QImage MakeDemoSponsor()
{
    QImage image(150, 75, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 150, 75);
    shade.setColorAt(0, QColor(122, 66, 34));
    shade.setColorAt(1, QColor(46, 22, 10));
    p.fillRect(image.rect(), shade);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(30, 46), 52);
    glow.setColorAt(0, QColor(255, 190, 110, 120));
    glow.setColorAt(1, QColor(255, 190, 110, 0));
    p.fillRect(image.rect(), glow);
    // Beans scattered along the right edge.
    p.setPen(Qt::NoPen);
    const QPointF beans[] = {{138, 10}, {128, 24}, {143, 37}, {133, 63}, {120, 70}};
    for (const QPointF& bean : beans) {
        p.save();
        p.translate(bean);
        p.rotate(bean.x() * 7);
        p.setBrush(QColor(36, 16, 6, 170));
        p.drawEllipse(QRectF(-4, -2.6, 8, 5.2));
        p.setPen(QPen(QColor(150, 90, 50, 170), 0.8));
        p.drawLine(QPointF(-3, 0), QPointF(3, 0));
        p.setPen(Qt::NoPen);
        p.restore();
    }
    DrawCup(p, QRectF(6, 12, 46, 58));
    p.setFont(Sans(17, true));
    p.setPen(kCream);
    p.drawText(QRectF(56, 8, 90, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Fresh"));
    p.drawText(QRectF(56, 25, 90, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("coffee"));
    p.setFont(Sans(10, false));
    p.setPen(kCaramel);
    p.drawText(QRectF(57, 46, 90, 13), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("delivered to"));
    p.drawText(QRectF(57, 58, 90, 13), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("your desk"));
    return image;
}

QImage MakeDemoVendor()
{
    QImage image(165, 16, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, 0, 16);
    shade.setColorAt(0, QColor(30, 110, 112));
    shade.setColorAt(1, QColor(8, 46, 52));
    p.fillRect(image.rect(), shade);
    p.fillRect(QRect(0, 0, 165, 1), QColor(120, 200, 196));
    DrawLogo(p, QRectF(3, 1, 14, 14), QColor(250, 180, 40), QColor(40, 30, 10));
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(Sans(10, true));
    p.setPen(QColor(250, 210, 120));
    p.drawText(QRectF(21, 0, 40, 16), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Vandu"));
    // A tag saying where this strip came from.
    const QRectF tag(57, 3, 30, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 180, 40));
    p.drawRoundedRect(tag, 3, 3);
    p.setFont(Sans(8, true));
    p.setPen(QColor(40, 30, 10));
    p.drawText(tag, Qt::AlignCenter, QStringLiteral("DEMO"));
    p.setFont(Sans(9, false));
    p.setPen(QColor(206, 236, 232));
    p.drawText(QRectF(90, 0, 72, 16), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("double-click me"));
    return image;
}

} // namespace artgen
