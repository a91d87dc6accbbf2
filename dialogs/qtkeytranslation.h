#pragma once

#include <cstdint>

#include <Qt>

#include "dialogs/keycapture.h"

namespace qel {

// The Windows virtual-key code of a Qt key, as the key's position on a US keyboard gives
// it: letters and digits as themselves, shifted characters as their unshifted key ('!' is
// '1', ':' is 0xBA), numeric keypad digits and operators (marked by Qt::KeypadModifier) as
// the NUMPAD codes, Backtab as Tab. 0 for a key with no virtual-key code. Pure.
[[nodiscard]] std::uint8_t QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);

// Shift, Ctrl and Alt of Qt's modifier state; Meta and the keypad flag play no part.
[[nodiscard]] ModifierState QtModifiersToState(Qt::KeyboardModifiers modifiers);

}  // namespace qel
