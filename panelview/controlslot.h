#pragma once

#include <optional>

#include "keymap/bindingslot.h"
#include "translate/controlobserver.h"

namespace qel {

// The binding a movement picks: a press, a direction entered, or a knob turned (its half
// from the way it turned). Nothing for a release, and nothing for a position that names no
// control.
[[nodiscard]] std::optional<int> PickedSlot(ControlEvent event);

}  // namespace qel
