#pragma once

#include <QImage>

namespace artgen {

// The pictures the demo service hands out (server/demo/), in the style of the agent's own.
QImage MakeDemoSponsor(); // 150 x 75: a coffee delivery sponsor
QImage MakeDemoVendor(); // 165 x 16: the demo service's vendor strip

} // namespace artgen
