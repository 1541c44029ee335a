#pragma once

#include <QPoint>
#include <QRegion>

#include <optional>

// One window region: empty (no object) until one of the Create operations or Combine makes it.
// Rectangles take left, top, right, bottom with right and bottom excluded, as window regions do.
class CShapeRegion {
public:
    enum ECombineMode { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
    enum EFillMode { ALTERNATE = 1, WINDING = 2 };

    bool CreateRect(int left, int top, int right, int bottom);
    // The ellipse inscribed in the bounding rectangle.
    bool CreateEllipse(int left, int top, int right, int bottom);
    bool CreatePolygon(const QPoint* points, int count, EFillMode fillMode);
    // This region becomes the combination of first and second (copy takes first alone). Returns
    // false and leaves this region unchanged when an input has no object.
    bool Combine(const CShapeRegion& first, const CShapeRegion& second, ECombineMode mode);

    // The region, or null for a missing object.
    const QRegion* Handle() const { return m_region ? &*m_region : nullptr; }
    bool Contains(int x, int y) const { return m_region && m_region->contains(QPoint(x, y)); }

    // The main window's outline (ellipse minus the cut-away polygon) built into the three regions
    // the window keeps; returns the result, ready for QWidget::setMask.
    static QRegion BuildMainWindowShape(CShapeRegion& combined, CShapeRegion& ellipse, CShapeRegion& polygon);
    static QRegion MainWindowShape();

private:
    std::optional<QRegion> m_region;
};
