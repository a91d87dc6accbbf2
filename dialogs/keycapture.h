#pragma once

#include <cstdint>

#include "translate/keycode.h"

namespace qel {

// The modifiers held with a key press.
struct ModifierState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

// Whether a virtual-key code can be bound on its own: the modifiers (either side) and the
// lock keys cannot.
[[nodiscard]] bool IsMainKey(std::uint8_t virtualKey);

// The binding a key press captures: the main key with the modifier bits held, or 0 while
// only modifiers or lock keys are down (the capture keeps waiting then). Pure.
[[nodiscard]] KeyCode CaptureKeyCode(std::uint8_t virtualKey, ModifierState modifiers);

}  // namespace qel
