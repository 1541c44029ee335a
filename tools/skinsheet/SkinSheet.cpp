// Contact sheet of the 16 skins: each rendered as the whole main window (outline applied, face,
// LCD overlay, the nine buttons, an LCD with a sample message and its scroll arrow, the vendor
// strip), four by four, at twice the size, with the skin's name under it.
// Usage: vandu_skinsheet <output.png>   (or: cmake --build <build dir> --target skin_contact_sheet)

#include "agent/skin/FaceLayout.h"
#include "agent/skin/ShapeRegion.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinButton.h"
#include "agent/skin/SkinTable.h"
#include "common/StringTable.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace vandu;

// The LCD area with a sample text message, lettered the way the window letters it.
QImage SampleLcd(int lcdColour)
{
    CSkinBitmap background;
    background.LoadFromResource(skin::LcdBackgroundForColor(lcdColour));
    QImage lcd(face::kLcdWidth, face::kLcdHeight, QImage::Format_RGB32);
    QPainter p(&lcd);
    background.Draw(0, 0, p);
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    QFont large(QStringLiteral("Arial"));
    large.setPixelSize(13);
    p.setPen(Qt::black);
    p.setFont(small);
    p.drawText(5, 11, QStringLiteral("ID 4711 J. Doe"));
    p.drawText(4, 27, QStringLiteral("#1 2:05PM 03/15/1999"));
    p.setFont(large);
    p.drawText(4, 41, QStringLiteral("Running late, meet you"));
    p.drawText(4, 55, QStringLiteral("at the station at six."));
    return lcd;
}

class CFacePreview : public QWidget {
public:
    CFacePreview(int color, const QImage& lcd)
        : m_lcd(lcd)
    {
        setFixedSize(face::kWindowWidth, face::kWindowHeight);
        m_face.LoadFromResource(skin::FaceBitmapForColor(color));
        m_overlay.LoadFromResource(face::kOverlayBitmap);
        m_vendor.LoadFromResource(face::kVendorBitmap);
        for (const face::ButtonSpec& spec : face::kFaceButtons) {
            auto button = std::make_unique<CSkinButton>();
            button->Create(spec.normalBitmap, spec.pressedBitmap, &m_face.Image(), spec.position.x, spec.position.y,
                this, spec.command);
            m_buttons.push_back(std::move(button));
        }
        auto arrow = std::make_unique<CSkinButton>();
        const face::ButtonSpec& down = face::kScrollDownButton;
        arrow->CreateSingle(down.normalBitmap, &m_lcd, down.position.x, down.position.y, this, down.command,
            QPoint(face::kLcdRect.left, face::kLcdRect.top));
        m_buttons.push_back(std::move(arrow));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_face.Draw(0, 0, p);
        m_overlay.DrawTransparent(p, 0, 0);
        m_vendor.Draw(face::kBannerRect.left, face::kBannerRect.top, p);
        p.drawImage(face::kLcdRect.left, face::kLcdRect.top, m_lcd);
    }

private:
    CSkinBitmap m_face;
    CSkinBitmap m_overlay;
    CSkinBitmap m_vendor;
    QImage m_lcd;
    std::vector<std::unique_ptr<CSkinButton>> m_buttons;
};

QImage RenderSkin(int color)
{
    CFacePreview preview(color, SampleLcd(color % face::kLcdBackgroundCount));
    QImage window(preview.size(), QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    {
        QPainter p(&window);
        preview.render(&p);
    }
    // Only what the outline lets through is the window. (The preview carries no mask itself:
    // rendering a masked widget moves the picture to the mask's corner.)
    QImage shaped(window.size(), QImage::Format_ARGB32_Premultiplied);
    shaped.fill(Qt::transparent);
    QPainter p(&shaped);
    p.setClipRegion(CShapeRegion::MainWindowShape());
    p.drawImage(0, 0, window);
    return shaped;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vandu_skinsheet <output.png>\n");
        return 2;
    }
    constexpr int kScale = 2, kColumns = 4, kLabel = 28, kGap = 16;
    const int cellW = face::kWindowWidth * kScale + kGap, cellH = face::kWindowHeight * kScale + kLabel + kGap;
    const int rows = (skin::kSkinCount + kColumns - 1) / kColumns;
    QImage sheet(kColumns * cellW + kGap, rows * cellH + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(236, 238, 242));
    QPainter p(&sheet);
    QFont label(QStringLiteral("Liberation Sans"));
    label.setPixelSize(16);
    p.setFont(label);
    for (int color = 0; color < skin::kSkinCount; ++color) {
        const int x = kGap + (color % kColumns) * cellW, y = kGap + (color / kColumns) * cellH;
        const QImage window = RenderSkin(color);
        p.drawImage(QRect(x, y, window.width() * kScale, window.height() * kScale), window);
        const QString name = QString::fromStdString(strings::LoadResourceString(skin::NameStringForColor(color)));
        p.setPen(QColor(40, 44, 52));
        p.drawText(QRect(x, y + window.height() * kScale, window.width() * kScale, kLabel), Qt::AlignCenter,
            QStringLiteral("%1  %2 (%3)").arg(color).arg(name).arg(skin::FaceBitmapForColor(color)));
    }
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
