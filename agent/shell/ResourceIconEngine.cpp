#include "agent/shell/ResourceIconEngine.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {

int Area(const QSize& size)
{
    return size.width() * size.height();
}

// What is drawn for a request: never larger than asked for, in the picture's proportions.
QSize FittedSize(QSize picture, const QSize& asked)
{
    if (!picture.isNull() && (picture.width() > asked.width() || picture.height() > asked.height())) {
        picture.scale(asked, Qt::KeepAspectRatio);
    }
    return picture;
}

} // namespace

CResourceIconEngine::CResourceIconEngine(const std::map<int, QString>& fileForSize)
{
    for (const auto& [size, file] : fileForSize) {
        // A resource's existence is known from the resource tree: nothing is decoded.
        if (QFileInfo::exists(file)) {
            m_pictures.append({QSize(size, size), file, {}});
        }
    }
    std::stable_sort(m_pictures.begin(), m_pictures.end(),
        [](const SPicture& a, const SPicture& b) { return Area(a.Size) < Area(b.Size); });
}

CResourceIconEngine::SPicture* CResourceIconEngine::BestFor(const QSize& size)
{
    if (m_pictures.isEmpty()) {
        return nullptr;
    }
    const int wanted = Area(size);
    for (SPicture& picture : m_pictures) {
        if (Area(picture.Size) >= wanted) {
            return &picture;
        }
    }
    return &m_pictures.last();
}

void CResourceIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    const QPaintDevice* device = painter->device();
    const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
    painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
}

QSize CResourceIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    const SPicture* picture = BestFor(size);
    return picture ? FittedSize(picture->Size, size) : QSize();
}

QPixmap CResourceIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    SPicture* picture = BestFor(size);
    if (!picture) {
        return {};
    }
    if (picture->Loaded.isNull()) {
        // The pictures are PNG files: naming the format keeps Qt from loading every image plugin
        // to ask whether it reads them.
        QImageReader reader(picture->File, "png");
        reader.setAutoDetectImageFormat(false);
        picture->Loaded = QPixmap::fromImage(reader.read());
    }
    const QSize drawn = FittedSize(picture->Loaded.size(), size);
    if (drawn == picture->Loaded.size() && mode == QIcon::Normal) {
        return picture->Loaded;
    }
    const auto key = std::make_pair(std::make_pair(size.width(), size.height()), static_cast<int>(mode));
    auto made = m_made.find(key);
    if (made != m_made.end()) {
        return made->second;
    }
    QPixmap result = picture->Loaded;
    if (result.size() != drawn) {
        result = result.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // The pictures are drawn for the normal mode; the style makes the others, as for any icon.
    if (mode != QIcon::Normal) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option(0);
            option.palette = QGuiApplication::palette();
            const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, result, &option);
            if (!generated.isNull()) {
                result = generated;
            }
        }
    }
    m_made.emplace(key, result);
    return result;
}

QList<QSize> CResourceIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    QList<QSize> sizes;
    if (mode == QIcon::Normal && state == QIcon::Off) {
        for (const SPicture& picture : m_pictures) {
            sizes.append(picture.Size);
        }
    }
    return sizes;
}

QString CResourceIconEngine::key() const
{
    return QStringLiteral("CResourceIconEngine");
}

QIconEngine* CResourceIconEngine::clone() const
{
    return new CResourceIconEngine(*this);
}

bool CResourceIconEngine::isNull()
{
    return m_pictures.isEmpty();
}
