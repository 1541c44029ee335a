#include "agent/lcd/LcdRenderer.h"

#include "agent/lcd/LcdFaceChoice.h"
#include "agent/lcd/MessageText.h"
#include "agent/skin/FaceLayout.h"
#include "agent/skin/SkinBitmap.h"
#include "agent/skin/SkinButton.h"
#include "agent/store/StoredMessage.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// The scroll arrows: bitmap, place in the window, command.
struct ArrowButton {
    int bitmapId;
    int x;
    int y;
    int commandId;
};
constexpr ArrowButton kScrollUpArrow {224, 185, 76, CLcdRenderer::kScrollUpCommand};
constexpr ArrowButton kScrollDownArrow {225, 185, 110, CLcdRenderer::kScrollDownCommand};

// The layout was made for "Arial" in cells of 16 x 6 and 14 x 5 pixels.
constexpr CLcdFont::Cell kLargeCell {16, 6};
constexpr CLcdFont::Cell kSmallCell {14, 5};
constexpr QRgb kInk = 0xff000000;

QImage WhiteImage(int width, int height)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

CLcdRenderer::CLcdRenderer(QWidget* window, const ITimeSource& timeSource, std::function<void(const QRect&)> repaint,
    std::optional<SLcdFaceFile> face)
    : m_window(window)
    , m_timeSource(timeSource)
    , m_repaint(std::move(repaint))
{
    m_wholeRegion = Area();
    m_bodyRegion = QRect(m_left, m_top + kTitleStripHeight, m_width, m_height - kTitleStripHeight);
    m_backdrop = WhiteImage(m_width, m_height);
    m_image = m_backdrop;
    if (!face) {
        face = vandu::lcd::MatchFace(vandu::lcd::kLayoutFamily);
    }
    SetFace(face.value_or(SLcdFaceFile {}));
}

CLcdRenderer::~CLcdRenderer()
{
    // The window may already have deleted its children; QPointer knows.
    delete m_scrollUpButton.data();
    delete m_scrollDownButton.data();
}

void CLcdRenderer::Setup(int left, int top, int width, int height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    m_scrollOffset = 0;
    m_wholeRegion = Area();
    m_bodyRegion = QRect(left, top + kTitleStripHeight, width, std::max(height - kTitleStripHeight, 0));
    SelectFont(false);
    if (m_backdrop.size() != QSize(width, height)) {
        m_backdrop = WhiteImage(width, height);
    }
    m_image = m_backdrop;
    const QPoint origin(left, top);
    const auto create = [this, origin](QPointer<CSkinButton>& button, const ArrowButton& arrow) {
        delete button.data();
        // Parented to the window, which deletes it if it goes first.
        button = new CSkinButton(m_window);
        button->CreateSingle(arrow.bitmapId, &m_backdrop, arrow.x, arrow.y, m_window, arrow.commandId, origin);
    };
    create(m_scrollUpButton, kScrollUpArrow);
    create(m_scrollDownButton, kScrollDownArrow);
}

void CLcdRenderer::SetLcdColour(int value)
{
    if (value < 0 || value >= vandu::face::kLcdBackgroundCount) {
        return;
    }
    CSkinBitmap background;
    background.LoadFromResource(vandu::face::kLcdBackgrounds[value]);
    // Without its picture the LCD still shows its texts, on white.
    m_backdrop = background.IsNull() ? WhiteImage(m_width, m_height)
                                     : background.Image().convertToFormat(QImage::Format_RGB32);
    for (CSkinButton* button : {m_scrollUpButton.data(), m_scrollDownButton.data()}) {
        if (button != nullptr) {
            button->update();
        }
    }
}

void CLcdRenderer::SetFace(const SLcdFaceFile& face)
{
    m_face = face;
    m_largeFont = CLcdFont::Fit(face, kLargeCell);
    m_smallFont = CLcdFont::Fit(face, kSmallCell);
}

int CLcdRenderer::Draw(
    CStoredMessage* message, int number, bool resetScroll, const std::string& statusText, bool statusOverride)
{
    m_drawn.clear();
    int result = 0;
    if (resetScroll) {
        m_scrollOffset = 0;
    }
    const bool status = !statusText.empty();
    std::string text;
    if (status) {
        text = statusText;
        if (!statusOverride) {
            m_scrollOffset = 0;
        }
        for (CSkinButton* button : {m_scrollUpButton.data(), m_scrollDownButton.data()}) {
            if (button != nullptr) {
                button->HideButton();
            }
        }
    } else if (message != nullptr) {
        text = CMessageText::HeaderLine(number, *message, m_timeSource) + message->Text();
    }
    const int x = m_left + 4;
    const int y = m_top + kLineHeight - m_scrollOffset;

    {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, m_backdrop);
    }
    SelectFont(false);
    Wrap(text);

    if (message != nullptr && !message->IsVoice()) {
        UpdateScrollButtons();
        if (!status && !statusOverride && message->Read() == 0) {
            message->SetRead(1);
            result = 1;
        }
    }
    if (message != nullptr && message->IsVoice() && !status) {
        DrawVoice(m_wholeRegion, *message, number, x, y);
        m_wrapped.clear();
    }

    // The header line of a text message is small; the line feed after it selects the large font.
    if (!m_wrapped.empty() && m_wrapped.front() == '#') {
        SelectFont(true);
    }
    DrawWrapped(m_bodyRegion, x, y);
    if (status && !statusOverride) {
        SelectFont(true);
        DrawString(m_bodyRegion, m_left + 80, m_top + 45, CMessageText::ClockText(m_timeSource));
        SelectFont(false);
    }
    Repaint();
    return result;
}

