#include "agent/skin/SkinButton.h"

#include "agent/skin/FaceLayout.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace vandu::face;

QRgb Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_face.LoadFromResource(137));
        m_parent.setFixedSize(kWindowWidth, kWindowHeight);
        ASSERT_TRUE(m_button.Create(211, 212, &m_face.Image(), 64, 14, &m_parent, ID_PREVIOUS));
        m_button.SetCommandHandler([this](int id) { m_handled.push_back(id); });
        m_parent.show();
    }

    QPoint Centre() const { return m_button.rect().center(); }

    // What the button shows, compared with what it must show: the face where the bitmap is white.
    void ExpectShows(int bitmapId)
    {
        CSkinBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResource(bitmapId));
        const QImage shown = m_button.grab().toImage();
        const QImage art = bitmap.Image().convertToFormat(QImage::Format_RGB32);
        const QImage face = m_face.Image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), art.size());
        for (int y = 0; y < art.height(); ++y)
            for (int x = 0; x < art.width(); ++x) {
                const QRgb want = Rgb(art, x, y) == 0xFFFFFF ? Rgb(face, 64 + x, 14 + y) : Rgb(art, x, y);
                ASSERT_EQ(Rgb(shown, x, y), want) << x << "," << y;
            }
    }

    CSkinBitmap m_face;
    QWidget m_parent;
    CSkinButton m_button;
    std::vector<int> m_handled;
};

TEST_F(SkinButtonTest, PressAndReleaseSendsOneCommandWithItsId)
{
    QSignalSpy spy(&m_button, &CSkinButton::Command);
    QTest::mousePress(&m_button, Qt::LeftButton, {}, Centre());
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseRelease(&m_button, Qt::LeftButton, {}, Centre());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), ID_PREVIOUS);
    EXPECT_EQ(m_handled, std::vector<int> {ID_PREVIOUS});
    EXPECT_TRUE(m_button.IsReleased());
}

TEST_F(SkinButtonTest, GestureThatLeavesTheButtonSendsNothing)
{
    struct Row {
        const char* name;
        std::vector<QPoint> moves;
        QPoint releaseAt;
    };
    const QPoint far(m_button.width() + 6, m_button.height() / 2);
    const std::vector<Row> rows = {
        {"drag off, back on, release", {far, Centre()}, Centre()},
        {"drag above and back", {QPoint(5, -3), Centre()}, Centre()},
        {"release outside without a move", {}, far},
        {"drag off and release there", {far}, far},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QSignalSpy spy(&m_button, &CSkinButton::Command);
        QTest::mousePress(&m_button, Qt::LeftButton, {}, Centre());
        for (const QPoint& p : row.moves)
            QTest::mouseMove(&m_button, p);
        QTest::mouseRelease(&m_button, Qt::LeftButton, {}, row.releaseAt);
        EXPECT_EQ(spy.count(), 0);
        EXPECT_TRUE(m_button.IsReleased());
    }
    EXPECT_TRUE(m_handled.empty());
}

TEST_F(SkinButtonTest, EdgesCountAsInside)
{
    QSignalSpy spy(&m_button, &CSkinButton::Command);
    QTest::mousePress(&m_button, Qt::LeftButton, {}, Centre());
    QTest::mouseMove(&m_button, QPoint(m_button.width(), m_button.height()));
    QTest::mouseRelease(&m_button, Qt::LeftButton, {}, QPoint(0, 0));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(SkinButtonTest, RightButtonDoesNothing)
{
    QSignalSpy spy(&m_button, &CSkinButton::Command);
    QTest::mouseClick(&m_button, Qt::RightButton, {}, Centre());
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(m_button.IsReleased());
}

TEST_F(SkinButtonTest, PaintsTheFaceUnderWhiteAndThePressedBitmapWhileHeld)
{
    ExpectShows(211);
    QTest::mousePress(&m_button, Qt::LeftButton, {}, Centre());
    ExpectShows(212);
    QTest::mouseRelease(&m_button, Qt::LeftButton, {}, Centre());
    ExpectShows(211);
}

TEST(SkinButtonSingle, ArrowVanishesWhileHeldAndReappears)
{
    QImage lcd(kLcdWidth, kLcdHeight, QImage::Format_RGB32);
    for (int y = 0; y < kLcdHeight; ++y)
        for (int x = 0; x < kLcdWidth; ++x)
            lcd.setPixel(x, y, qRgb(100 + x / 2, 200 - y, (x * y) & 0xFF));
    QWidget parent;
    parent.setFixedSize(kWindowWidth, kWindowHeight);
    CSkinButton arrow;
    const ButtonSpec& spec = kScrollDownButton;
    const QPoint origin(kLcdRect.left, kLcdRect.top);
    ASSERT_TRUE(
        arrow.CreateSingle(spec.normalBitmap, &lcd, spec.position.x, spec.position.y, &parent, spec.command, origin));
    parent.show();
    EXPECT_EQ(arrow.size(), QSize(kScrollArrowSize, kScrollArrowSize));
    const QPoint source = QPoint(spec.position.x, spec.position.y) - origin;
    const QImage background = lcd.copy(QRect(source, arrow.size()));

    auto blackPixels = [&] {
        const QImage shown = arrow.grab().toImage();
        int count = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                if (Rgb(shown, x, y) == 0)
                    ++count;
                else if (Rgb(shown, x, y) != Rgb(background, x, y))
                    return -1; // neither arrow nor the LCD under it
            }
        return count;
    };
    EXPECT_GT(blackPixels(), 5);
    QSignalSpy spy(&arrow, &CSkinButton::Command);
    QTest::mousePress(&arrow, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(blackPixels(), 0);
    QTest::mouseRelease(&arrow, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_GT(blackPixels(), 5);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), ID_SCROLL_DOWN);
}

} // namespace
