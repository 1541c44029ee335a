// The pictures the demo service hands out: the committed artwork, in a form the agent loads, and
// what seeding an empty service stores.

#include "server/DemoContent.h"
#include "server/DemoSeeder.h"
#include "server/ServiceStore.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

using namespace vandu::server;

namespace {

uint32_t Le(const std::string& bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    }
    return value;
}

struct Bitmap {
    int width = 0;
    int height = 0;
    int colours = 0; // distinct palette entries the pixels use
};

// Reads an uncompressed 8-bit BMP with its palette the way a bitmap loader would, checking every
// size in its headers against the bytes; fails the test on the first inconsistency.
Bitmap ReadBitmap(const std::string& bmp)
{
    Bitmap result;
    EXPECT_GE(bmp.size(), 54u);
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0) {
        ADD_FAILURE() << "not a BMP file";
        return result;
    }
    const uint32_t offset = Le(bmp, 10, 4);
    const auto width = static_cast<int32_t>(Le(bmp, 18, 4));
    const auto height = static_cast<int32_t>(Le(bmp, 22, 4));
    EXPECT_EQ(Le(bmp, 2, 4), bmp.size());
    EXPECT_EQ(Le(bmp, 14, 4), 40u);
    EXPECT_EQ(Le(bmp, 28, 2), 8u) << "bits per pixel";
    EXPECT_EQ(Le(bmp, 30, 4), 0u) << "compression";
    const uint32_t paletteSize = Le(bmp, 46, 4) == 0 ? 256 : Le(bmp, 46, 4);
    EXPECT_LE(paletteSize, 256u);
    EXPECT_EQ(offset, 14 + 40 + 4 * paletteSize);
    const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
    if (width <= 0 || height <= 0 || offset + stride * static_cast<size_t>(height) != bmp.size()) {
        ADD_FAILURE() << "pixel rows do not fill the file";
        return result;
    }
    std::set<uint32_t> colours;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto index = static_cast<unsigned char>(bmp[offset + y * stride + x]);
            EXPECT_LT(index, paletteSize);
            colours.insert(Le(bmp, 54 + 4 * index, 3));
        }
    }
    result.width = width;
    result.height = height;
    result.colours = static_cast<int>(colours.size());
    return result;
}

} // namespace

TEST(DemoContent, PicturesAreTheCommittedArtworkAsEightBitBitmaps)
{
    const struct {
        const char* name;
        std::string picture;
        const char* file;
        int width;
        int height;
    } rows[] = {
        {"sponsor", CDemoContent::SponsorPicture(), "server/demo/sponsor.bmp", 150, 75},
        {"vendor", CDemoContent::VendorPicture(), "server/demo/vendor.bmp", 165, 16},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.picture, vandu::test::ReadFile(std::string(VANDU_SOURCE_DIR) + "/" + row.file));
        const Bitmap bitmap = ReadBitmap(row.picture);
        EXPECT_EQ(bitmap.width, row.width);
        EXPECT_EQ(bitmap.height, row.height);
        // Shaded artwork, not a few flat bands.
        EXPECT_GE(bitmap.colours, 64);
    }
}

TEST(DemoContent, SeedingAnEmptyServiceStoresThePictures)
{
    vandu::test::TempDir dir;
    CServiceStore store;
    ASSERT_EQ(store.Open(dir.File("service.db")), 0) << store.LastError();
    ASSERT_EQ(CDemoSeeder::Seed(store), 0);
    const auto sponsor = store.FindBanner(kSponsorBanner);
    const auto vendor = store.FindBanner(kVendorBanner);
    ASSERT_TRUE(sponsor.has_value());
    ASSERT_TRUE(vendor.has_value());
    EXPECT_EQ(sponsor->Picture, CDemoContent::SponsorPicture());
    EXPECT_EQ(vendor->Picture, CDemoContent::VendorPicture());
}
