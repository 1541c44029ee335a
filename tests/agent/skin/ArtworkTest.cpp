#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinTable.h"
#include "common/StringTable.h"
#include "tests/support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace vandu;

uint32_t Le(const std::string& bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

std::vector<double> Luminance(const QImage& image)
{
    std::vector<double> values;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    // The pattern shows above the LCD and around it; the LCD and banner are covered anyway.
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            if (x >= 24 && x < 196 && y >= 55 && y < 138)
                continue;
            const QRgb c = rgb.pixel(x, y);
            values.push_back(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c));
        }
    return values;
}

// Correlation of the brightness of two faces: close to 1 when one is a tint of the other.
double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    double ma = 0, mb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ma += a[i];
        mb += b[i];
    }
    ma /= a.size();
    mb /= b.size();
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(aa * bb);
}

TEST(Artwork, EveryFaceIsAnEightBitBitmapOfTheWindowSize)
{
    for (const skin::SkinEntry& entry : skin::kSkins) {
        SCOPED_TRACE(entry.faceBitmap);
        const std::string path
            = std::string(VANDU_SOURCE_DIR) + "/resources/bitmaps/" + std::to_string(entry.faceBitmap) + ".bmp";
        const std::string bytes = test::ReadFile(path);
        ASSERT_GT(bytes.size(), 1078u);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(Le(bytes, 14, 4), 40u);
        EXPECT_EQ(Le(bytes, 18, 4), 225u);
        EXPECT_EQ(Le(bytes, 22, 4), 160u);
        EXPECT_EQ(Le(bytes, 28, 2), 8u);
        const uint32_t colours = Le(bytes, 46, 4);
        EXPECT_TRUE(colours == 0 || colours == 256) << colours;

        CSkinBitmap face;
        ASSERT_TRUE(face.LoadFromResource(entry.faceBitmap));
        EXPECT_EQ(face.Image().format(), QImage::Format_Indexed8);
        EXPECT_EQ(face.Palette().size(), 256);
    }
}

TEST(Artwork, NoTwoFacesAreTheSamePicture)
{
    std::vector<QImage> faces;
    for (const skin::SkinEntry& entry : skin::kSkins) {
        CSkinBitmap face;
        ASSERT_TRUE(face.LoadFromResource(entry.faceBitmap));
        faces.push_back(face.Image().convertToFormat(QImage::Format_RGB32));
    }
    for (size_t i = 0; i < faces.size(); ++i)
        for (size_t j = i + 1; j < faces.size(); ++j) {
            SCOPED_TRACE(std::to_string(i) + " vs " + std::to_string(j));
            long differing = 0;
            for (int y = 0; y < faces[i].height(); ++y)
                for (int x = 0; x < faces[i].width(); ++x)
                    differing += (faces[i].pixel(x, y) & 0xFFFFFF) != (faces[j].pixel(x, y) & 0xFFFFFF);
            EXPECT_GT(differing, faces[i].width() * faces[i].height() / 2);
        }
}

TEST(Artwork, PatternedFacesAreNotTintsOfAnotherFace)
{
    std::vector<std::vector<double>> light;
    for (const skin::SkinEntry& entry : skin::kSkins) {
        CSkinBitmap face;
        ASSERT_TRUE(face.LoadFromResource(entry.faceBitmap));
        light.push_back(Luminance(face.Image()));
    }
    // Wood, Light Wood, Stone, American Flag, Cow, Candy, Multicolor, Water.
    for (int patterned : {8, 9, 10, 11, 12, 13, 14, 15})
        for (int other = 0; other < skin::kSkinCount; ++other) {
            if (other == patterned)
                continue;
            SCOPED_TRACE(std::to_string(patterned) + " vs " + std::to_string(other));
            EXPECT_LT(Correlation(light[patterned], light[other]), 0.8);
        }
}

struct Picture {
    int id;
    int width;
    int height;
};

