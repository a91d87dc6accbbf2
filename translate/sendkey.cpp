#include "translate/sendkey.h"

#include <array>

namespace qel {

namespace {

struct Modifier {
    KeyCode Bit;
    std::uint8_t VirtualKey;
};
// Pressed and released in this same order; the simulator software expects exactly that.
constexpr std::array<Modifier, 3> kModifiers{{
    {kShiftBit, kVkShift},
    {kCtrlBit, kVkControl},
    {kAltBit, kVkMenu},
}};

}  // namespace

void SendKey(KeyInjector& injector, KeyCode code, bool pressed) {
    code &= kKeyCodeMask;
    // The whole keystroke goes out on the press; a release has nothing left to send.
    if (!pressed || code == 0) {
        return;
    }
    for (const Modifier& modifier : kModifiers) {
        if ((code & modifier.Bit) != 0) {
            injector.KeyEvent(modifier.VirtualKey, true);
        }
    }
    const auto virtualKey = static_cast<std::uint8_t>(code & 0xFF);
    injector.KeyEvent(virtualKey, true);
    injector.KeyEvent(virtualKey, false);
    for (const Modifier& modifier : kModifiers) {
        if ((code & modifier.Bit) != 0) {
            injector.KeyEvent(modifier.VirtualKey, false);
        }
    }
}

}  // namespace qel
