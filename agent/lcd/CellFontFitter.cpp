#include "agent/lcd/CellFontFitter.h"

#include <QFontMetrics>
#include <QList>
#include <QPointF>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// How often, per thousand characters of English text, each lower-case letter and the space occur:
// the weights of the classic average character width.
constexpr char kWeightedCharacters[] = "abcdefghijklmnopqrstuvwxyz ";
constexpr int kWeights[]
    = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56, 56, 17, 4, 49, 56, 71, 31, 10, 18, 3, 18, 2, 166};
constexpr int kWeightTotal = 1000;
constexpr int kWeightedCount = sizeof kWeights / sizeof kWeights[0];
static_assert(sizeof kWeightedCharacters - 1 == kWeightedCount);

constexpr int kSmallestPixelSize = 4;
constexpr int kLargestStretch = 4000; // QFont's limit
constexpr int kProportionalRounds = 4;

} // namespace

QFont CCellFontFitter::Fit(const QString& family, Cell cell)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    font.setWeight(QFont::Normal);
    // Qt applies a stretch relative to the face's own width; starting from 100 keeps the
    // proportion right for a condensed face too.
    font.setStretch(100);
    int pixelSize = std::max(cell.height, kSmallestPixelSize);
    font.setPixelSize(pixelSize);
    while (pixelSize > kSmallestPixelSize && LineHeight(font) > cell.height) {
        font.setPixelSize(--pixelSize);
    }
    if (cell.averageWidth > 0) {
        font.setStretch(FitStretch(font, cell.averageWidth));
    }
    return font;
}

int CCellFontFitter::FitStretch(QFont font, int averageWidth)
{
    std::map<int, double> measured;
    const auto average = [&](int stretch) {
        auto found = measured.find(stretch);
        if (found == measured.end()) {
            font.setStretch(stretch);
            // The font at stretch 100 was loaded already, to find the pixel size.
            m_lookups += stretch != 100;
            found = measured.emplace(stretch, DesignAverageWidth(font)).first;
        }
        return found->second;
    };
    // Advances grow in proportion to the stretch, so scaling by the ratio lands on the width at
    // once; a family with faces of several widths may switch face on the way, hence a few rounds.
    int stretch = 100;
    for (int round = 0; round < kProportionalRounds; ++round) {
        const double now = average(stretch);
        if (now <= 0) {
            return 100;
        }
        const int next = std::clamp(static_cast<int>(std::lround(stretch * averageWidth / now)), 1, kLargestStretch);
        if (next == stretch) {
            break;
        }
        stretch = next;
    }
    // Advances are kept in whole 64ths of a pixel, so the neighbour on the side of the cell width
    // may come closer still.
    const double error = average(stretch) - averageWidth;
    const int neighbour = error < 0 ? stretch + 1 : stretch - 1;
    int best = stretch;
    if (error != 0 && neighbour >= 1 && neighbour <= kLargestStretch
        && std::abs(average(neighbour) - averageWidth) < std::abs(error)) {
        best = neighbour;
    }
    return best;
}

double CCellFontFitter::DesignAverageWidth(const QFont& font)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromLatin1(kWeightedCharacters));
    if (glyphs.size() != kWeightedCount) {
        return 0;
    }
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    double sum = 0;
    for (int i = 0; i < kWeightedCount && i < advances.size(); ++i) {
        sum += kWeights[i] * advances[i].x();
    }
    return sum / kWeightTotal;
}

int CCellFontFitter::DrawnAverageWidth(const QFont& font)
{
    const QFontMetrics metrics(font);
    int sum = 0;
    for (int i = 0; i < kWeightedCount; ++i) {
        sum += kWeights[i] * metrics.horizontalAdvance(QLatin1Char(kWeightedCharacters[i]));
    }
    return (sum + kWeightTotal / 2) / kWeightTotal;
}

int CCellFontFitter::LineHeight(const QFont& font)
{
    ++m_lookups;
    return QFontMetrics(font).height();
}