void CLcdRenderer::DrawTitle(const std::string& text)
{
    SelectFont(true);
    DrawString(m_wholeRegion, m_left + 5, m_top, text);
    SelectFont(false);
    Repaint();
}

void CLcdRenderer::ScrollDown(const CStoredMessage* message)
{
    if (message == nullptr) {
        return;
    }
    LayOutForScroll(message);
    if (m_scrollOffset < (LineCount() - 2) * kLineHeight) {
        m_scrollOffset += kLineHeight;
    }
}

void CLcdRenderer::ScrollUp(const CStoredMessage* message)
{
    if (message != nullptr) {
        LayOutForScroll(message);
    }
    if (m_scrollOffset >= kLineHeight) {
        m_scrollOffset -= kLineHeight;
    }
}

void CLcdRenderer::Wrap(const std::string& text)
{
    m_wrapped.clear();
    int running = 0;
    for (char c : text) {
        running += TextWidth(c);
        if (c == '\n') {
            running = 0;
        }
        // The character that overflows starts the next line without counting toward its width.
        if (running > kWrapWidth) {
            running = 0;
            m_wrapped.push_back('\n');
        }
        if (c != '\r') {
            m_wrapped.push_back(c);
        }
    }
}

int CLcdRenderer::LineCount() const
{
    return static_cast<int>(std::count(m_wrapped.begin(), m_wrapped.end(), '\n'));
}

void CLcdRenderer::Paint(QPainter& painter) const
{
    painter.drawImage(m_left, m_top, m_image);
}

int CLcdRenderer::TextWidth(char c) const
{
    // Whole pixels: the fonts are fully hinted, so the pen never needs rounding and lands where
    // the drawing of a whole string would put the character.
    return Selected().Advance(static_cast<unsigned char>(c));
}

void CLcdRenderer::DrawString(const QRect& clip, int x, int y, const std::string& text)
{
    if (text.empty()) {
        return;
    }
    // The pen's y is the top of the character cell; glyphs stand on the baseline below it.
    const QPoint origin(m_left, m_top);
    Selected().Draw(m_image, x - m_left, y - m_top + Selected().Ascent(), clip.translated(-origin), text, kInk);
    m_drawn.push_back({x, y, text, m_smallSelected});
}

void CLcdRenderer::DrawWrapped(const QRect& clip, int x, int y)
{
    for (char c : m_wrapped) {
        if (c == '\n') {
            SelectFont(false);
            y += kLineHeight;
            x = m_left + 4;
            continue;
        }
        DrawString(clip, x, y, std::string(1, c));
        x += TextWidth(c);
    }
}

void CLcdRenderer::DrawVoice(const QRect& clip, const CStoredMessage& message, int number, int x, int y)
{
    SelectFont(true);
    DrawString(clip, x, y, CMessageText::VoiceHeaderLine(number, message, m_timeSource));
    SelectFont(false);
    DrawString(clip, x, y + kLineHeight, CMessageText::VoiceLine());
    DrawString(clip, x, y + 2 * kLineHeight, CMessageText::CallerLine(message));
}

void CLcdRenderer::UpdateScrollButtons()
{
    if (m_scrollUpButton) {
        if (m_scrollOffset > 0) {
            m_scrollUpButton->ShowButton();
            m_scrollUpButton->update();
        } else {
            m_scrollUpButton->HideButton();
        }
    }
    if (m_scrollDownButton) {
        if (m_scrollOffset < (LineCount() - 2) * kLineHeight) {
            m_scrollDownButton->ShowButton();
            m_scrollDownButton->update();
        } else {
            m_scrollDownButton->HideButton();
        }
    }
}

void CLcdRenderer::LayOutForScroll(const CStoredMessage* message)
{
    // Only the header's three line feeds matter for the scroll range.
    SelectFont(false);
    Wrap("\n\n\n" + message->Text());
}

void CLcdRenderer::Repaint()
{
    if (m_repaint) {
        m_repaint(Area());
    } else if (m_window != nullptr) {
        m_window->update(Area());
    }
}
