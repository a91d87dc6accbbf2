#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "translate/bindings.h"
#include "translate/controlobserver.h"
#include "translate/keycode.h"
#include "translate/units.h"
#include "translate/unitstate.h"

namespace qel {

// Bindings by their slot number within one unit (see translate/bindings.h), as the key
// settings rows and WriteKey name them.

// Which of a knob's two bindings; None for every other control.
enum class KnobHalf : std::uint8_t { None, Decr, Incr };

// The binding slot number of a control of a unit; nothing when the unit has no such binding
// (or the id names no unit). Pure; any thread.
[[nodiscard]] std::optional<int> BindingSlotOf(UnitId unit, ControlKind kind, int index,
                                               KnobHalf half);
// The slot an event acts on: a knob's half from the way it turned (nothing when it did not),
// every other control's whether pressed or released.
[[nodiscard]] std::optional<int> BindingSlotOf(ControlEvent event);

// Slots of a unit (bezel 77, audio 36); 0 for an id that names no unit.
[[nodiscard]] int BindingSlotCount(UnitId unit);

// Whether the slot is in range and names a control: the unnamed audio positions exist in
// the reports but get no row in the key settings dialog.
[[nodiscard]] bool IsNamedBindingSlot(UnitId unit, int slot);

// The binding field of the slot in units; null when the unit or slot is out of range.
[[nodiscard]] KeyCode* BindingField(UnitStates& units, UnitId unit, int slot);
[[nodiscard]] const KeyCode* BindingField(const UnitStates& units, UnitId unit, int slot);

// The slot's keymap.ini key ("nav_in_incr", "range_pan_n", "range_push"; empty for unnamed
// audio positions and for slots out of range).
[[nodiscard]] std::string BindingKeyName(UnitId unit, int slot);

// The slot's key as the key settings rows and the capture dialog show it: BindingKeyName with
// its letters upper-cased ("NAV_IN_INCR").
[[nodiscard]] std::string BindingRowLabel(UnitId unit, int slot);

// The slot's control, upper-cased: a knob is named once for both halves ("NAV_IN"). Empty as
// for BindingKeyName.
[[nodiscard]] std::string BindingControlName(UnitId unit, int slot);

}  // namespace qel
