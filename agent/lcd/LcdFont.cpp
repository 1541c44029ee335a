#include "agent/lcd/LcdFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <utility>

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
constexpr int kLargestStretch = 4000; // QFont's limit, kept so both choose alike
constexpr int kProportionalRounds = 4;

// Hinted fully for a one-bit rendering: what both the advances and the glyph images come from.
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

constexpr unsigned char kTab = 0x09;
constexpr unsigned char kFormFeed = 0x0c;
constexpr unsigned char kNoBreakSpace = 0xa0;
constexpr unsigned char kSoftHyphen = 0xad;

// A font-unit value at a pixel size, in whole pixels, rounded as 64ths first.
int ScaledPixels(long units, int pixelSize, int unitsPerEm)
{
    const long sixtyFourths = std::lround(static_cast<double>(units) * pixelSize * 64 / unitsPerEm);
    return static_cast<int>((sixtyFourths + 32) >> 6);
}

} // namespace

struct CLcdFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    ~Face()
    {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

CLcdFont::CLcdFont() = default;
CLcdFont::~CLcdFont() = default;
CLcdFont::CLcdFont(CLcdFont&& other) noexcept = default;
CLcdFont& CLcdFont::operator=(CLcdFont&& other) noexcept = default;

CLcdFont CLcdFont::Open(const SLcdFaceFile& file, int pixelSize, int stretch)
{
    CLcdFont font;
    auto face = std::make_unique<Face>();
    if (FT_Init_FreeType(&face->library) != 0
        || FT_New_Face(face->library, file.path.c_str(), file.index, &face->face) != 0 || !FT_IS_SCALABLE(face->face)
        || face->face->units_per_EM == 0) {
        return font;
    }
    // The text is Latin-1, which is Unicode's first 256 code points.
    if (FT_Select_Charmap(face->face, FT_ENCODING_UNICODE) != 0) {
        return font;
    }
    font.m_face = std::move(face);
    if (!font.SetSize(pixelSize, stretch)) {
        return CLcdFont();
    }
    return font;
}

CLcdFont CLcdFont::Fit(const SLcdFaceFile& file, Cell cell)
{
    int pixelSize = std::max(cell.height, kSmallestPixelSize);
    CLcdFont font = Open(file, pixelSize, 100);
    if (font.IsNull()) {
        return font;
    }
    while (pixelSize > kSmallestPixelSize && font.Height() > cell.height) {
        font.SetSize(--pixelSize, 100);
    }
    if (cell.averageWidth <= 0) {
        return font;
    }
    const auto averageAt = [&font, pixelSize](int stretch) {
        font.SetSize(pixelSize, stretch);
        return font.DesignAverageWidth();
    };
    // Scaling by the ratio lands on the width at once; the rounds only absorb rounding.
    int stretch = 100;
    double now = font.DesignAverageWidth();
    for (int round = 0; round < kProportionalRounds && now > 0; ++round) {
        const int next
            = std::clamp(static_cast<int>(std::lround(stretch * cell.averageWidth / now)), 1, kLargestStretch);
        if (next == stretch) {
            break;
        }
        stretch = next;
        now = averageAt(stretch);
    }
    if (now <= 0) {
        font.SetSize(pixelSize, 100);
        return font;
    }
    // Advances are kept in whole 64ths of a pixel, so the neighbour on the side of the cell width
    // may come closer still.
    const double error = now - cell.averageWidth;
    const int neighbour = error < 0 ? stretch + 1 : stretch - 1;
    int best = stretch;
    if (error != 0 && neighbour >= 1 && neighbour <= kLargestStretch
        && std::abs(averageAt(neighbour) - cell.averageWidth) < std::abs(error)) {
        best = neighbour;
    }
    font.SetSize(pixelSize, best);
    return font;
}

bool CLcdFont::SetSize(int pixelSize, int stretch)
{
    FT_Face face = m_face->face;
    // A stretch is a narrower or wider em, as Qt sets it: the hinting then works at that width.
    const FT_F26Dot6 height = static_cast<FT_F26Dot6>(pixelSize) * 64;
    const FT_F26Dot6 width = height * stretch / 100;
    if (FT_Set_Char_Size(face, width, height, 72, 72) != 0) {
        return false;
    }
    m_pixelSize = pixelSize;
    m_stretch = stretch;
    m_glyphs = {};

    // Line metrics as Qt takes them: the OS/2 typographic values when the face asks for them, else
    // its Windows ones, else the horizontal header, else FreeType's own; each rounded on its own.
    long ascender = 0;
    long descender = 0;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    constexpr FT_UShort kUseTypoMetrics = 1 << 7;
    if (os2 != nullptr && os2->version != 0xFFFF && (os2->sTypoAscender != 0 || os2->sTypoDescender != 0)
        && (os2->fsSelection & kUseTypoMetrics) != 0) {
        ascender = os2->sTypoAscender;
        descender = -os2->sTypoDescender;
    } else if (os2 != nullptr && os2->version != 0xFFFF && (os2->sTypoAscender != 0 || os2->sTypoDescender != 0)
        && (os2->usWinAscent != 0 || os2->usWinDescent != 0)) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    } else if (hhea != nullptr && (hhea->Ascender != 0 || hhea->Descender != 0)) {
        ascender = hhea->Ascender;
        descender = -hhea->Descender;
    }
    if (ascender != 0 || descender != 0) {
        m_ascent = ScaledPixels(ascender, pixelSize, face->units_per_EM);
        m_descent = ScaledPixels(descender, pixelSize, face->units_per_EM);
    } else {
        m_ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
        m_descent = static_cast<int>((-face->size->metrics.descender + 32) >> 6);
    }
    return true;
}

