#pragma once

// What a screen reader finds on the window's face besides the skin buttons: the LCD, the banner
// and the logo corner are drawn by the window itself, so transparent children over them carry
// their names (the LCD's is the text it shows, announced when it changes). Mouse events pass
// through them to the window.

#include "agent/lcd/LcdRenderer.h"

#include <QString>

#include <vector>

class QWidget;

class CFaceAccessibility {
public:
    explicit CFaceAccessibility(QWidget& window);

    void SetBannerName(const QString& name);
    void SetLogoCornerName(const QString& name);
    // The text of what the LCD drew, a line per row; tells assistive technology when it changed.
    void LcdDrawn(const std::vector<CLcdRenderer::DrawnText>& drawn);
    const QString& LcdText() const { return m_lcdText; }

private:
    QWidget* m_lcd;
    QWidget* m_banner;
    QWidget* m_logoCorner;
    QString m_lcdText;
};
