#pragma once

// Shared helpers of the artwork generator: noise, the window outline, colour quantisation to
// 8-bit pictures and the writers.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;

namespace artgen {

// Smooth value noise in 0..1, and a sum of octaves of it.
double Noise(double x, double y, int seed);
double Fbm(double x, double y, int seed, int octaves);

// The window outline (ellipse minus the wavy cut) in window pixels.
QPainterPath WindowOutline();

QColor Mix(const QColor& a, const QColor& b, double t);

// Liberation Sans at a pixel size, fully hinted.
QFont Sans(int pixelSize, bool bold);
// The little speech bubble with a sound wave that marks the product, in box (square).
void DrawLogo(QPainter& p, const QRectF& box, const QColor& bubble, const QColor& mark);

// Reduces a picture to at most 256 colours (median cut) and returns it as Format_Indexed8 with a
// 256-entry colour table. Pure white keeps its own entry and no other colour maps to it, so white
// stays an exact transparency key.
QImage ToIndexed8(const QImage& image);

// Turns a picture drawn on a transparent canvas into one on a white (transparent) ground: pixels
// of less than half coverage become pure white, the rest become opaque and never pure white.
QImage FlattenOnWhiteKey(const QImage& argb);

bool WriteBitmap(const QImage& image, const QString& path); // 8-bit .bmp
bool WritePng(const QImage& image, const QString& path);

} // namespace artgen
