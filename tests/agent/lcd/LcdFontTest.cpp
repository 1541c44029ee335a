// The LCD's fonts: fitting to character cells against an exhaustive search over real faces, the
// metrics and glyphs against what Qt draws for the same font, drawing within a clip, faces that
// cannot be used, and the face remembered between starts.

#include "agent/lcd/LcdFont.h"
#include "agent/lcd/LcdFaceChoice.h"
#include "tests/agent/lcd/QtLcdFont.h"
#include "tests/support/TestSupport.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

namespace {

using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

struct Cell {
    const char* name;
    CLcdFont::Cell cell;
};
const Cell kCells[] = {{"16 x 6", {16, 6}}, {"14 x 5", {14, 5}}};

// Faces of normal, condensed and wide proportions, serif and monospaced.
const char* const kFamilies[]
    = {"Arial", "Liberation Sans Narrow", "DejaVu Sans", "Liberation Serif", "Liberation Mono"};

SLcdFaceFile FaceOf(const char* family)
{
    const auto face = vandu::lcd::MatchFace(family);
    EXPECT_TRUE(face.has_value()) << family;
    return face.value_or(SLcdFaceFile {});
}

// The largest pixel size whose line height fits, trying every size.
int ExhaustivePixelSize(const SLcdFaceFile& face, int cellHeight)
{
    int best = 0;
    for (int size = 4; size <= cellHeight; ++size) {
        if (CLcdFont::Open(face, size, 100).Height() <= cellHeight) {
            best = size;
        }
    }
    return best;
}

// The stretch whose design average width comes closest to the cell's, trying every stretch from
// 50 to 150.
int ExhaustiveStretch(const SLcdFaceFile& face, int pixelSize, int averageWidth)
{
    int best = 0;
    double bestError = 0;
    for (int stretch = 50; stretch <= 150; ++stretch) {
        const double error = std::abs(CLcdFont::Open(face, pixelSize, stretch).DesignAverageWidth() - averageWidth);
        if (best == 0 || error < bestError) {
            best = stretch;
            bestError = error;
        }
    }
    return best;
}

// One character drawn on white at (4, 4 + ascent), by Qt or by the font itself.
QImage QtGlyph(const QFont& font, unsigned char c, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(4, 4 + QFontMetrics(font).ascent(), QString(QChar(c)));
    return image;
}

QImage OwnGlyph(const CLcdFont& font, unsigned char c, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const char text[] = {static_cast<char>(c)};
    font.Draw(image, 4, 4 + font.Ascent(), image.rect(), std::string_view(text, 1), qRgb(0, 0, 0));
    return image;
}

TEST(LcdFontTest, FitPicksWhatAnExhaustiveSearchPicks)
{
    for (const char* family : kFamilies) {
        const SLcdFaceFile face = FaceOf(family);
        for (const Cell& cell : kCells) {
            SCOPED_TRACE(std::string(family) + " " + cell.name);
            const CLcdFont fitted = CLcdFont::Fit(face, cell.cell);
            ASSERT_FALSE(fitted.IsNull());
            EXPECT_EQ(fitted.PixelSize(), ExhaustivePixelSize(face, cell.cell.height));
            EXPECT_EQ(fitted.Stretch(), ExhaustiveStretch(face, fitted.PixelSize(), cell.cell.averageWidth));
            EXPECT_EQ(fitted.Height(), cell.cell.height);
            EXPECT_NEAR(fitted.DrawnAverageWidth(), cell.cell.averageWidth, 1);
        }
    }
}

TEST(LcdFontTest, MeasuresAndDrawsEveryCharacterAsQtDoes)
{
    // Qt is what the LCD was drawn with before, and what draws the same face anywhere else on the
    // desktop: line metrics, every advance and every glyph's pixels must be Qt's.
    for (const char* family : kFamilies) {
        for (const Cell& cell : kCells) {
            SCOPED_TRACE(std::string(family) + " " + cell.name);
            const CLcdFont font = CLcdFont::Fit(FaceOf(family), cell.cell);
            const QFont qt = QtFontLike(font);
            ASSERT_EQ(QFontInfo(qt).family().toStdString(), font.Family());
            const QFontMetrics metrics(qt);
            EXPECT_EQ(font.Ascent(), metrics.ascent());
            EXPECT_EQ(font.Descent(), metrics.descent());
            EXPECT_EQ(font.Height(), metrics.height());
            const QSize canvas(4 * cell.cell.height, 2 * cell.cell.height);
            int differing = 0;
            for (int c = 0; c < 256; ++c) {
                SCOPED_TRACE(c);
                const auto byte = static_cast<unsigned char>(c);
                EXPECT_EQ(font.Advance(byte), metrics.horizontalAdvance(QChar(c)));
                // A line feed and a carriage return never reach the lettering.
                if (c != '\n' && c != '\r' && QtGlyph(qt, byte, canvas) != OwnGlyph(font, byte, canvas)) {
                    ADD_FAILURE() << "glyph differs";
                    ++differing;
                }
            }
            EXPECT_EQ(differing, 0);
        }
    }
}

TEST(LcdFontTest, AverageWidthWeighsLowerCaseTextNotEveryGlyph)
{
    // Liberation Sans draws Arial's advances; Arial's average width is 904/2048 of its size, while
    // the face's own OS/2 field says 1208/2048 because it averages every glyph.
    const CLcdFont font = CLcdFont::Open(FaceOf("Liberation Sans"), 2048 / 16, 100);
    EXPECT_NEAR(font.DesignAverageWidth() * 16, 904, 1);
    EXPECT_GT(QFontMetrics(QtFontLike(font)).averageCharWidth() * 16, 1150);
}

TEST(LcdFontTest, DrawingTouchesNothingOutsideTheClip)
{
    const CLcdFont font = CLcdFont::Fit(FaceOf("Arial"), {16, 6});
    QImage whole(40, 24, QImage::Format_RGB32);
    whole.fill(Qt::white);
    font.Draw(whole, 2, 16, whole.rect(), "WM", qRgb(0, 0, 0));
    const QRect clip(5, 6, 10, 6);
    QImage clipped(whole.size(), QImage::Format_RGB32);
    clipped.fill(Qt::white);
    font.Draw(clipped, 2, 16, clip, "WM", qRgb(0, 0, 0));
    int inked = 0;
    for (int y = 0; y < whole.height(); ++y) {
        for (int x = 0; x < whole.width(); ++x) {
            const QRgb expected = clip.contains(x, y) ? whole.pixel(x, y) : qRgb(255, 255, 255);
            ASSERT_EQ(clipped.pixel(x, y), expected) << x << "," << y;
            inked += clipped.pixel(x, y) != qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(inked, 5);
    // A pen far outside the image, or a clip beyond it, writes nowhere.
    QImage untouched = clipped.copy();
    font.Draw(clipped, -500, 16, clipped.rect(), "WM", qRgb(0, 0, 0));
    font.Draw(clipped, 2, 16, QRect(100, 100, 10, 10), "WM", qRgb(0, 0, 0));
    EXPECT_EQ(clipped, untouched);
}

TEST(LcdFontTest, AFileWithoutAUsableFaceGivesAFontThatDrawsNothing)
{
    TempDir dir;
    WriteFile(dir.Path() + "/not-a-font.ttf", "plain text, no face in here\n");
    struct Row {
        const char* name;
        SLcdFaceFile face;
    };
    const Row rows[] = {
        {"missing file", {dir.Path() + "/missing.ttf", 0}},
        {"not a font", {dir.Path() + "/not-a-font.ttf", 0}},
        {"a folder", {dir.Path(), 0}},
        {"face index past the last", {FaceOf("Arial").path, 7}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CLcdFont font = CLcdFont::Fit(row.face, {16, 6});
        EXPECT_TRUE(font.IsNull());
        EXPECT_EQ(font.Advance('W'), 0);
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QImage before = image.copy();
        font.Draw(image, 2, 14, image.rect(), "W", qRgb(0, 0, 0));
        EXPECT_EQ(image, before);
    }
}

TEST(LcdFaceChoiceTest, MissingFamilyFallsBackToAFittedSansSerif)
{
    const auto face = vandu::lcd::MatchFace("No Such Face Vandu");
    ASSERT_TRUE(face.has_value());
    const CLcdFont font = CLcdFont::Fit(*face, {16, 6});
    ASSERT_FALSE(font.IsNull());
    EXPECT_LE(font.Height(), 16);
    EXPECT_GE(font.Height(), 14);
    EXPECT_NEAR(font.DrawnAverageWidth(), 6, 1);
}

TEST(LcdFaceChoiceTest, TheRememberedFaceServesTheStartAndFontconfigHasTheLastWord)
{
    const SLcdFaceFile matched = FaceOf("Arial");
    const SLcdFaceFile other = FaceOf("Liberation Mono");
    ASSERT_NE(matched, other);
    const std::string matchedMemory = matched.path + "\n0\n";
    TempDir dir;
    struct Row {
        const char* name;
        const char* memory; // nullptr: no file
        std::string content;
        SLcdFaceFile initial;
    };
    const Row rows[] = {
        {"nothing remembered", nullptr, "", matched},
        {"another face remembered", "lcd-face", other.path + "\n0\n", other},
        {"remembered file gone", "lcd-face", dir.Path() + "/gone.ttf\n0\n", matched},
        {"no index", "lcd-face", other.path + "\n", matched},
        {"index not a number", "lcd-face", other.path + "\nx\n", matched},
        {"negative index", "lcd-face", other.path + "\n-1\n", matched},
        {"no path", "lcd-face", "\n0\n", matched},
        {"a third line", "lcd-face", other.path + "\n0\nmore\n", matched},
        {"empty file", "lcd-face", "", matched},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // Each row in a cache folder that does not exist yet, below one that does.
        const std::string folder = dir.Path() + "/" + std::to_string(&row - rows) + "/cache";
        const std::string memory = folder + "/lcd-face";
        if (row.memory != nullptr) {
            ::mkdir((dir.Path() + "/" + std::to_string(&row - rows)).c_str(), 0700);
            ::mkdir(folder.c_str(), 0700);
            WriteFile(memory, row.content);
        }
        CLcdFaceChoice choice(memory);
        EXPECT_EQ(choice.Initial(), row.initial);
        EXPECT_EQ(choice.Confirm(), matched);
        // What fontconfig said is what the next start uses.
        EXPECT_EQ(ReadFile(memory), matchedMemory);
        EXPECT_EQ(CLcdFaceChoice(memory).Initial(), matched);
        struct stat info { };
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
    // Without a memory file nothing is kept and fontconfig answers every time.
    CLcdFaceChoice forgetful("");
    EXPECT_EQ(forgetful.Initial(), matched);
    EXPECT_EQ(forgetful.Confirm(), matched);
}

} // namespace
