#include "agent/skin/ShapeRegion.h"

#include "agent/skin/FaceLayout.h"

#include <QPolygon>

bool CShapeRegion::CreateRect(int left, int top, int right, int bottom)
{
    m_region = QRegion(left, top, right - left, bottom - top);
    return true;
}

bool CShapeRegion::CreateEllipse(int left, int top, int right, int bottom)
{
    m_region = QRegion(left, top, right - left, bottom - top, QRegion::Ellipse);
    return true;
}

bool CShapeRegion::CreatePolygon(const QPoint* points, int count, EFillMode fillMode)
{
    if (points == nullptr || count < 3)
        return false;
    QPolygon polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon << points[i];
    m_region = QRegion(polygon, fillMode == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill);
    return true;
}

bool CShapeRegion::Combine(const CShapeRegion& first, const CShapeRegion& second, ECombineMode mode)
{
    if (!first.m_region || (mode != RGN_COPY && !second.m_region))
        return false;
    const QRegion& a = *first.m_region;
    switch (mode) {
    case RGN_AND:
        m_region = a.intersected(*second.m_region);
        return true;
    case RGN_OR:
        m_region = a.united(*second.m_region);
        return true;
    case RGN_XOR:
        m_region = a.xored(*second.m_region);
        return true;
    case RGN_DIFF:
        m_region = a.subtracted(*second.m_region);
        return true;
    case RGN_COPY:
        m_region = a;
        return true;
    }
    return false;
}

QRegion CShapeRegion::BuildMainWindowShape(CShapeRegion& combined, CShapeRegion& ellipse, CShapeRegion& polygon)
{
    using namespace vandu::face;
    ellipse.CreateEllipse(kShapeEllipse.left, kShapeEllipse.top, kShapeEllipse.right, kShapeEllipse.bottom);
    QPoint points[kShapePolygonCount];
    for (int i = 0; i < kShapePolygonCount; ++i)
        points[i] = QPoint(kShapePolygon[i].x, kShapePolygon[i].y);
    polygon.CreatePolygon(points, kShapePolygonCount, ALTERNATE);
    combined.CreateRect(0, 0, 1, 1);
    combined.Combine(ellipse, polygon, RGN_DIFF);
    return *combined.Handle();
}

QRegion CShapeRegion::MainWindowShape()
{
    CShapeRegion combined;
    CShapeRegion ellipse;
    CShapeRegion polygon;
    return BuildMainWindowShape(combined, ellipse, polygon);
}
