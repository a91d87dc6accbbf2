#pragma once

#include <cstdint>

#include <QImage>

namespace qel {

// Pixels each animation step turns from white to black.
inline constexpr int kPixelsPerStep = 5;

// One step of the logo animation: a generator seeded with seed draws positions (x, then y,
// each the next number modulo the picture's width or height) until count pure white pixels
// (0xFFFFFF) have been found and painted black; other pixels, black ones included, are
// passed over. The search is bounded: after as many fruitless draws as the picture has
// pixels, the next white pixel in row order is taken instead, and when none is left the
// step ends early. The same seed on the same picture gives the same pixels. Returns how
// many pixels turned black: fewer than count means the picture has no white pixel left.
int DarkenWhitePixels(QImage& picture, std::uint32_t seed, int count = kPixelsPerStep);

// Pure white pixels of picture.
[[nodiscard]] int CountWhitePixels(const QImage& picture);

}  // namespace qel
