#pragma once

// An icon drawn at several sizes, one PNG file per size, that decodes a file only when a
// pixmap of that size is first asked for. QIcon::addFile decodes every file it is given at once;
// the agent makes a window icon and a tray icon at start-up and changes the tray icon with each
// blink, and most of those pictures are never shown. What it draws is what QIcon's own engine
// draws from the same files: the smallest picture at least as large as asked for, scaled down
// smoothly when larger, else the largest; other modes made by the style.

#include <QIconEngine>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <map>
#include <utility>

class CResourceIconEngine : public QIconEngine {
public:
    // fileForSize maps each size to its PNG file; sizes whose file is missing are left out.
    explicit CResourceIconEngine(const std::map<int, QString>& fileForSize);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;
    bool isNull() override;

private:
    struct SPicture {
        QSize Size;
        QString File;
        QPixmap Loaded;
    };

    // The picture drawn for a request of size (see above); null without pictures.
    SPicture* BestFor(const QSize& size);

    // Ascending by area.
    QList<SPicture> m_pictures;
    // Pixmaps already scaled or made for another mode, by requested size and mode.
    std::map<std::pair<std::pair<int, int>, int>, QPixmap> m_made;
};
