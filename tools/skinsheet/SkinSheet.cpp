// Contact sheet of the 16 skins: each rendered as the whole main window (outline applied, face,
// LCD overlay, the nine buttons, the LCD as the agent's own renderer draws it, the vendor strip),
// four by four, at twice the size, with the skin's name under it. The LCDs show, in turn, a text
// message, a voice message and the status screen with its clock.
// Usage: vandu_skinsheet <output.png>   (or: cmake --build <build dir> --target skin_contact_sheet)

#include "agent/lcd/LcdRenderer.h"
#include "agent/lcd/TimeSource.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/ShapeRegion.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinButton.h"
#include "agent/skin/SkinTable.h"
#include "agent/store/StoredMessage.h"
#include "common/StringTable.h"

#include <QApplication>
#include <QFont>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace vandu;

// A fixed moment, so that the sheet only changes when the drawing does: 1999-03-15 19:05 UTC on a
// machine five hours west of universal time.
class CFixedTime : public ITimeSource {
public:
    std::time_t Now() const override { return 921524700; }
    int BiasMinutes() const override { return 300; }
};

enum class LcdSample { TextMessage, VoiceMessage, Status };

class CFacePreview : public QWidget {
public:
    CFacePreview(int color, int lcdColour, LcdSample sample)
        : m_renderer(this, m_time, [](const QRect&) {})
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
        m_renderer.Setup(face::kLcdRect.left, face::kLcdRect.top, face::kLcdWidth, face::kLcdHeight);
        m_renderer.SetLcdColour(lcdColour);
        Letter(sample);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        m_face.Draw(0, 0, p);
        m_overlay.DrawTransparent(p, 0, 0);
        m_vendor.Draw(face::kBannerRect.left, face::kBannerRect.top, p);
        m_renderer.Paint(p);
    }

private:
    // What the message store would have the renderer draw for each sample: the status first, as
    // when the agent opens its messages, then the sample and the title.
    void Letter(LcdSample sample)
    {
        const std::string status = "Calls: 1 new - 2 old\nNo email";
        CStoredMessage text('1', "3/15/1999", "19:05:00", 0, "Your package arrives tomorrow between 9 and 12.", 3, "",
            "", "", "", "", "");
        CStoredMessage voice('2', "3/15/1999", "18:40:00", 0, "", 1, "", "5550142", "Pat Caller", "", "", "");
        m_renderer.Draw(nullptr, 1, true, status, false);
        switch (sample) {
        case LcdSample::TextMessage:
            m_renderer.Draw(&text, 1, true, "", false);
            break;
        case LcdSample::VoiceMessage:
            m_renderer.Draw(&voice, 2, true, "", false);
            break;
        case LcdSample::Status:
            m_renderer.Draw(nullptr, 1, true, status, false);
            break;
        }
        m_renderer.DrawTitle("ID 5551234567 J. Doe");
    }

    CFixedTime m_time;
    CSkinBitmap m_face;
    CSkinBitmap m_overlay;
    CSkinBitmap m_vendor;
    std::vector<std::unique_ptr<CSkinButton>> m_buttons;
    CLcdRenderer m_renderer;
};

QImage RenderSkin(int color)
{
    const auto sample = static_cast<LcdSample>((color / face::kLcdBackgroundCount) % 3);
    CFacePreview preview(color, color % face::kLcdBackgroundCount, sample);
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
