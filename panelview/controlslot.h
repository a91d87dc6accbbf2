#pragma once

#include <optional>

#include "translate/controlobserver.h"

namespace qel {

// Which of a knob's two bindings; None for every other control.
enum class KnobHalf : std::uint8_t { None, Decr, Incr };

// The binding slot number (as the key settings rows and WriteKey count them) of a control of
// device index 0-5; nothing when the unit has no such binding. Pure; any thread.
[[nodiscard]] std::optional<int> BindingSlotOf(int deviceIndex, ControlKind kind, int index,
                                               KnobHalf half);

// The binding a movement picks: a press, a direction entered, or a knob turned (its half
// from the way it turned). Nothing for a release, and nothing for a position that names no
// control.
[[nodiscard]] std::optional<int> PickedSlot(ControlEvent event);

}  // namespace qel
