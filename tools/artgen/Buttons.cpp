#include "agent/skin/FaceLayout.h"
#include "tools/artgen/ArtCommon.h"
#include "tools/artgen/Pieces.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artgen {
namespace {

enum class Symbol { Previous, Next, Play, Stop, Hide, Delete, Menu, Center, Help };
enum class State { Normal, Pressed, Disabled };

struct ButtonArt {
    int id;
    int width;
    int height;
    Symbol symbol;
    State state;
};

// Sizes fit the face's button rows (y 14, 29 and 42) without touching their neighbours.
constexpr ButtonArt kButtons[] = {
    {211, 44, 14, Symbol::Previous, State::Normal},
    {212, 44, 14, Symbol::Previous, State::Pressed},
    {213, 44, 14, Symbol::Next, State::Normal},
    {214, 44, 14, Symbol::Next, State::Pressed},
    {215, 24, 12, Symbol::Stop, State::Disabled},
    {216, 24, 12, Symbol::Stop, State::Normal},
    {217, 24, 12, Symbol::Stop, State::Pressed},
    {218, 36, 12, Symbol::Play, State::Normal},
    {219, 36, 12, Symbol::Play, State::Pressed},
    {220, 22, 12, Symbol::Hide, State::Normal},
    {221, 22, 12, Symbol::Hide, State::Pressed},
    {222, 36, 14, Symbol::Menu, State::Normal},
    {223, 36, 14, Symbol::Menu, State::Pressed},
    {238, 76, 14, Symbol::Center, State::Normal},
    {239, 76, 14, Symbol::Center, State::Pressed},
    {268, 22, 14, Symbol::Help, State::Normal},
    {269, 36, 12, Symbol::Delete, State::Pressed},
    {270, 36, 12, Symbol::Delete, State::Normal},
    {271, 36, 12, Symbol::Delete, State::Disabled},
    {272, 22, 14, Symbol::Help, State::Pressed},
};

QPainterPath Triangle(QPointF tip, double w, double h, bool right)
{
    QPainterPath path;
    const double back = right ? tip.x() - w : tip.x() + w;
    path.moveTo(tip);
    path.lineTo(back, tip.y() - h / 2);
    path.lineTo(back, tip.y() + h / 2);
    path.closeSubpath();
    return path;
}

void DrawSymbol(QPainter& p, Symbol symbol, const QRectF& r, const QColor& ink)
{
    const QPointF c = r.center();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (symbol) {
    case Symbol::Previous:
        p.drawPath(Triangle(QPointF(c.x() - 6, c.y()), 6, 7, false));
        p.drawPath(Triangle(QPointF(c.x(), c.y()), 6, 7, false));
        p.drawRect(QRectF(c.x() - 8, c.y() - 3.5, 1.6, 7));
        break;
    case Symbol::Next:
        p.drawPath(Triangle(QPointF(c.x() + 6, c.y()), 6, 7, true));
        p.drawPath(Triangle(QPointF(c.x(), c.y()), 6, 7, true));
        p.drawRect(QRectF(c.x() + 6.4, c.y() - 3.5, 1.6, 7));
        break;
    case Symbol::Play:
        p.drawPath(Triangle(QPointF(c.x() + 3.5, c.y()), 7, 7, true));
        break;
    case Symbol::Stop:
        p.drawRect(QRectF(c.x() - 3, c.y() - 3, 6, 6));
        break;
    case Symbol::Hide:
        p.drawRect(QRectF(c.x() - 4, c.y() + 1.5, 8, 2));
        break;
    case Symbol::Delete:
        p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() - 3, c.y() - 3), QPointF(c.x() + 3, c.y() + 3));
        p.drawLine(QPointF(c.x() + 3, c.y() - 3), QPointF(c.x() - 3, c.y() + 3));
        break;
    case Symbol::Menu:
        for (int i = -1; i <= 1; ++i)
            p.drawRect(QRectF(c.x() - 7, c.y() + i * 3 - 0.75, 9, 1.5));
        p.drawPath(Triangle(QPointF(c.x() + 7, c.y() + 2), 4, 5, true).translated(0, 0));
        break;
    case Symbol::Center: {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(r.adjusted(0, 0, 0, -1), Qt::AlignCenter, QStringLiteral("Vandu Center"));
        break;
    }
    case Symbol::Help: {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(r.adjusted(0, 0, 0, -1), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    }
}

// Where the face places the button with this bitmap, or (-1,-1) for bitmaps it does not place.
QPoint FacePosition(int id)
{
    for (const vandu::face::ButtonSpec& spec : vandu::face::kFaceButtons) {
        if (spec.normalBitmap == id || spec.pressedBitmap == id)
            return QPoint(spec.position.x, spec.position.y);
    }
    return QPoint(-1, -1);
}

// How far the pill's left end must move right so that all of it, and the rim along the outline,
// stays inside the window outline at the button's place.
double LeftInset(const ButtonArt& art)
{
    const QPoint at = FacePosition(art.id);
    if (at.x() < 0)
        return 0;
    const QPainterPath outline = WindowOutline();
    for (int inset = 0; inset < art.width / 3; ++inset) {
        QPainterPath pill;
        const double radius = art.height / 2.0 - 0.5;
        pill.addRoundedRect(
            QRectF(at.x() + inset + 0.5, at.y() + 0.5, art.width - inset - 1, art.height - 1), radius, radius);
        bool inside = true;
        for (int y = 0; y < art.height && inside; ++y)
            for (int x = 0; x < art.width && inside; ++x) {
                const QPointF pt(at.x() + x + 0.5, at.y() + y + 0.5);
                if (pill.contains(pt))
                    inside = outline.contains(pt - QPointF(3, 0)) && outline.contains(pt - QPointF(0, 3));
            }
        if (inside)
            return inset;
    }
    return art.width / 3;
}

QImage DrawButton(const ButtonArt& art)
{
    QImage image(art.width, art.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double inset = LeftInset(art);
    const QRectF body(inset + 0.5, 0.5, art.width - inset - 1, art.height - 1);
    const double radius = art.height / 2.0 - 0.5;
    const bool pressed = art.state == State::Pressed;
    QLinearGradient metal(0, 0, 0, art.height);
    if (pressed) {
        metal.setColorAt(0, QColor(120, 124, 132));
        metal.setColorAt(1, QColor(196, 200, 206));
    } else {
        metal.setColorAt(0, QColor(246, 247, 249));
        metal.setColorAt(0.5, QColor(206, 210, 216));
        metal.setColorAt(1, QColor(150, 156, 166));
    }
    p.setPen(QPen(QColor(40, 44, 52), 1));
    p.setBrush(metal);
    p.drawRoundedRect(body, radius, radius);
    if (!pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 180), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
    QColor ink = art.symbol == Symbol::Delete ? QColor(170, 20, 20) : QColor(30, 34, 44);
    if (art.state == State::Disabled)
        ink = QColor(140, 144, 150);
    // The symbol sinks by one pixel with the button.
    DrawSymbol(p, art.symbol, body.translated(pressed ? 1 : 0, pressed ? 1 : 0), ink);
    p.end();
    return FlattenOnWhiteKey(image);
}

QImage DrawArrow(bool up)
{
    QImage image(7, 7, QImage::Format_RGB32);
    image.fill(Qt::white);
    // Drawn pixel by pixel so the tiny triangle stays crisp on the LCD.
    for (int row = 0; row < 4; ++row) {
        const int y = up ? 1 + row : 5 - row;
        for (int x = 3 - row; x <= 3 + row; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    }
    return image;
}

QColor TrayColour(int id)
{
    switch (id) {
    case 167:
        return QColor(40, 170, 60);
    case 170:
        return QColor(150, 150, 150);
    case 168:
        return QColor(250, 170, 20);
    case 169:
        return QColor(220, 40, 40);
    default:
        return QColor(250, 180, 40);
    }
}

} // namespace

QImage MakeButton(int id)
{
    if (id == 224 || id == 225)
        return DrawArrow(id == 224);
    for (const ButtonArt& art : kButtons) {
        if (art.id == id)
            return DrawButton(art);
    }
    return QImage();
}

namespace {

// The speech bubble of the icons, for an icon of s pixels.
QPainterPath IconBubble(double s)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(s * 0.04, s * 0.06, s * 0.92, s * 0.68), s * 0.2, s * 0.2);
    QPolygonF tail;
    tail << QPointF(s * 0.22, s * 0.66) << QPointF(s * 0.14, s * 0.96) << QPointF(s * 0.5, s * 0.7);
    bubble.addPolygon(tail);
    return bubble.simplified();
}

const double kWaveHeights[4] = {0.16, 0.36, 0.36, 0.16};

QString SvgColour(const QColor& colour)
{
    return colour.name(QColor::HexRgb);
}

} // namespace

