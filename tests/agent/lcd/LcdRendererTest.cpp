// The LCD renderer drawn offscreen into its image: fonts, positions of every draw call, the read
// flag, wrapping, scrolling and the pixels that come out.

#include "agent/lcd/LcdRenderer.h"

#include "agent/lcd/MessageText.h"
#include "agent/skin/SkinButton.h"
#include "agent/store/StoredMessage.h"
#include "tests/agent/lcd/QtLcdFont.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// 1999-03-15 19:05 UTC unless a test moves it; the machine is five hours west of universal time.
class FixedTime : public ITimeSource {
public:
    std::time_t Now() const override { return now; }
    int BiasMinutes() const override { return 300; }

    std::time_t now = 921524700;
};

constexpr int kLeft = 29;
constexpr int kTop = 60;

CStoredMessage TextMessage(const std::string& text, int read = 0)
{
    return CStoredMessage('1', "3/15/1999", "19:05:00", read, text, 0, "", "", "", "4712", "John", "Smith");
}

CStoredMessage VoiceMessage(const std::string& callerId, int read = 0)
{
    return CStoredMessage('1', "3/15/1999", "19:05:00", read, "", 1, "4711_1.wav", callerId, "", "", "", "");
}

// The columns in which one glyph has ink (pixels darker than half intensity); first > last when
// it has none.
struct GlyphInk {
    char c;
    int first;
    int last;
};

// Draws text onto canvas (LCD coordinates, clipped to clip) one glyph at a time with the pen
// moved by each advance, as the renderer letters the LCD, and returns where each glyph put ink.
std::vector<GlyphInk> DrawGlyphs(
    QImage& canvas, const QRect& clip, const QFont& font, QPoint pen, const std::string& text)
{
    const QFontMetrics metrics(font, &canvas);
    std::vector<GlyphInk> inks;
    for (char c : text) {
        const QString glyph(QChar(static_cast<unsigned char>(c)));
        QImage alone(canvas.size(), QImage::Format_RGB32);
        alone.fill(Qt::white);
        for (QImage* target : {&canvas, &alone}) {
            QPainter painter(target);
            painter.setClipRect(clip);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(pen.x(), pen.y() + metrics.ascent(), glyph);
        }
        GlyphInk ink {c, alone.width(), -1};
        for (int y = 0; y < alone.height(); ++y) {
            for (int x = 0; x < alone.width(); ++x) {
                if (qGray(alone.pixel(x, y)) < 128) {
                    ink.first = std::min(ink.first, x);
                    ink.last = std::max(ink.last, x);
                }
            }
        }
        inks.push_back(ink);
        pen.rx() += metrics.horizontalAdvance(glyph);
    }
    return inks;
}

// The rows [top, top + height) of two LCD images are the same.
bool SameRows(const QImage& a, const QImage& b, int top, int height)
{
    return a.copy(0, top, a.width(), height) == b.copy(0, top, b.width(), height);
}

class LcdRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.resize(234, 169);
        m_renderer = std::make_unique<CLcdRenderer>(&m_window, m_time, [this](const QRect& rect) {
            ++m_repaints;
            m_lastRepaint = rect;
        });
        m_renderer->Setup(kLeft, kTop, 165, 58);
        m_renderer->SetLcdColour(0);
    }

    // The first recorded draw call whose text is exactly this.
    const CLcdRenderer::DrawnText* Find(const std::string& text) const
    {
        for (const auto& drawn : m_renderer->Drawn()) {
            if (drawn.text == text) {
                return &drawn;
            }
        }
        return nullptr;
    }

    // Pixels in window rectangle r (clipped to the LCD) that are pure black in the image but not
    // in the background.
    int InkIn(QRect r) const
    {
        const QImage& image = m_renderer->Image();
        const QImage& backdrop = m_renderer->Backdrop();
        r = r.intersected(m_renderer->Area()).translated(-kLeft, -kTop);
        int ink = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                ink += (image.pixel(x, y) & 0xFFFFFF) == 0 && (backdrop.pixel(x, y) & 0xFFFFFF) != 0;
            }
        }
        return ink;
    }

    // True when every pixel of window rectangle r equals the background.
    bool Untouched(QRect r) const
    {
        const QImage& image = m_renderer->Image();
        const QImage& backdrop = m_renderer->Backdrop();
        r = r.intersected(m_renderer->Area()).translated(-kLeft, -kTop);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (image.pixel(x, y) != backdrop.pixel(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    FixedTime m_time;
    QWidget m_window;
    std::unique_ptr<CLcdRenderer> m_renderer;
    int m_repaints = 0;
    QRect m_lastRepaint;
};

TEST_F(LcdRendererTest, FontsHaveTheCellSizesTheLayoutNeeds)
{
    struct Row {
        const char* name;
        const CLcdFont& font;
        int height;
        int averageWidth;
    };
    const Row rows[] = {{"large", m_renderer->LargeFont(), 16, 6}, {"small", m_renderer->SmallFont(), 14, 5}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The face metric-compatible with the layout's Arial, at its own proportions: a squeezed
        // face makes glyphs touch. (Its OS/2 average width field averages every glyph it holds, so
        // QFontMetrics::averageCharWidth says 8 and 7 here; the cell measures lower-case text.)
        EXPECT_EQ(row.font.Family(), "Liberation Sans");
        EXPECT_EQ(row.font.Height(), row.height);
        EXPECT_EQ(row.font.DrawnAverageWidth(), row.averageWidth);
        EXPECT_GE(row.font.Stretch(), 90);
    }
}

TEST_F(LcdRendererTest, StatusShowsTextAndClockWithArrowsHidden)
{
    const std::string status = "Calls: 0 new\nNo email";
    EXPECT_EQ(m_renderer->Draw(nullptr, 1, false, status, false), 0);
    ASSERT_FALSE(m_renderer->Drawn().empty());
    const auto& first = m_renderer->Drawn().front();
    EXPECT_EQ(first.text, "C");
    EXPECT_EQ(first.x, 33);
    EXPECT_EQ(first.y, 74);
    EXPECT_FALSE(first.smallFont);
    const auto* secondLine = Find("N");
    ASSERT_NE(secondLine, nullptr);
    EXPECT_EQ(secondLine->x, 33);
    EXPECT_EQ(secondLine->y, 88);
    EXPECT_FALSE(secondLine->smallFont);

    const std::string clock = CMessageText::ClockText(m_time);
    EXPECT_EQ(clock, "02:05 Mon 03-15");
    const auto* drawnClock = Find(clock);
    ASSERT_NE(drawnClock, nullptr);
    EXPECT_EQ(drawnClock->x, 109);
    EXPECT_EQ(drawnClock->y, 105);
    EXPECT_TRUE(drawnClock->smallFont);

    EXPECT_FALSE(m_renderer->ScrollUpButton()->IsShown());
    EXPECT_FALSE(m_renderer->ScrollDownButton()->IsShown());
    EXPECT_EQ(m_lastRepaint, QRect(29, 60, 165, 58));

    // Ink where the text and the clock are, none in the title strip or at the right edge.
    EXPECT_GT(InkIn(QRect(33, 77, 60, 11)), 20);
    EXPECT_GT(InkIn(QRect(109, 105, 60, 13)), 20);
    EXPECT_TRUE(Untouched(QRect(29, 60, 165, 14)));
    EXPECT_TRUE(Untouched(QRect(185, 77, 9, 28)));
}

TEST_F(LcdRendererTest, ClockFitsInsideTheLcdOnEveryWeekday)
{
    const CLcdFont& small = m_renderer->SmallFont();
    const int right = m_renderer->Area().right();
    // Monday 1999-12-27 17:58 UTC (12:58 local) and the six days after: every weekday name.
    for (int day = 0; day < 7; ++day) {
        m_time.now = 946317480 + day * 86400;
        const std::string clock = CMessageText::ClockText(m_time);
        SCOPED_TRACE(clock);
        m_renderer->Draw(nullptr, 1, false, "Calls: 0 new\n", false);
        const auto* drawn = Find(clock);
        ASSERT_NE(drawn, nullptr);
        // The last character ends before the LCD's right border, so nothing of it is clipped.
        EXPECT_LT(drawn->x + small.Advance(clock), right);
    }
}

TEST_F(LcdRendererTest, StatusOverrideKeepsScrollAndHidesClock)
{
    CStoredMessage message = TextMessage("1\n2\n3\n4\n5");
    m_renderer->ScrollDown(&message);
    ASSERT_EQ(m_renderer->ScrollOffset(), 14);
    m_renderer->Draw(&message, 1, false, "Sending...", true);
    EXPECT_EQ(m_renderer->ScrollOffset(), 14);
    EXPECT_EQ(Find(CMessageText::ClockText(m_time)), nullptr);
    // The message is not shown at all while a status is.
    EXPECT_EQ(Find("#"), nullptr);
    EXPECT_EQ(message.Read(), 0);
    m_renderer->Draw(&message, 1, false, "Calls: 1 new\n", false);
    EXPECT_EQ(m_renderer->ScrollOffset(), 0);
}

TEST_F(LcdRendererTest, OneLineTextShowsSmallHeaderAndLargeText)
{
    CStoredMessage message = TextMessage("Hi");
    EXPECT_EQ(m_renderer->Draw(&message, 1, true, "", false), 1);
    EXPECT_EQ(m_renderer->WrappedText(), "#1 14:05 03/15/1999\nHi");
    const auto& drawn = m_renderer->Drawn();
    ASSERT_GE(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].text, "#");
    EXPECT_EQ(drawn[0].x, 33);
    EXPECT_EQ(drawn[0].y, 74);
    EXPECT_TRUE(drawn[0].smallFont);
    const auto& h = drawn[drawn.size() - 2];
    EXPECT_EQ(h.text, "H");
    EXPECT_EQ(h.x, 33);
    EXPECT_EQ(h.y, 88);
    EXPECT_FALSE(h.smallFont);
    // Each character advances the pen by its own width.
    EXPECT_EQ(drawn[1].x, 33 + m_renderer->SmallFont().Advance('#'));
    EXPECT_EQ(drawn.back().x, 33 + m_renderer->LargeFont().Advance('H'));

    EXPECT_FALSE(m_renderer->ScrollUpButton()->IsShown());
    EXPECT_FALSE(m_renderer->ScrollDownButton()->IsShown());
    // The header's top rows above the body region are clipped; its lower part and the text show.
    EXPECT_TRUE(Untouched(QRect(29, 60, 165, 17)));
    EXPECT_GT(InkIn(QRect(33, 77, 100, 10)), 20);
    EXPECT_GT(InkIn(QRect(33, 88, 20, 14)), 10);
    EXPECT_TRUE(Untouched(QRect(60, 89, 134, 29)));
}

TEST_F(LcdRendererTest, ShowingMarksOnlyTextMessagesRead)
{
    struct Row {
        const char* name;
        CStoredMessage message;
        std::string status;
        bool statusOverride;
        int expectedResult;
        int expectedRead;
    };
    Row rows[] = {
        {"unread text", TextMessage("Hello"), "", false, 1, 1},
        {"read text", TextMessage("Hello", 1), "", false, 0, 1},
        {"unread voice", VoiceMessage("5551234"), "", false, 0, 0},
        {"text under a status", TextMessage("Hello"), "Calls: 1 new\n", false, 0, 0},
        {"text under an override", TextMessage("Hello"), "Sending...", true, 0, 0},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(m_renderer->Draw(&row.message, 1, false, row.status, row.statusOverride), row.expectedResult);
        EXPECT_EQ(row.message.Read(), row.expectedRead);
    }
}

TEST_F(LcdRendererTest, VoiceMessageHasItsFixedLayout)
{
    struct Row {
        const char* name;
        std::string callerId;
        std::string callerLine;
    };
    const Row rows[] = {{"with caller id", "5551234", "Caller id: 5551234"}, {"without caller id", "", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CStoredMessage message = VoiceMessage(row.callerId);
        m_renderer->Draw(&message, 2, true, "", false);
        const auto& drawn = m_renderer->Drawn();
        ASSERT_EQ(drawn.size(), row.callerLine.empty() ? 2u : 3u);
        EXPECT_EQ(drawn[0].text, "#2 14:05 03/15/1999");
        EXPECT_TRUE(drawn[0].smallFont);
        EXPECT_EQ(drawn[0].y, 74);
        EXPECT_EQ(drawn[1].text, "Voice message ");
        EXPECT_EQ(drawn[1].y, 88);
        EXPECT_FALSE(drawn[1].smallFont);
        if (!row.callerLine.empty()) {
            EXPECT_EQ(drawn[2].text, row.callerLine);
            EXPECT_EQ(drawn[2].y, 102);
        }
        EXPECT_EQ(m_renderer->WrappedText(), "");
        EXPECT_GT(InkIn(QRect(33, 88, 80, 14)), 20);
    }
}

TEST_F(LcdRendererTest, WrapBreaksBeforeTheCharacterThatOverflows)
{
    // A letter of exactly 6 pixels in the large font: 24 fit in 145, the 25th breaks.
    char six = 0;
    for (char c = 'a'; c <= 'z' && six == 0; ++c) {
        if (m_renderer->LargeFont().Advance(static_cast<unsigned char>(c)) == 6) {
            six = c;
        }
    }
    ASSERT_NE(six, 0) << "no lower-case letter of 6 pixels";
    m_renderer->Draw(nullptr, 1, false, "Calls: 0 new\n", false); // selects the large font

    struct Row {
        const char* name;
        std::string text;
        std::string wrapped;
    };
    const std::string s = std::string(1, six);
    auto rep = [&s](int n) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            out += s;
        }
        return out;
    };
    const Row rows[] = {
        // The character that starts a continuation line is not counted, so that line holds 25.
        {"sixty characters", rep(60), rep(24) + "\n" + rep(25) + "\n" + rep(11)},
        {"line feed resets the width", rep(20) + "\n" + rep(20), rep(20) + "\n" + rep(20)},
        {"carriage return dropped", rep(3) + "\r\n" + rep(3), rep(3) + "\n" + rep(3)},
        {"exactly full", rep(24), rep(24)},
        {"empty", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_renderer->Wrap(row.text);
        EXPECT_EQ(m_renderer->WrappedText(), row.wrapped);
    }
    m_renderer->Wrap(rep(60));
    EXPECT_EQ(m_renderer->LineCount(), 2);
}

TEST_F(LcdRendererTest, AdjacentGlyphsStaySeparatedInBothFonts)
{
    // Touching glyphs made "Right click" read "Right dick" and "tomorrow" read "tomonow": in words
    // that can be misread so, a blank column must part every pair; elsewhere no column may hold
    // ink of two neighbours.
    struct Word {
        std::string text;
        bool blankColumnBetween;
    };
    const Word words[] = {{"Right click", false}, {"rn", true}, {"cl", true}, {"tomorrow", true}};
    const QRect lcd(0, 0, 165, 58);
    for (const Word& word : words) {
        for (bool small : {false, true}) {
            SCOPED_TRACE(word.text + (small ? " small" : " large"));
            QImage expected = m_renderer->Backdrop().copy();
            std::vector<GlyphInk> inks;
            int bandTop = 0;
            int bandHeight = 0;
            if (small) {
                // The title line is lettered small, as a whole string.
                m_renderer->Draw(nullptr, 1, false, "-", true);
                m_renderer->DrawTitle(word.text);
                inks = DrawGlyphs(expected, lcd, QtFontLike(m_renderer->SmallFont()), QPoint(5, 0), word.text);
                bandHeight = 14;
            } else {
                // The second line of a text message is lettered large, one character at a time.
                CStoredMessage message = TextMessage(word.text, 1);
                m_renderer->Draw(&message, 1, true, "", false);
                inks = DrawGlyphs(expected, lcd, QtFontLike(m_renderer->LargeFont()), QPoint(4, 28), word.text);
                bandTop = 28;
                bandHeight = 16;
            }
            // What the renderer drew is exactly these glyphs at these places.
            EXPECT_TRUE(SameRows(m_renderer->Image(), expected, bandTop, bandHeight));
            for (size_t i = 0; i + 1 < inks.size(); ++i) {
                const GlyphInk& left = inks[i];
                const GlyphInk& right = inks[i + 1];
                if (left.last < left.first || right.last < right.first) {
                    continue; // a blank has no ink to touch
                }
                SCOPED_TRACE((std::string {left.c, right.c}));
                EXPECT_LT(left.last, right.first);
                if (word.blankColumnBetween) {
                    EXPECT_LT(left.last + 1, right.first);
                }
            }
        }
    }
}

TEST_F(LcdRendererTest, TextWrapsAndStepsLinesAsTheLayoutDoes)
{
    // The metrics of the layout's font decide where a message breaks: about 23 characters of
    // text a line, the character that overflows starting the next one, lines 14 pixels apart.
    CStoredMessage message = TextMessage("Your package arrives tomorrow between 9 and 12.", 1);
    m_renderer->Draw(&message, 1, true, "", false);
    EXPECT_EQ(m_renderer->WrappedText(), "#1 14:05 03/15/1999\nYour package arrives t\nomorrow between 9 and\n 12.");
    EXPECT_EQ(m_renderer->LineCount(), 3);
    std::vector<std::pair<int, int>> lineStarts;
    int previousY = -1;
    for (const auto& drawn : m_renderer->Drawn()) {
        if (drawn.y != previousY) {
            lineStarts.emplace_back(drawn.x, drawn.y);
            previousY = drawn.y;
        }
    }
    const std::vector<std::pair<int, int>> expected {{33, 74}, {33, 88}, {33, 102}, {33, 116}};
    EXPECT_EQ(lineStarts, expected);
}

TEST_F(LcdRendererTest, ScrollMovesByWholeLinesWithinTheText)
{
    // Five lines: four line feeds after wrapping, so the offset can reach (4 + 1) * 14.
    CStoredMessage message = TextMessage("one\ntwo\nthree\nfour\nfive", 1);
    m_renderer->ScrollUp(&message);
    EXPECT_EQ(m_renderer->ScrollOffset(), 0);
    int previous = 0;
    for (int i = 0; i < 10; ++i) {
        m_renderer->ScrollDown(&message);
        const int step = m_renderer->ScrollOffset() - previous;
        EXPECT_TRUE(step == 14 || (step == 0 && previous == 70)) << "step " << step << " at " << previous;
        previous = m_renderer->ScrollOffset();
    }
    EXPECT_EQ(m_renderer->ScrollOffset(), 70);
    for (int i = 0; i < 10; ++i) {
        m_renderer->ScrollUp(&message);
        EXPECT_GE(m_renderer->ScrollOffset(), 0);
    }
    EXPECT_EQ(m_renderer->ScrollOffset(), 0);

    // At 28 the text moves up two lines, and the arrows show what is left each way.
    m_renderer->ScrollDown(&message);
    m_renderer->ScrollDown(&message);
    m_renderer->Draw(&message, 1, false, "", false);
    EXPECT_EQ(m_renderer->Drawn().front().y, 74 - 28);
    EXPECT_TRUE(m_renderer->ScrollUpButton()->IsShown());
    EXPECT_TRUE(m_renderer->ScrollDownButton()->IsShown());
    m_renderer->ScrollDown(&message);
    m_renderer->Draw(&message, 1, false, "", false);
    EXPECT_TRUE(m_renderer->ScrollUpButton()->IsShown());
    EXPECT_FALSE(m_renderer->ScrollDownButton()->IsShown());
    m_renderer->Draw(&message, 1, true, "", false);
    EXPECT_EQ(m_renderer->ScrollOffset(), 0);
    EXPECT_FALSE(m_renderer->ScrollUpButton()->IsShown());
    EXPECT_TRUE(m_renderer->ScrollDownButton()->IsShown());
    EXPECT_TRUE(Untouched(QRect(29, 60, 165, 17)));
}

TEST_F(LcdRendererTest, TitleIsDrawnSmallInTheTitleStrip)
{
    m_renderer->Draw(nullptr, 1, false, "Calls: 0 new\n", false);
    const int before = m_repaints;
    m_renderer->DrawTitle("ID 4711 J. Doe");
    EXPECT_EQ(m_repaints, before + 1);
    const auto* title = Find("ID 4711 J. Doe");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 34);
    EXPECT_EQ(title->y, 60);
    EXPECT_TRUE(title->smallFont);
    EXPECT_GT(InkIn(QRect(34, 60, 70, 14)), 30);
}

