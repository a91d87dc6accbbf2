#include "dialogs/keycapture.h"

#include <algorithm>
#include <array>

namespace qel {
namespace {

// Shift, Ctrl, Alt (generic, left and right), Caps Lock, Num Lock, Scroll Lock.
constexpr std::array<std::uint8_t, 12> kNoMainKey{
    0x10, 0x11, 0x12, 0x14, 0x90, 0x91, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
};

}  // namespace

bool IsMainKey(std::uint8_t virtualKey) {
    return virtualKey != 0 &&
           std::find(kNoMainKey.begin(), kNoMainKey.end(), virtualKey) == kNoMainKey.end();
}

KeyCode CaptureKeyCode(std::uint8_t virtualKey, ModifierState modifiers) {
    if (!IsMainKey(virtualKey)) {
        return 0;
    }
    KeyCode code = virtualKey;
    if (modifiers.Shift) {
        code |= kShiftBit;
    }
    if (modifiers.Ctrl) {
        code |= kCtrlBit;
    }
    if (modifiers.Alt) {
        code |= kAltBit;
    }
    return code;
}

}  // namespace qel
