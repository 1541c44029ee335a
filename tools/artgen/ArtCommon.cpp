#include "tools/artgen/ArtCommon.h"

#include <QFile>
#include <QFont>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace artgen {
namespace {

double Hash(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u
        + static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t)
{
    return t * t * (3 - 2 * t);
}

struct Box {
    std::vector<std::pair<QRgb, int>> colours;
};

int Channel(QRgb c, int channel)
{
    return channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
}

// Splits the box with the widest channel range at its weighted median until there are enough.
std::vector<QRgb> MedianCut(std::vector<std::pair<QRgb, int>> colours, int wanted)
{
    std::vector<Box> boxes(1);
    boxes[0].colours = std::move(colours);
    while (static_cast<int>(boxes.size()) < wanted) {
        int best = -1, bestRange = 0, bestChannel = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0;
                for (const auto& [c, n] : boxes[i].colours) {
                    lo = std::min(lo, Channel(c, ch));
                    hi = std::max(hi, Channel(c, ch));
                }
                if (hi - lo > bestRange) {
                    bestRange = hi - lo;
                    best = i;
                    bestChannel = ch;
                }
            }
        }
        if (best < 0)
            break;
        auto& list = boxes[best].colours;
        std::sort(list.begin(), list.end(), [&](const auto& a, const auto& b) {
            const int ca = Channel(a.first, bestChannel), cb = Channel(b.first, bestChannel);
            return ca != cb ? ca < cb : a.first < b.first;
        });
        long total = 0;
        for (const auto& entry : list)
            total += entry.second;
        long running = 0;
        size_t split = 1;
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            running += list[i].second;
            split = i + 1;
            if (running * 2 >= total)
                break;
        }
        Box other;
        other.colours.assign(list.begin() + static_cast<long>(split), list.end());
        list.resize(split);
        boxes.push_back(std::move(other));
    }
    std::vector<QRgb> palette;
    for (const Box& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto& [c, count] : box.colours) {
            r += qRed(c) * count;
            g += qGreen(c) * count;
            b += qBlue(c) * count;
            n += count;
        }
        QRgb c = qRgb(int(std::lround(r / n)), int(std::lround(g / n)), int(std::lround(b / n)));
        if ((c & 0xFFFFFF) == 0xFFFFFF)
            c = qRgb(254, 254, 254);
        palette.push_back(c);
    }
    return palette;
}

} // namespace

