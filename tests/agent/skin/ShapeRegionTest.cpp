#include "agent/skin/ShapeRegion.h"

#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"

#include <gtest/gtest.h>

namespace {

using namespace vandu::face;

struct NamedPoint {
    const char* name;
    int x;
    int y;
};

TEST(ShapeRegion, MainWindowOutlineCutsCornersAndTheStripUnderTheWave)
{
    const CShapeRegion shape = [] {
        CShapeRegion combined, ellipse, polygon;
        CShapeRegion::BuildMainWindowShape(combined, ellipse, polygon);
        return combined;
    }();
    ASSERT_NE(shape.Handle(), nullptr);
    const NamedPoint outside[] = {
        {"top left corner", 0, 0},
        {"top right corner", 233, 0},
        {"logo corner", 20, 20},
        {"near top right", 215, 15},
        {"under the wave left", 30, 163},
        {"under the wave middle", 112, 152},
        {"under the wave right", 200, 163},
        {"below the window", 112, 168},
        {"left of the ellipse", 3, 100},
    };
    for (const NamedPoint& p : outside) {
        SCOPED_TRACE(p.name);
        EXPECT_FALSE(shape.Contains(p.x, p.y));
    }
    const NamedPoint inside[] = {
        {"LCD top left", kLcdRect.left, kLcdRect.top},
        {"LCD bottom right", kLcdRect.right - 1, kLcdRect.bottom - 1},
        {"banner bottom left", kBannerRect.left, kBannerRect.bottom - 1},
        {"banner bottom right", kBannerRect.right - 1, kBannerRect.bottom - 1},
        {"scroll up arrow", kScrollUpButton.position.x + 3, kScrollUpButton.position.y + 3},
        {"scroll down arrow", kScrollDownButton.position.x + 3, kScrollDownButton.position.y + 3},
        {"above the wave middle", 112, 147},
    };
    for (const NamedPoint& p : inside) {
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(shape.Contains(p.x, p.y));
    }
}

TEST(ShapeRegion, EveryFaceButtonLiesInsideTheOutline)
{
    const QRegion shape = CShapeRegion::MainWindowShape();
    for (const ButtonSpec& spec : kFaceButtons) {
        SCOPED_TRACE(spec.command);
        CSkinBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResource(spec.normalBitmap));
        const QRect rect(spec.position.x, spec.position.y, bitmap.Width(), bitmap.Height());
        EXPECT_TRUE(shape.contains(rect.center()));
        // At least most of the button is visible: the outline may only shave its rounded ends.
        const QRegion visible = shape.intersected(rect);
        long area = 0;
        for (const QRect& r : visible)
            area += long(r.width()) * r.height();
        EXPECT_GT(area * 10, long(rect.width()) * rect.height() * 8);
    }
}

TEST(ShapeRegion, CombineModes)
{
    CShapeRegion a, b, out;
    a.CreateRect(0, 0, 10, 10);
    b.CreateRect(5, 0, 15, 10);
    struct Row {
        CShapeRegion::ECombineMode mode;
        bool at2, at7, at12;
    };
    const Row rows[] = {
        {CShapeRegion::RGN_AND, false, true, false},
        {CShapeRegion::RGN_OR, true, true, true},
        {CShapeRegion::RGN_XOR, true, false, true},
        {CShapeRegion::RGN_DIFF, true, false, false},
        {CShapeRegion::RGN_COPY, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        ASSERT_TRUE(out.Combine(a, b, row.mode));
        EXPECT_EQ(out.Contains(2, 5), row.at2);
        EXPECT_EQ(out.Contains(7, 5), row.at7);
        EXPECT_EQ(out.Contains(12, 5), row.at12);
    }
    // Right and bottom edges are excluded, as for window rectangles.
    EXPECT_TRUE(a.Contains(9, 9));
    EXPECT_FALSE(a.Contains(10, 5));
    EXPECT_FALSE(a.Contains(5, 10));
}

TEST(ShapeRegion, MissingInputLeavesTheRegionAlone)
{
    CShapeRegion a, none, out;
    EXPECT_EQ(out.Handle(), nullptr);
    a.CreateRect(0, 0, 4, 4);
    EXPECT_FALSE(out.Combine(a, none, CShapeRegion::RGN_OR));
    EXPECT_EQ(out.Handle(), nullptr);
    EXPECT_FALSE(out.CreatePolygon(nullptr, 5, CShapeRegion::ALTERNATE));
}

TEST(ShapeRegion, AlternateFillLeavesTheMiddleOfAStarOpen)
{
    // A five-pointed star drawn in one stroke: its centre is covered twice.
    const QPoint star[] = {{50, 0}, {79, 90}, {2, 34}, {98, 34}, {21, 90}};
    CShapeRegion alternate, winding;
    ASSERT_TRUE(alternate.CreatePolygon(star, 5, CShapeRegion::ALTERNATE));
    ASSERT_TRUE(winding.CreatePolygon(star, 5, CShapeRegion::WINDING));
    EXPECT_FALSE(alternate.Contains(50, 50));
    EXPECT_TRUE(winding.Contains(50, 50));
    EXPECT_TRUE(alternate.Contains(50, 10));
}

TEST(ShapeRegion, EllipseIsInscribedInItsRectangle)
{
    CShapeRegion ellipse;
    ellipse.CreateEllipse(0, 0, 100, 50);
    EXPECT_TRUE(ellipse.Contains(50, 25));
    EXPECT_TRUE(ellipse.Contains(1, 25));
    EXPECT_FALSE(ellipse.Contains(2, 2));
    EXPECT_FALSE(ellipse.Contains(100, 25));
}

} // namespace
