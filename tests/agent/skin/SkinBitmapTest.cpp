#include "agent/skin/SkinBitmap.h"

#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinTable.h"
#include "tests/support/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

using vandu::test::TempDir;

// A background in which every pixel differs from its neighbours, so a shifted copy shows.
QImage Pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, (x * y + 11) & 0xFF));
    return image;
}

QRgb Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

void ExpectTransparentDraw(const CSkinBitmap& bitmap, int x, int y)
{
    const QImage background = Pattern(bitmap.Width() + 2 * x, bitmap.Height() + 2 * y);
    QImage target = background;
    {
        QPainter painter(&target);
        bitmap.DrawTransparent(painter, x, y);
    }
    const QImage source = bitmap.Image().convertToFormat(QImage::Format_RGB32);
    int whitePixels = 0, otherPixels = 0;
    for (int j = 0; j < target.height(); ++j) {
        for (int i = 0; i < target.width(); ++i) {
            const bool covered = i >= x && j >= y && i < x + bitmap.Width() && j < y + bitmap.Height();
            const bool white = covered && Rgb(source, i - x, j - y) == 0xFFFFFF;
            if (!covered || white) {
                whitePixels += white;
                ASSERT_EQ(Rgb(target, i, j), Rgb(background, i, j)) << i << "," << j;
            } else {
                ++otherPixels;
                ASSERT_EQ(Rgb(target, i, j), Rgb(source, i - x, j - y)) << i << "," << j;
            }
        }
    }
    EXPECT_GT(whitePixels, 0);
    EXPECT_GT(otherPixels, 0);
}

TEST(SkinBitmap, ResourceKeepsItsEightBitColourTable)
{
    CSkinBitmap face;
    ASSERT_TRUE(face.LoadFromResource(137));
    EXPECT_EQ(face.Width(), 225);
    EXPECT_EQ(face.Height(), 160);
    EXPECT_EQ(face.Image().format(), QImage::Format_Indexed8);
    EXPECT_EQ(face.Palette().size(), 256);
    EXPECT_EQ(face.Palette(), face.Image().colorTable());
}

TEST(SkinBitmap, MissingResourceIsEmptyButCountsAsLoaded)
{
    CSkinBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromResource(137));
    EXPECT_FALSE(bitmap.LoadFromResource(9999));
    EXPECT_TRUE(bitmap.IsLoaded());
    EXPECT_TRUE(bitmap.IsNull());
    QImage target = Pattern(20, 20);
    const QImage before = target;
    QPainter painter(&target);
    bitmap.Draw(0, 0, painter);
    bitmap.DrawTransparent(painter, 0, 0);
    painter.end();
    EXPECT_EQ(target, before);
}

TEST(SkinBitmap, ColourOutsideTheTableShowsTheRedSkin)
{
    CSkinBitmap red;
    ASSERT_TRUE(red.LoadFromResource(137));
    for (int color : {-1, 16, 17, 1000, -2147483647}) {
        SCOPED_TRACE(color);
        CSkinBitmap face;
        ASSERT_TRUE(face.LoadFromResource(vandu::skin::FaceBitmapForColor(color)));
        EXPECT_EQ(face.Image(), red.Image());
    }
    CSkinBitmap blue;
    ASSERT_TRUE(blue.LoadFromResource(vandu::skin::FaceBitmapForColor(1)));
    EXPECT_NE(blue.Image(), red.Image());
}

TEST(SkinBitmap, TwentyFourBitFileLoadsAndKeepsThePreviousPalette)
{
    TempDir dir;
    const QString path = QString::fromStdString(dir.File("vendor.bmp"));
    QImage truecolour = Pattern(165, 16).convertToFormat(QImage::Format_RGB888);
    ASSERT_TRUE(truecolour.save(path, "BMP"));
    ASSERT_EQ(static_cast<unsigned char>(vandu::test::ReadFile(path.toStdString()).at(28)), 24);

    CSkinBitmap logo;
    ASSERT_TRUE(logo.LoadFromResource(vandu::face::kVendorBitmap));
    const QList<QRgb> palette = logo.Palette();
    ASSERT_FALSE(palette.isEmpty());
    ASSERT_TRUE(logo.LoadFromFile(path));
    EXPECT_TRUE(logo.IsLoaded());
    EXPECT_EQ(logo.Width(), 165);
    EXPECT_EQ(logo.Height(), 16);
    EXPECT_EQ(logo.Image().convertToFormat(QImage::Format_RGB32), Pattern(165, 16));
    EXPECT_EQ(logo.Palette(), palette);
}

TEST(SkinBitmap, BadFilesLeaveTheLoadedFlagClear)
{
    TempDir dir;
    vandu::test::WriteFile(dir.File("garbage.bmp"), "BM this is not a bitmap at all");
    vandu::test::WriteFile(dir.File("empty.bmp"), "");
    const std::string good = dir.File("good.bmp");
    ASSERT_TRUE(Pattern(8, 8).save(QString::fromStdString(good), "BMP"));
    std::string truncated = vandu::test::ReadFile(good);
    truncated.resize(60);
    vandu::test::WriteFile(dir.File("truncated.bmp"), truncated);
    for (const char* name : {"missing.bmp", "garbage.bmp", "empty.bmp", "truncated.bmp"}) {
        SCOPED_TRACE(name);
        CSkinBitmap bitmap;
        bitmap.LoadFromResource(248);
        EXPECT_FALSE(bitmap.LoadFromFile(QString::fromStdString(dir.File(name))));
        EXPECT_FALSE(bitmap.IsLoaded());
        EXPECT_TRUE(bitmap.IsNull());
    }
}

TEST(SkinBitmap, TransparentDrawKeepsTheBackgroundExactlyWhereTheBitmapIsWhite)
{
    for (int id : {vandu::face::kOverlayBitmap, 211, 238, 224}) {
        SCOPED_TRACE(id);
        CSkinBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResource(id));
        ExpectTransparentDraw(bitmap, 3, 2);
    }
}

TEST(SkinBitmap, TransparentDrawOfATrueColourFileSparesOnlyPureWhite)
{
    TempDir dir;
    QImage image(6, 4, QImage::Format_RGB888);
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(254, 255, 255), qRgb(255, 255, 254), qRgb(0, 0, 0)};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, colours[(x + y) % 4]);
    const QString path = QString::fromStdString(dir.File("keys.bmp"));
    ASSERT_TRUE(image.save(path, "BMP"));
    CSkinBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromFile(path));
    ExpectTransparentDraw(bitmap, 1, 1);
}

TEST(SkinBitmap, DrawFromCopiesFromTheOffsetAndTheTargetClips)
{
    CSkinBitmap face;
    ASSERT_TRUE(face.LoadFromResource(137));
    QImage target(20, 10, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter painter(&target);
        face.DrawFrom(64, 14, 0, 0, painter);
    }
    const QImage source = face.Image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(Rgb(target, x, y), Rgb(source, 64 + x, 14 + y)) << x << "," << y;

    // Near the far edge only what exists is copied; the rest of the target stays.
    QImage edge(20, 10, QImage::Format_RGB32);
    edge.fill(Qt::black);
    {
        QPainter painter(&edge);
        face.DrawFrom(220, 155, 0, 0, painter);
    }
    EXPECT_EQ(Rgb(edge, 4, 4), Rgb(source, 224, 159));
    EXPECT_EQ(Rgb(edge, 5, 5), 0u);
}

} // namespace
