#pragma once

#include <QImage>

namespace qel {

// The About box's logo, drawn for this program: a display bezel with soft keys and a
// double knob, in black and greys on white. 112 × 112 pixels, 24 bits per pixel
// (QImage::Format_RGB888), mostly pure white.
[[nodiscard]] QImage MakeLogo();

}  // namespace qel
