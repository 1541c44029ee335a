#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>

class QPainter;

// A skin picture: a bitmap resource (":/bitmaps/<id>.bmp", 8-bit with its colour table) or a .bmp
// file, drawn opaque, from a source offset, or with one colour left transparent.
class CSkinBitmap {
public:
    static constexpr QRgb kWhite = 0xFFFFFF;

    static QString ResourcePath(int id);

    // Replaces the picture by resource id. The loaded flag is set before the attempt, so a missing
    // resource leaves an empty picture that still counts as loaded (it draws nothing).
    bool LoadFromResource(int id);
    // Replaces the picture by a .bmp file (8 or 24 bits); the loaded flag tells whether it worked.
    // The palette stays that of the previous resource, as a 24-bit file brings none.
    bool LoadFromFile(const QString& path);

    void Draw(int x, int y, QPainter& painter) const;
    // Copies the picture from (sourceX, sourceY) on, full width and height; the target clips.
    void DrawFrom(int sourceX, int sourceY, int x, int y, QPainter& painter) const;
    // Copies the picture leaving every pixel of exactly the transparent colour (RGB) untouched.
    void DrawTransparent(QPainter& painter, int x, int y, QRgb transparent = kWhite) const;

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool IsLoaded() const { return m_loaded; }
    bool IsNull() const { return m_image.isNull(); }
    const QImage& Image() const { return m_image; }
    // The colour table of the last 8-bit resource (empty when none had one).
    const QList<QRgb>& Palette() const { return m_palette; }

    // The picture with the transparent colour made fully transparent (for painting and masks).
    static QImage WithTransparentColour(const QImage& image, QRgb transparent);

private:
    QImage m_image;
    QList<QRgb> m_palette;
    bool m_loaded = false;
};