QImage MakeIcon(int id, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor colour = TrayColour(id);
    // A speech bubble with a sound wave; the tray variants differ in colour, the blink phases
    // also in brightness, and the offline one is grey with a cross.
    const QPainterPath bubble = IconBubble(s);
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0, id == 169 ? colour.lighter(150) : colour.lighter(130));
    fill.setColorAt(1, colour.darker(id == 168 ? 120 : 105));
    p.setPen(QPen(colour.darker(220), std::max(1.0, s / 16)));
    p.setBrush(fill);
    p.drawPath(bubble);
    p.setPen(QPen(
        id == 170 ? QColor(70, 70, 70) : QColor(255, 255, 255), std::max(1.3, s / 9), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const double x = s * (0.29 + i * 0.14);
        p.drawLine(QPointF(x, s * (0.40 - kWaveHeights[i] / 2)), QPointF(x, s * (0.40 + kWaveHeights[i] / 2)));
    }
    if (id == 170) {
        p.setPen(QPen(QColor(200, 30, 30), std::max(1.5, s / 8), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.62, s * 0.62), QPointF(s * 0.92, s * 0.92));
        p.drawLine(QPointF(s * 0.92, s * 0.62), QPointF(s * 0.62, s * 0.92));
    }
    if (id == 168 || id == 169) {
        p.setPen(QPen(QColor(255, 255, 255), std::max(1.0, s / 16)));
        p.setBrush(id == 169 ? QColor(255, 230, 40) : QColor(200, 30, 30));
        p.drawEllipse(QRectF(s * 0.6, s * 0.56, s * 0.38, s * 0.38));
    }
    return image;
}

} // namespace artgen

