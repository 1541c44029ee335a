// Fitting fonts to character cells: the computed stretch and pixel size against an exhaustive
// search over real fonts, faces of other widths, and a family the system lacks.

#include "agent/lcd/CellFontFitter.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Cell {
    const char* name;
    CCellFontFitter::Cell cell;
};
const Cell kCells[] = {{"16 x 6", {16, 6}}, {"14 x 5", {14, 5}}};

// The largest pixel size whose line height fits, trying every size.
int ExhaustivePixelSize(QFont font, int cellHeight)
{
    int best = 0;
    for (int size = 4; size <= cellHeight; ++size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= cellHeight) {
            best = size;
        }
    }
    return best;
}

// The stretch whose design average width comes closest to the cell's, trying every stretch
// from 50 to 150.
int ExhaustiveStretch(QFont font, int averageWidth)
{
    int best = 0;
    double bestError = 0;
    for (int stretch = 50; stretch <= 150; ++stretch) {
        font.setStretch(stretch);
        const double error = std::abs(CCellFontFitter::DesignAverageWidth(font) - averageWidth);
        if (best == 0 || error < bestError) {
            best = stretch;
            bestError = error;
        }
    }
    return best;
}

TEST(CellFontFitterTest, PicksTheFontAnExhaustiveSearchPicksWithAFewLookups)
{
    // Faces of normal, condensed and wide proportions, serif and monospaced; Qt stretches a face
    // relative to its own width, which a condensed face shows.
    for (const char* family :
        {"Arial", "Liberation Sans Narrow", "DejaVu Sans", "Liberation Serif", "Liberation Mono"}) {
        for (const Cell& cell : kCells) {
            SCOPED_TRACE(std::string(family) + " " + cell.name);
            CCellFontFitter fitter;
            const QFont fitted = fitter.Fit(QString::fromLatin1(family), cell.cell);
            EXPECT_LE(fitter.Lookups(), 8);
            EXPECT_EQ(fitted.pixelSize(), ExhaustivePixelSize(fitted, cell.cell.height));
            EXPECT_EQ(fitted.stretch(), ExhaustiveStretch(fitted, cell.cell.averageWidth));
            EXPECT_EQ(QFontMetrics(fitted).height(), cell.cell.height);
            EXPECT_NEAR(CCellFontFitter::DrawnAverageWidth(fitted), cell.cell.averageWidth, 1);
        }
    }
}

TEST(CellFontFitterTest, MissingFamilyFallsBackToAFittedSansSerif)
{
    for (const Cell& cell : kCells) {
        SCOPED_TRACE(cell.name);
        CCellFontFitter fitter;
        const QFont fitted = fitter.Fit(QStringLiteral("No Such Face Vandu"), cell.cell);
        EXPECT_NE(QFontInfo(fitted).family(), "No Such Face Vandu");
        EXPECT_LE(QFontMetrics(fitted).height(), cell.cell.height);
        EXPECT_GE(QFontMetrics(fitted).height(), cell.cell.height - 2);
        EXPECT_NEAR(CCellFontFitter::DrawnAverageWidth(fitted), cell.cell.averageWidth, 1);
    }
}

TEST(CellFontFitterTest, AverageWidthWeighsLowerCaseTextNotEveryGlyph)
{
    // Liberation Sans draws Arial's advances; Arial's average width is 904/2048 of its size,
    // while the face's own OS/2 field says 1208/2048 because it averages every glyph.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(2048 / 16);
    EXPECT_NEAR(CCellFontFitter::DesignAverageWidth(font) * 16, 904, 1);
    EXPECT_GT(QFontMetrics(font).averageCharWidth() * 16, 1150);
}

} // namespace
