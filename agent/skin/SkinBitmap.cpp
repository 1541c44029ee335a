#include "agent/skin/SkinBitmap.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

QString CSkinBitmap::ResourcePath(int id)
{
    return QStringLiteral(":/bitmaps/%1.bmp").arg(id);
}

bool CSkinBitmap::LoadFromResource(int id)
{
    m_image = QImage();
    m_loaded = true;
    QImageReader reader(ResourcePath(id), "bmp");
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
    QImageReader reader(path, "bmp");
    m_image = reader.read();
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
