#pragma once

#include <QByteArray>
#include <QImage>

namespace artgen {

QImage MakeOverlay(); // 181
QImage MakeLcdBackground(int id); // 162, 203, 201
QImage MakeVendorStrip(); // 248
QImage MakeSponsor(); // 131
QImage MakeSidePicture(int id); // 198, 129
QImage MakeButton(int id); // 211-225, 238, 239, 268-272 (white = transparent)
bool IsButtonBitmap(int id);
QImage MakeIcon(int id, int size); // 128, 167-170, with alpha
QByteArray MakeAgentIconSvg(); // 128 as a scalable theme icon

} // namespace artgen