namespace artgen {

QByteArray MakeAgentIconSvg()
{
    // The same drawing as MakeIcon(128, ...) on a 256-unit canvas, for the scalable theme icon.
    const double s = 256;
    const QColor colour = TrayColour(128);
    const QPainterPath bubble = IconBubble(s);
    QString path;
    for (int i = 0; i < bubble.elementCount(); ++i) {
        const QPainterPath::Element e = bubble.elementAt(i);
        if (e.isMoveTo()) {
            path += QLatin1String(i == 0 ? "" : "Z ");
            path += QStringLiteral("M%1 %2 ").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        } else if (e.isLineTo()) {
            path += QStringLiteral("L%1 %2 ").arg(e.x, 0, 'f', 2).arg(e.y, 0, 'f', 2);
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = bubble.elementAt(i + 1);
            const QPainterPath::Element end = bubble.elementAt(i + 2);
            path += QStringLiteral("C%1 %2 %3 %4 %5 %6 ")
                        .arg(e.x, 0, 'f', 2)
                        .arg(e.y, 0, 'f', 2)
                        .arg(c2.x, 0, 'f', 2)
                        .arg(c2.y, 0, 'f', 2)
                        .arg(end.x, 0, 'f', 2)
                        .arg(end.y, 0, 'f', 2);
            i += 2;
        }
    }
    QString waves;
    for (int i = 0; i < 4; ++i) {
        const double x = s * (0.29 + i * 0.14);
        waves += QStringLiteral("    <line x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/>\n")
                     .arg(x, 0, 'f', 2)
                     .arg(s * (0.40 - kWaveHeights[i] / 2), 0, 'f', 2)
                     .arg(s * (0.40 + kWaveHeights[i] / 2), 0, 'f', 2);
    }
    const QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                                       "viewBox=\"0 0 256 256\">\n"
                                       "  <defs>\n"
                                       "    <linearGradient id=\"fill\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
                                       "      <stop offset=\"0\" stop-color=\"%1\"/>\n"
                                       "      <stop offset=\"1\" stop-color=\"%2\"/>\n"
                                       "    </linearGradient>\n"
                                       "  </defs>\n"
                                       "  <path d=\"%3Z\" fill=\"url(#fill)\" stroke=\"%4\" stroke-width=\"16\"/>\n"
                                       "  <g stroke=\"#ffffff\" stroke-width=\"%5\" stroke-linecap=\"round\">\n"
                                       "%6"
                                       "  </g>\n"
                                       "</svg>\n")
                            .arg(SvgColour(colour.lighter(130)), SvgColour(colour.darker(105)), path.trimmed(),
                                SvgColour(colour.darker(220)), QString::number(s / 9, 'f', 2), waves);
    return svg.toUtf8();
}

} // namespace artgen