TEST(Artwork, EveryOtherBitmapHasItsSize)
{
    std::vector<Picture> pictures = {
        {face::kOverlayBitmap, 196, 138},
        {162, 165, 58},
        {203, 165, 58},
        {201, 165, 58},
        {face::kVendorBitmap, 165, 16},
        {face::kSponsorBitmap, 150, 75},
        {198, 82, 201},
        {129, 82, 201},
        {224, 7, 7},
        {225, 7, 7},
    };
    for (int id : {211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 223, 238, 239, 268, 269, 270, 271, 272})
        pictures.push_back({id, 0, 0});
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.id);
        CSkinBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadFromResource(picture.id));
        ASSERT_FALSE(bitmap.IsNull());
        EXPECT_EQ(bitmap.Image().format(), QImage::Format_Indexed8);
        if (picture.width != 0) {
            EXPECT_EQ(bitmap.Width(), picture.width);
            EXPECT_EQ(bitmap.Height(), picture.height);
        } else {
            // Buttons stand on white, which the face shows through.
            EXPECT_EQ(bitmap.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
            EXPECT_EQ(bitmap.Image().pixel(bitmap.Width() - 1, bitmap.Height() - 1) & 0xFFFFFF, 0xFFFFFFu);
        }
    }
}

TEST(Artwork, LcdBackgroundsHaveTheBlackTitleLine)
{
    for (int id : face::kLcdBackgrounds) {
        SCOPED_TRACE(id);
        CSkinBitmap lcd;
        ASSERT_TRUE(lcd.LoadFromResource(id));
        for (int x = 0; x < lcd.Width(); ++x) {
            ASSERT_EQ(lcd.Image().pixel(x, face::kLcdTitleLineRow) & 0xFFFFFF, 0u) << x;
            ASSERT_NE(lcd.Image().pixel(x, face::kLcdTitleLineRow + 2) & 0xFFFFFF, 0u) << x;
        }
    }
}

TEST(Artwork, OverlayLeavesTheLcdAndBannerOpen)
{
    CSkinBitmap overlay;
    ASSERT_TRUE(overlay.LoadFromResource(face::kOverlayBitmap));
    const QImage& image = overlay.Image();
    for (const face::Rect& r : {face::kLcdRect, face::kBannerRect})
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
    EXPECT_NE(image.pixel(26, 58) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(Artwork, TrayAndProgramIconsComeInThreeSizes)
{
    for (int id : {face::kProgramIcon, face::kTrayOnlineIcon, face::kTrayOfflineIcon, face::kTrayBlinkIcon0,
             face::kTrayBlinkIcon1})
        for (int size : {16, 32, 64}) {
            SCOPED_TRACE(std::to_string(id) + "-" + std::to_string(size));
            const QImage icon(QStringLiteral(":/icons/%1-%2.png").arg(id).arg(size));
            ASSERT_FALSE(icon.isNull());
            EXPECT_EQ(icon.size(), QSize(size, size));
            EXPECT_TRUE(icon.hasAlphaChannel());
        }
    const QImage online(QStringLiteral(":/icons/167-16.png")), offline(QStringLiteral(":/icons/170-16.png"));
    const QImage blink0(QStringLiteral(":/icons/168-16.png")), blink1(QStringLiteral(":/icons/169-16.png"));
    EXPECT_NE(online, offline);
    EXPECT_NE(blink0, blink1);
}

TEST(Artwork, EveryNamedStringIdHasItsText)
{
    for (int color = 0; color < skin::kSkinCount; ++color) {
        SCOPED_TRACE(color);
        EXPECT_FALSE(strings::LoadResourceString(skin::NameStringForColor(color)).empty());
    }
    EXPECT_EQ(strings::LoadResourceString(skin::NameStringForColor(11)), "American Flag");
    for (const face::ButtonSpec& spec : face::kFaceButtons) {
        SCOPED_TRACE(spec.tooltipString);
        EXPECT_TRUE(strings::HasResourceString(spec.tooltipString));
    }
    EXPECT_EQ(strings::LoadResourceString(strings::IDS_TIP_LOGO), "Double-click here to visit");
    EXPECT_NE(strings::LoadResourceString(strings::IDS_NO_GSM_CODEC).find("GSM 6.10"), std::string::npos);
    EXPECT_EQ(strings::LoadResourceString(strings::IDS_PROPERTIES_CAPTION), "Vandu Properties");
    EXPECT_TRUE(strings::LoadResourceString(57347).empty());
    EXPECT_FALSE(strings::HasResourceString(57347));
}

} // namespace
