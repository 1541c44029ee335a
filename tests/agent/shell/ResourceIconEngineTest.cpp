#include "agent/shell/ResourceIconEngine.h"
#include "agent/shell/AgentTray.h"
#include "agent/skin/FaceLayout.h"
#include "tests/support/TestSupport.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <map>
#include <string>

using vandu::test::TempDir;

namespace {

// The icon as QIcon's own engine makes it from the same files, every picture decoded at once.
QIcon EagerIcon(int iconId)
{
    QIcon icon;
    for (int size : CAgentTray::kIconSizes) {
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(iconId).arg(size), QSize(size, size));
    }
    return icon;
}

QImage Picture(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

TEST(ResourceIconEngineTest, DrawsWhatQIconDrawsFromTheSameFilesAtAnySizeRatioAndMode)
{
    const int ids[] = {vandu::face::kProgramIcon, vandu::face::kTrayOnlineIcon, vandu::face::kTrayBlinkIcon1};
    // Sizes with a picture of their own, between two pictures, below the smallest, above the largest.
    const int sizes[] = {16, 20, 24, 30, 48, 50, 96, 8, 128};
    const qreal ratios[] = {1.0, 2.0};
    const QIcon::Mode modes[] = {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected};
    for (int id : ids) {
        const QIcon lazy = CAgentTray::IconFor(id);
        const QIcon eager = EagerIcon(id);
        ASSERT_FALSE(lazy.isNull());
        EXPECT_EQ(lazy.availableSizes(), eager.availableSizes());
        for (int size : sizes) {
            for (qreal ratio : ratios) {
                for (QIcon::Mode mode : modes) {
                    SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size) + " x"
                        + std::to_string(ratio) + " mode " + std::to_string(mode));
                    const QSize asked(size, size);
                    EXPECT_EQ(lazy.actualSize(asked, mode), eager.actualSize(asked, mode));
                    const QPixmap mine = lazy.pixmap(asked, ratio, mode);
                    const QPixmap theirs = eager.pixmap(asked, ratio, mode);
                    EXPECT_EQ(mine.size(), theirs.size());
                    EXPECT_EQ(mine.devicePixelRatio(), theirs.devicePixelRatio());
                    EXPECT_EQ(Picture(mine), Picture(theirs));
                }
            }
        }
    }
}

TEST(ResourceIconEngineTest, PaintingFillsTheRectangleAsQIconDoes)
{
    const QIcon lazy = CAgentTray::IconFor(vandu::face::kTrayOfflineIcon);
    const QIcon eager = EagerIcon(vandu::face::kTrayOfflineIcon);
    for (const QRect& rect : {QRect(0, 0, 22, 22), QRect(3, 5, 40, 40)}) {
        QImage mine(48, 48, QImage::Format_ARGB32_Premultiplied);
        QImage theirs(48, 48, QImage::Format_ARGB32_Premultiplied);
        mine.fill(Qt::transparent);
        theirs.fill(Qt::transparent);
        {
            QPainter painter(&mine);
            lazy.paint(&painter, rect);
        }
        {
            QPainter painter(&theirs);
            eager.paint(&painter, rect);
        }
        EXPECT_EQ(mine, theirs);
    }
}

TEST(ResourceIconEngineTest, PicturesAreReadWhenFirstDrawnAndMissingOnesLeftOut)
{
    TempDir dir;
    std::map<int, QString> files;
    for (int size : {16, 32}) {
        files[size] = QString::fromStdString(dir.File(std::to_string(size) + ".png"));
        QImage picture(size, size, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(files[size]));
    }
    files[64] = QString::fromStdString(dir.File("missing.png"));
    const QIcon icon(new CResourceIconEngine(files));
    EXPECT_EQ(icon.availableSizes(), (QList<QSize> {QSize(16, 16), QSize(32, 32)}));

    // The 32-pixel picture changes after the icon was made: what is drawn is the new one.
    QImage changed(32, 32, QImage::Format_ARGB32);
    changed.fill(Qt::blue);
    ASSERT_TRUE(changed.save(files[32]));
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).toImage().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(icon.pixmap(QSize(16, 16)).toImage().pixelColor(5, 5), QColor(Qt::red));

    EXPECT_TRUE(QIcon(new CResourceIconEngine({{16, QString::fromStdString(dir.File("none.png"))}})).isNull());
    EXPECT_TRUE(CAgentTray::IconFor(9999).isNull());
}

} // namespace