std::string CLcdFont::Family() const
{
    return m_face && m_face->face->family_name ? m_face->face->family_name : "";
}

std::string CLcdFont::Style() const
{
    return m_face && m_face->face->style_name ? m_face->face->style_name : "";
}

unsigned CLcdFont::GlyphIndex(unsigned char c) const
{
    FT_UInt index = FT_Get_Char_Index(m_face->face, c);
    // A face without a tab or a no-break space shows a space for them.
    if (index == 0 && (c == kTab || c == kNoBreakSpace)) {
        index = FT_Get_Char_Index(m_face->face, ' ');
    }
    return index;
}

const CLcdFont::Glyph& CLcdFont::GlyphFor(unsigned char c) const
{
    Glyph& glyph = m_glyphs[c];
    if (glyph.loaded || !m_face) {
        return glyph;
    }
    glyph.loaded = true;
    FT_Face face = m_face->face;
    if (FT_Load_Glyph(face, GlyphIndex(c), kLoadFlags) != 0) {
        return glyph;
    }
    glyph.advance = static_cast<int>((face->glyph->metrics.horiAdvance + 32) >> 6);
    // A form feed and a soft hyphen take their room but show nothing, as in any Qt text.
    if (c == kFormFeed || c == kSoftHyphen || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0) {
        return glyph;
    }
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < 0) {
        return glyph;
    }
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.pitch = bitmap.pitch;
    glyph.bits.assign(bitmap.buffer, bitmap.buffer + static_cast<size_t>(bitmap.pitch) * bitmap.rows);
    return glyph;
}

int CLcdFont::Advance(unsigned char c) const
{
    return GlyphFor(c).advance;
}

int CLcdFont::Advance(std::string_view text) const
{
    int sum = 0;
    for (char c : text) {
        sum += Advance(static_cast<unsigned char>(c));
    }
    return sum;
}

double CLcdFont::DesignAverageWidth() const
{
    if (!m_face) {
        return 0;
    }
    double sum = 0;
    for (int i = 0; i < kWeightedCount; ++i) {
        FT_Fixed advance = 0;
        const auto c = static_cast<unsigned char>(kWeightedCharacters[i]);
        if (FT_Get_Advance(m_face->face, GlyphIndex(c), FT_LOAD_NO_HINTING, &advance) != 0) {
            return 0;
        }
        // 16.16 pixels, kept in 64ths as Qt keeps design advances.
        sum += kWeights[i] * static_cast<double>(advance >> 10) / 64;
    }
    return sum / kWeightTotal;
}

int CLcdFont::DrawnAverageWidth() const
{
    int sum = 0;
    for (int i = 0; i < kWeightedCount; ++i) {
        sum += kWeights[i] * Advance(static_cast<unsigned char>(kWeightedCharacters[i]));
    }
    return (sum + kWeightTotal / 2) / kWeightTotal;
}

void CLcdFont::Draw(QImage& image, int x, int baseline, const QRect& clip, std::string_view text, QRgb ink) const
{
    const QRect bounds = clip.intersected(image.rect());
    if (bounds.isEmpty()
        || (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32
            && image.format() != QImage::Format_ARGB32_Premultiplied)) {
        return;
    }
    for (char character : text) {
        const Glyph& glyph = GlyphFor(static_cast<unsigned char>(character));
        const int left = x + glyph.left;
        const int top = baseline - glyph.top;
        for (int row = 0; row < glyph.rows; ++row) {
            const int y = top + row;
            if (y < bounds.top() || y > bounds.bottom()) {
                continue;
            }
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint8_t* bits = glyph.bits.data() + static_cast<size_t>(row) * glyph.pitch;
            for (int column = 0; column < glyph.width; ++column) {
                const int px = left + column;
                if (px >= bounds.left() && px <= bounds.right() && (bits[column / 8] & (0x80 >> (column % 8))) != 0) {
                    line[px] = ink;
                }
            }
        }
        x += glyph.advance;
    }
}
