#include "agent/shell/FaceAccessibility.h"

#include "agent/skin/FaceLayout.h"
#include "common/DisplayText.h"

#include <QAccessible>
#include <QStringList>
#include <QWidget>

#include <limits>

namespace face = vandu::face;

namespace {

QWidget* Area(QWidget& window, const face::Rect& rect)
{
    auto* widget = new QWidget(&window);
    widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->lower();
    return widget;
}

} // namespace

CFaceAccessibility::CFaceAccessibility(QWidget& window)
    : m_lcd(Area(window, face::kLcdRect))
    , m_banner(Area(window, face::kBannerRect))
    , m_logoCorner(Area(window, face::kLogoCornerRect))
{
    m_lcd->setAccessibleDescription(QStringLiteral("Message display"));
}

void CFaceAccessibility::SetBannerName(const QString& name)
{
    m_banner->setAccessibleName(name);
}

void CFaceAccessibility::SetLogoCornerName(const QString& name)
{
    m_logoCorner->setAccessibleName(name);
}

void CFaceAccessibility::LcdDrawn(const std::vector<CLcdRenderer::DrawnText>& drawn)
{
    QStringList lines;
    int lastY = std::numeric_limits<int>::min();
    for (const CLcdRenderer::DrawnText& text : drawn) {
        if (lines.isEmpty() || text.y != lastY) {
            lines.append(QString());
            lastY = text.y;
        }
        lines.last() += DisplayText(text.text);
    }
    const QString text = lines.join(QLatin1Char('\n')).trimmed();
    if (text == m_lcdText) {
        return;
    }
    m_lcdText = text;
    m_lcd->setAccessibleName(text);
    QAccessibleEvent changed(m_lcd, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}