TEST_F(LcdRendererTest, LcdColourPicksOneOfThreeBackgrounds)
{
    std::vector<QImage> backgrounds;
    for (int colour = 0; colour < 3; ++colour) {
        SCOPED_TRACE(colour);
        m_renderer->SetLcdColour(colour);
        const QImage backdrop = m_renderer->Backdrop();
        ASSERT_EQ(backdrop.size(), QSize(165, 58));
        // The line under the title strip.
        EXPECT_EQ(backdrop.pixel(0, 14) & 0xFFFFFF, 0u);
        EXPECT_EQ(backdrop.pixel(164, 14) & 0xFFFFFF, 0u);
        for (const QImage& other : backgrounds) {
            EXPECT_NE(backdrop.pixel(80, 40), other.pixel(80, 40));
        }
        backgrounds.push_back(backdrop);
        m_renderer->Draw(nullptr, 1, false, "Calls: 0 new\n", false);
        EXPECT_EQ(m_renderer->Image().pixel(80, 40), backdrop.pixel(80, 40));
    }
    m_renderer->SetLcdColour(3);
    EXPECT_EQ(m_renderer->Backdrop(), backgrounds.back());
    m_renderer->SetLcdColour(-1);
    EXPECT_EQ(m_renderer->Backdrop(), backgrounds.back());
}

} // namespace
