#include "agent/skin/SkinBitmap.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <cstdint>

namespace {

uint32_t LittleEndian(const QByteArray& bytes, int at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

// The BMP reader fills a short file's missing rows with zeros and reports success; a vendor or
// sponsor file cut off in transfer must count as broken so the built-in picture is used instead.
bool HasAllPixelData(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(34);
    if (header.size() < 34 || !header.startsWith("BM"))
        return false;
    const uint32_t offset = LittleEndian(header, 10, 4);
    const uint32_t infoSize = LittleEndian(header, 14, 4);
    if (infoSize < 40)
        return true; // old core headers: leave them to the reader
    const int64_t width = static_cast<int32_t>(LittleEndian(header, 18, 4));
    const int64_t height = static_cast<int32_t>(LittleEndian(header, 22, 4));
    const int64_t bits = LittleEndian(header, 28, 2);
    const uint32_t compression = LittleEndian(header, 30, 4);
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const int64_t stride = (width * bits + 31) / 32 * 4;
    return file.size() >= int64_t(offset) + stride * (height < 0 ? -height : height);
}

} // namespace

QString CSkinBitmap::ResourcePath(int id)
{
    return QStringLiteral(":/bitmaps/%1.bmp").arg(id);
}

bool CSkinBitmap::LoadFromResource(int id)
{
    m_image = QImage();
    m_loaded = true;
    QImageReader reader(ResourcePath(id), "bmp");
    // Our own resources are BMP files: without this Qt loads every image plugin to ask first.
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    // Keep the colour table as the palette; a true-colour resource brings none and keeps the old one.
    if (image.depth() <= 8 && !image.colorTable().isEmpty())
        m_palette = image.colorTable();
    m_image = std::move(image);
    return true;
}

bool CSkinBitmap::LoadFromFile(const QString& path)
{
    m_image = QImage();
    if (HasAllPixelData(path)) {
        QImageReader reader(path, "bmp");
        m_image = reader.read();
    }
    m_loaded = !m_image.isNull();
    return m_loaded;
}

void CSkinBitmap::Draw(int x, int y, QPainter& painter) const
{
    if (!m_image.isNull())
        painter.drawImage(QPoint(x, y), m_image);
}

void CSkinBitmap::DrawFrom(int sourceX, int sourceY, int x, int y, QPainter& painter) const
{
    if (m_image.isNull())
        return;
    const QRect source = QRect(sourceX, sourceY, m_image.width(), m_image.height()).intersected(m_image.rect());
    if (source.isEmpty())
        return;
    // A source offset beyond the left or top edge shifts the target like a clipped blit would.
    const QPoint target(x + (source.x() - sourceX), y + (source.y() - sourceY));
    painter.drawImage(target, m_image, source);
}

void CSkinBitmap::DrawTransparent(QPainter& painter, int x, int y, QRgb transparent) const
{
    if (m_image.isNull())
        return;
    const QPainter::CompositionMode old = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(x, y), WithTransparentColour(m_image, transparent));
    painter.setCompositionMode(old);
}

QImage CSkinBitmap::WithTransparentColour(const QImage& image, QRgb transparent)
{
    const QRgb key = transparent & 0xFFFFFFu;
    if (image.format() == QImage::Format_Indexed8) {
        // Cheap path: clear the alpha of every table entry of that colour.
        QImage copy = image;
        QList<QRgb> table = copy.colorTable();
        for (QRgb& entry : table)
            entry = (entry & 0xFFFFFFu) == key ? 0u : (entry | 0xFF000000u);
        copy.setColorTable(table);
        return copy;
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < argb.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(row));
        for (int column = 0; column < argb.width(); ++column) {
            if ((line[column] & 0xFFFFFFu) == key)
                line[column] = 0;
            else
                line[column] |= 0xFF000000u;
        }
    }
    return argb;
}
