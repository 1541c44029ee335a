#pragma once

// A font of the LCD, read straight from its face file with FreeType and fitted to one of the
// LCD's character cells: a line height and an average character width in pixels, as a 16 x 6 or
// 14 x 5 cell of the layout. The average width is the one such cells were measured by: the
// advances of the lower-case letters and the space, weighted by how often they occur in text. (A
// face's own "average width" field is no guide: some faces average it over every glyph they hold,
// which makes a Latin face look a third wider than it draws.)
//
// The pixel size is the largest whose line height fits the cell; the horizontal stretch is the one
// whose unhinted average comes closest to the cell width. Unhinted advances grow in proportion to
// the stretch, so it is computed rather than searched for, then compared with the neighbour on the
// side of the cell width.
//
// Glyphs are hinted fully and drawn one bit per pixel, without kerning: every advance is a whole
// pixel, so text drawn one character at a time lands exactly where a whole string would, with the
// crisp pixels of an LCD. Metrics, advances and glyphs are the ones Qt gives the same face at the
// same size and stretch (QFont with full hinting, no antialiasing, no kerning); the LCD draws
// without Qt's font database because setting that up costs more than all the rest of the window's
// first frame.

#include <QImage>
#include <QRect>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A face as fontconfig names it: a file and the index of the face in it.
struct SLcdFaceFile {
    std::string path;
    int index = 0;

    bool operator==(const SLcdFaceFile&) const = default;
};

class CLcdFont {
public:
    struct Cell {
        int height;
        int averageWidth;
    };

    // A font that measures every character as zero and draws nothing.
    CLcdFont();
    ~CLcdFont();
    CLcdFont(CLcdFont&& other) noexcept;
    CLcdFont& operator=(CLcdFont&& other) noexcept;
    CLcdFont(const CLcdFont&) = delete;
    CLcdFont& operator=(const CLcdFont&) = delete;

    // The face fitted to cell; a null font when the file holds no scalable face.
    static CLcdFont Fit(const SLcdFaceFile& face, Cell cell);
    // The face at a given pixel size and stretch (100 is the face's own width).
    static CLcdFont Open(const SLcdFaceFile& face, int pixelSize, int stretch);

    bool IsNull() const { return m_face == nullptr; }
    std::string Family() const;
    std::string Style() const;
    int PixelSize() const { return m_pixelSize; }
    int Stretch() const { return m_stretch; }

    // Whole pixels above and below the baseline; the line height is their sum.
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }
    // How far the pen moves after character c (a Latin-1 byte).
    int Advance(unsigned char c) const;
    int Advance(std::string_view text) const;

    // The weighted average width from the unhinted advances; the same from the drawn ones, rounded.
    double DesignAverageWidth() const;
    int DrawnAverageWidth() const;

    // Letters text (Latin-1 bytes) in ink onto image with the pen starting at x on the baseline,
    // touching no pixel outside clip.
    void Draw(QImage& image, int x, int baseline, const QRect& clip, std::string_view text, QRgb ink) const;

private:
    struct Glyph {
        bool loaded = false;
        int advance = 0;
        int left = 0;
        int top = 0;
        int width = 0;
        int rows = 0;
        int pitch = 0;
        std::vector<std::uint8_t> bits;
    };
    struct Face;

    bool SetSize(int pixelSize, int stretch);
    const Glyph& GlyphFor(unsigned char c) const;
    unsigned GlyphIndex(unsigned char c) const;

    std::unique_ptr<Face> m_face;
    int m_pixelSize = 0;
    int m_stretch = 100;
    int m_ascent = 0;
    int m_descent = 0;
    mutable std::array<Glyph, 256> m_glyphs;
};
