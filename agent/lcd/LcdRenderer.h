#pragma once

// Draws the LCD area of the main window: the current message or the status line, the title line
// and the clock, plus the two scroll arrows. It paints into its own image of the LCD area on every
// call and asks the window to repaint that rectangle; the window's paint event shows the image
// (Paint). Text goes out one character per draw call so the pen advances by each measured width,
// with fonts fitted to the 16 x 6 and 14 x 5 pixel cells the layout was made for (CLcdFont).

#include "agent/lcd/LcdFont.h"
#include "agent/lcd/TimeSource.h"
#include "agent/store/LcdRendererInterface.h"

#include <QImage>
#include <QPointer>
#include <QRect>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "agent/skin/SkinButton.h"
class QPainter;
class QWidget;

class CLcdRenderer : public ILcdRenderer {
public:
    static constexpr int kLineHeight = 14;
    static constexpr int kWrapWidth = 145;
    static constexpr int kTitleStripHeight = 17; // the body region starts this far below the top
    static constexpr int kScrollUpCommand = 6030;
    static constexpr int kScrollDownCommand = 6031;

    // One draw call, in window coordinates: where the cell's top-left was and what went out.
    struct DrawnText {
        int x;
        int y;
        std::string text;
        bool smallFont;
    };

    // window hosts the scroll arrows and is asked to repaint the LCD rectangle (through repaint
    // when given, else QWidget::update). Both must outlive the renderer. The fonts come from face,
    // or from the face fontconfig gives for the layout's family.
    CLcdRenderer(QWidget* window, const ITimeSource& timeSource, std::function<void(const QRect&)> repaint = {},
        std::optional<SLcdFaceFile> face = std::nullopt);
    ~CLcdRenderer() override;
    CLcdRenderer(const CLcdRenderer&) = delete;
    CLcdRenderer& operator=(const CLcdRenderer&) = delete;

    void Setup(int left, int top, int width, int height) override;
    // 0 green, 1 light blue, 2 amber; any other value keeps the background. The caller repaints.
    void SetLcdColour(int value);
    // Fits both fonts to another face; the caller redraws.
    void SetFace(const SLcdFaceFile& face);
    const SLcdFaceFile& Face() const { return m_face; }
    int Draw(CStoredMessage* message, int number, bool resetScroll, const std::string& statusText,
        bool statusOverride) override;
    void DrawTitle(const std::string& text) override;
    void ScrollUp(const CStoredMessage* message) override;
    void ScrollDown(const CStoredMessage* message) override;

    // Breaks text into lines no wider than the wrap width, measured with the selected font.
    void Wrap(const std::string& text);
    // The number of line feeds in the wrapped text.
    int LineCount() const;
    const std::string& WrappedText() const { return m_wrapped; }
    int ScrollOffset() const { return m_scrollOffset; }

    // Shows the LCD image at its place in the window; for the window's paint event.
    void Paint(QPainter& painter) const;
    QRect Area() const { return QRect(m_left, m_top, m_width, m_height); }
    const QImage& Image() const { return m_image; }
    // The background the texts are drawn on (a plain white one while none could be loaded).
    const QImage& Backdrop() const { return m_backdrop; }
    const CLcdFont& LargeFont() const { return m_largeFont; }
    const CLcdFont& SmallFont() const { return m_smallFont; }
    // Null before Setup.
    CSkinButton* ScrollUpButton() const { return m_scrollUpButton.data(); }
    CSkinButton* ScrollDownButton() const { return m_scrollDownButton.data(); }
    // Everything drawn since the last Draw began (Draw's texts, then titles).
    const std::vector<DrawnText>& Drawn() const { return m_drawn; }

private:
    void SelectFont(bool small) { m_smallSelected = small; }
    const CLcdFont& Selected() const { return m_smallSelected ? m_smallFont : m_largeFont; }
    int TextWidth(char c) const;
    // In window coordinates; nothing lands outside clip.
    void DrawString(const QRect& clip, int x, int y, const std::string& text);
    void DrawWrapped(const QRect& clip, int x, int y);
    void DrawVoice(const QRect& clip, const CStoredMessage& message, int number, int x, int y);
    void UpdateScrollButtons();
    void LayOutForScroll(const CStoredMessage* message);
    void Repaint();

    QWidget* m_window;
    const ITimeSource& m_timeSource;
    std::function<void(const QRect&)> m_repaint;
    QPointer<CSkinButton> m_scrollUpButton;
    QPointer<CSkinButton> m_scrollDownButton;
    int m_left = 29;
    int m_top = 60;
    int m_width = 165;
    int m_height = 58;
    int m_scrollOffset = 0;
    std::string m_wrapped;
    SLcdFaceFile m_face;
    CLcdFont m_largeFont;
    CLcdFont m_smallFont;
    bool m_smallSelected = false;
    QRect m_wholeRegion;
    QRect m_bodyRegion;
    QImage m_backdrop;
    QImage m_image;
    std::vector<DrawnText> m_drawn;
};
