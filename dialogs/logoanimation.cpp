#include "dialogs/logoanimation.h"

#include <random>

namespace qel {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

bool IsWhite(const QImage& picture, int x, int y) {
    return (picture.pixel(x, y) & 0xFFFFFF) == kWhite;
}

// The first white pixel in row order, for when random draws keep missing.
bool DarkenFirstWhite(QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (IsWhite(picture, x, y)) {
                picture.setPixel(x, y, kBlack);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int DarkenWhitePixels(QImage& picture, std::uint32_t seed, int count) {
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0) {
        return 0;
    }
    // minstd_rand gives non-negative 31-bit numbers; seed 0 would be mapped to 1 by it
    // anyway, so every second gives a well-defined sequence.
    std::minstd_rand generator(seed);
    const long long drawLimit = static_cast<long long>(width) * height;
    int darkened = 0;
    for (; darkened < count; ++darkened) {
        bool found = false;
        for (long long draw = 0; draw < drawLimit && !found; ++draw) {
            const int x = static_cast<int>(generator() % static_cast<unsigned>(width));
            const int y = static_cast<int>(generator() % static_cast<unsigned>(height));
            if (IsWhite(picture, x, y)) {
                picture.setPixel(x, y, kBlack);
                found = true;
            }
        }
        if (!found && !DarkenFirstWhite(picture)) {
            break;
        }
    }
    return darkened;
}

int CountWhitePixels(const QImage& picture) {
    int white = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            white += IsWhite(picture, x, y) ? 1 : 0;
        }
    }
    return white;
}

}  // namespace qel
