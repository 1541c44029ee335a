// The sponsor picture and the "Vandu Information" dialog: which picture is loaded, the dialog's
// size from it, the picture shown at its natural size and clipped, and where "More Information"
// leads.

#include "agent/lcd/SponsorInfo.h"
#include "agent/lcd/SponsorInfoDialog.h"
#include "agent/settings/UrlOpener.h"
#include "tests/agent/service/JobTestSupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vandu::test;

namespace {

// Every column its own colour, so a scaled or shifted copy shows.
QImage ColumnPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x % 256, 40 + x / 256 * 100, y % 256));
        }
    }
    return image;
}

class SponsorInfoTest : public ::testing::Test {
protected:
    void WriteSponsorFile(const QImage& image)
    {
        ASSERT_TRUE(image.save(QString::fromStdString(m_rig.MsgFile("sponsor.bmp")), "BMP"));
    }

    // What the dialog's picture area shows, as painted.
    static QImage Shown(CSponsorInfoDialog& dialog) { return dialog.PictureArea()->grab().toImage(); }

    CJobRig m_rig;
    CServiceHome m_home {"http://vandu.example:8026"};
    CSponsorInfo m_info;
    CRecordedUrlOpener m_urls;
};

TEST_F(SponsorInfoTest, BuiltInPictureWithoutAFile)
{
    m_info.Attach(*m_rig.Store);
    ASSERT_EQ(m_info.Picture().Width(), 150);
    ASSERT_EQ(m_info.Picture().Height(), 75);

    CSponsorInfoDialog dialog(m_info.Picture(), m_info.MoreInformationAddress(), m_urls);
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(180, 145));
    EXPECT_EQ(dialog.windowTitle(), "Vandu Information");
    // Both buttons, with their whole texts, fit into the narrow dialog.
    for (QPushButton* button : {dialog.MoreInformationButton(), dialog.CancelButton()}) {
        SCOPED_TRACE(button->text().toStdString());
        EXPECT_LE(button->geometry().right(), dialog.width());
        EXPECT_LT(QFontMetrics(button->font()).horizontalAdvance(button->text()), button->width());
    }
    EXPECT_FALSE(dialog.MoreInformationButton()->geometry().intersects(dialog.CancelButton()->geometry()));
    const QImage shown = Shown(dialog);
    const QImage picture = m_info.Picture().Image().convertToFormat(QImage::Format_RGB32);
    for (const QPoint at : {QPoint(0, 0), QPoint(75, 37), QPoint(149, 74)}) {
        EXPECT_EQ(shown.pixel(at), picture.pixel(at)) << at.x() << "," << at.y();
    }
}

TEST_F(SponsorInfoTest, LargePictureIsClippedNotScaled)
{
    const QImage picture = ColumnPicture(300, 100);
    WriteSponsorFile(picture);
    m_info.Attach(*m_rig.Store);
    ASSERT_EQ(m_info.Picture().Width(), 300);

    CSponsorInfoDialog dialog(m_info.Picture(), m_info.MoreInformationAddress(), m_urls);
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(330, 170));
    const QImage shown = Shown(dialog);
    ASSERT_EQ(shown.width(), CSponsorInfoDialog::kPictureAreaWidth);
    const int lastColumn = CSponsorInfoDialog::kPictureAreaWidth - 1;
    for (const QPoint at : {QPoint(0, 0), QPoint(150, 50), QPoint(lastColumn, 99)}) {
        EXPECT_EQ(shown.pixel(at) & 0xFFFFFFu, picture.pixel(at) & 0xFFFFFFu) << at.x() << "," << at.y();
    }
    // Below the picture the area is empty, not a stretched copy.
    EXPECT_NE(shown.pixel(10, 150) & 0xFFFFFFu, picture.pixel(10, 99) & 0xFFFFFFu);
}

TEST_F(SponsorInfoTest, BrokenFileFallsBackAndNewFileIsTakenOnReload)
{
    WriteFile(m_rig.MsgFile("sponsor.bmp"), "BM not really a picture");
    m_info.Attach(*m_rig.Store);
    EXPECT_EQ(m_info.Picture().Width(), 150);
    WriteSponsorFile(ColumnPicture(40, 20));
    m_info.LoadPicture();
    EXPECT_EQ(m_info.Picture().Width(), 40);
    EXPECT_EQ(m_info.Picture().Height(), 20);
}

TEST_F(SponsorInfoTest, MoreInformationOpensTheAddressAndCloses)
{
    m_info.Attach(*m_rig.Store);
    EXPECT_EQ(m_info.MoreInformationAddress(), "http://vandu.example:8026/");
    m_rig.Store->SetSponsorURL("http://sponsor.example/offer?a=1&b=2");
    EXPECT_EQ(m_info.MoreInformationAddress(), "http://sponsor.example/offer?a=1&b=2");

    CSponsorInfoDialog cancelled(m_info.Picture(), m_info.MoreInformationAddress(), m_urls);
    cancelled.show();
    cancelled.CancelButton()->click();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_TRUE(m_urls.Opened().empty());

    // Enter presses the default button.
    CSponsorInfoDialog dialog(m_info.Picture(), m_info.MoreInformationAddress(), m_urls);
    dialog.show();
    EXPECT_EQ(dialog.MoreInformationButton()->text(), "More Information");
    EXPECT_TRUE(dialog.MoreInformationButton()->isDefault());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(m_urls.Opened(), (std::vector<std::string> {"http://sponsor.example/offer?a=1&b=2"}));
}

} // namespace