double Noise(double x, double y, int seed)
{
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = Smooth(x - xi), fy = Smooth(y - yi);
    const double a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
    const double c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

double Fbm(double x, double y, int seed, int octaves)
{
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(x, y, seed + i * 31);
        norm += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return sum / norm;
}

QPainterPath WindowOutline()
{
    static const int points[22][2] = {{0, 162}, {6, 144}, {11, 153}, {16, 158}, {20, 160}, {26, 161}, {38, 161},
        {81, 152}, {99, 149}, {126, 149}, {146, 151}, {195, 161}, {207, 161}, {211, 160}, {217, 156}, {221, 152},
        {224, 145}, {250, 145}, {250, 162}, {250, 170}, {0, 170}, {0, 162}};
    QPainterPath ellipse;
    ellipse.addEllipse(QRectF(4, 4, 223, 241));
    QPolygonF polygon;
    for (const auto& p : points)
        polygon << QPointF(p[0], p[1]);
    QPainterPath cut;
    cut.addPolygon(polygon);
    cut.closeSubpath();
    return ellipse.subtracted(cut);
}

QFont Sans(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void DrawLogo(QPainter& p, const QRectF& box, const QColor& bubble, const QColor& mark)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double s = box.width();
    QPainterPath path;
    path.addRoundedRect(QRectF(box.left() + s * 0.06, box.top() + s * 0.08, s * 0.88, s * 0.66), s * 0.22, s * 0.22);
    QPolygonF tail;
    tail << QPointF(box.left() + s * 0.24, box.top() + s * 0.66) << QPointF(box.left() + s * 0.18, box.top() + s * 0.94)
         << QPointF(box.left() + s * 0.50, box.top() + s * 0.70);
    path.addPolygon(tail);
    path = path.simplified();
    p.setPen(QPen(bubble.darker(170), std::max(1.0, s / 24)));
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0, bubble.lighter(135));
    fill.setColorAt(1, bubble);
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(QPen(mark, std::max(1.2, s / 11), Qt::SolidLine, Qt::RoundCap));
    const double cy = box.top() + s * 0.41;
    const double heights[5] = {0.12, 0.26, 0.38, 0.26, 0.12};
    for (int i = 0; i < 5; ++i) {
        const double x = box.left() + s * (0.26 + i * 0.12);
        p.drawLine(QPointF(x, cy - s * heights[i] / 2), QPointF(x, cy + s * heights[i] / 2));
    }
    p.restore();
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
        float(a.greenF() + (b.greenF() - a.greenF()) * t), float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QImage ToIndexed8(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    bool hasWhite = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] & 0xFFFFFF;
            if (c == 0xFFFFFF)
                hasWhite = true;
            else
                ++histogram[c | 0xFF000000u];
        }
    }
    std::vector<std::pair<QRgb, int>> colours(histogram.keyValueBegin(), histogram.keyValueEnd());
    // Hash order differs between runs; sorting keeps the output the same for the same drawing.
    std::sort(colours.begin(), colours.end());
    std::vector<QRgb> palette = colours.empty() ? std::vector<QRgb> {} : MedianCut(colours, hasWhite ? 255 : 256);
    const int whiteIndex = static_cast<int>(palette.size());
    QList<QRgb> table(palette.begin(), palette.end());
    while (table.size() < 256)
        table.append(qRgb(255, 255, 255));
    QImage out(image.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    QHash<QRgb, uchar> lookup;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* target = out.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if ((c & 0xFFFFFF) == 0xFFFFFF) {
                target[x] = uchar(whiteIndex);
                continue;
            }
            auto found = lookup.constFind(c);
            if (found == lookup.constEnd()) {
                int best = 0;
                long bestDistance = -1;
                for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
                    const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
                               db = qBlue(c) - qBlue(palette[i]);
                    const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestDistance < 0 || distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
                found = lookup.insert(c, uchar(best));
            }
            target[x] = *found;
        }
    }
    return out;
}

QImage FlattenOnWhiteKey(const QImage& argb)
{
    const QImage source = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb c = line[x];
            if (qAlpha(c) < 128) {
                target[x] = qRgb(255, 255, 255);
                continue;
            }
            QRgb opaque = qRgb(qRed(c), qGreen(c), qBlue(c));
            if ((opaque & 0xFFFFFF) == 0xFFFFFF)
                opaque = qRgb(250, 250, 250);
            target[x] = opaque;
        }
    }
    return out;
}

bool WriteBitmap(const QImage& image, const QString& path)
{
    // Written by hand: Qt's writer pads rows with whatever its buffer held, so the committed files
    // would change on every run.
    const QImage indexed = image.format() == QImage::Format_Indexed8 ? image : ToIndexed8(image);
    const int w = indexed.width(), h = indexed.height();
    const int stride = (w + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + 256 * 4;
    QByteArray bytes;
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xFF));
    };
    bytes.append("BM");
    put(offset + uint32_t(stride * h), 4);
    put(0, 4);
    put(offset, 4);
    put(40, 4);
    put(uint32_t(w), 4);
    put(uint32_t(h), 4);
    put(1, 2);
    put(8, 2);
    put(0, 4);
    put(uint32_t(stride * h), 4);
    put(3780, 4);
    put(3780, 4);
    put(256, 4);
    put(256, 4);
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(255, 255, 255);
        put(uint32_t(qBlue(c)) | uint32_t(qGreen(c)) << 8 | uint32_t(qRed(c)) << 16, 4);
    }
    for (int y = h - 1; y >= 0; --y) {
        bytes.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), w);
        bytes.append(QByteArray(stride - w, '\0'));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool WritePng(const QImage& image, const QString& path)
{
    return image.save(path, "PNG");
}

} // namespace artgen
