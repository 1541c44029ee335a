#pragma once

#include <QImage>

namespace artgen {

inline constexpr int kFaceCount = 16;
// Face bitmap resource id of skin index i.
int FaceResourceId(int index);
// The face of skin index i, 225 x 160, true colour.
QImage MakeFace(int index);

} // namespace artgen
