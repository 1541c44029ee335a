#pragma once

// The QFont that draws what a CLcdFont draws, through Qt's own font database and engine: the
// reference the LCD's lettering is checked against.

#include "agent/lcd/LcdFont.h"

#include <QFont>
#include <QString>

inline QFont QtFontLike(const CLcdFont& font)
{
    QFont qt(QString::fromStdString(font.Family()));
    qt.setStyleName(QString::fromStdString(font.Style()));
    qt.setStyleStrategy(QFont::NoAntialias);
    qt.setHintingPreference(QFont::PreferFullHinting);
    qt.setKerning(false);
    qt.setPixelSize(font.PixelSize());
    qt.setStretch(font.Stretch());
    return qt;
}
