#pragma once

// Fits a font to one of the LCD's character cells: a line height and an average character width
// in pixels, as a 16 x 6 or 14 x 5 cell of the layout. The average width is the one such cells
// were measured by: the advances of the lower-case letters and the space, weighted by how often
// they occur in text. (A font's own "average width" field is no guide: some faces average it over
// every glyph they hold, which makes a Latin face look a third wider than it draws.)
//
// The pixel size is the largest whose line height fits the cell; the horizontal stretch is the one
// whose unhinted average comes closest to the cell width. The unhinted advances grow in proportion
// to the stretch, so it is computed rather than searched for, then compared with the neighbour on
// the side of the cell width. Each font measured costs a font-engine lookup (a fontconfig query the
// first time in a process): about five for a cell, where trying every stretch near the answer took
// dozens.
//
// The fonts are hinted fully, unsmoothed and without kerning: the engine then gives every glyph a
// whole-pixel advance, so text drawn one character at a time with the pen moved by each measured
// advance lands exactly where a whole string would, with the crisp pixels of an LCD.

#include <QFont>
#include <QString>

class CCellFontFitter {
public:
    struct Cell {
        int height;
        int averageWidth;
    };

    // The font of family fitted to cell. A family the system lacks gives its replacement (the
    // sans-serif default), fitted the same way.
    QFont Fit(const QString& family, Cell cell);

    // The weighted average width of font from its design advances at its size and stretch.
    static double DesignAverageWidth(const QFont& font);
    // The same from the advances the engine draws with, rounded to whole pixels.
    static int DrawnAverageWidth(const QFont& font);

    // Distinct fonts (size and stretch) the fits so far made the engine load.
    int Lookups() const { return m_lookups; }

private:
    int LineHeight(const QFont& font);
    // The stretch (for font's family and size, already loaded at stretch 100) whose design average
    // width comes closest to averageWidth.
    int FitStretch(QFont font, int averageWidth);

    int m_lookups = 0;
};
