#pragma once

#include <string>

#include "translate/bindings.h"
#include "translate/keycode.h"
#include "translate/unitstate.h"

namespace qel {

// Bindings by their slot number within one unit (see translate/bindings.h), as the key
// settings rows and WriteKey name them.

// Slots of a device index 0-5 (bezel 0-3, audio 4-5); 0 for any other index.
[[nodiscard]] int BindingSlotCount(int deviceIndex);

// Whether the slot is in range and names a control: the unnamed audio positions exist in
// the reports but get no row in the key settings dialog.
[[nodiscard]] bool IsNamedBindingSlot(int deviceIndex, int slot);

// The binding field of the slot in units; null when out of range.
[[nodiscard]] KeyCode* BindingField(UnitStates& units, int deviceIndex, int slot);
[[nodiscard]] const KeyCode* BindingField(const UnitStates& units, int deviceIndex, int slot);

// The slot's keymap.ini key ("nav_in_incr", "range_pan_n", "range_push"; empty for unnamed
// audio positions and for slots out of range).
[[nodiscard]] std::string BindingKeyName(int deviceIndex, int slot);

// The slot's key as the key settings rows and the capture dialog show it: BindingKeyName with
// its letters upper-cased ("NAV_IN_INCR").
[[nodiscard]] std::string BindingRowLabel(int deviceIndex, int slot);

// The slot's control, upper-cased: a knob is named once for both halves ("NAV_IN"). Empty as
// for BindingKeyName.
[[nodiscard]] std::string BindingControlName(int deviceIndex, int slot);

}  // namespace qel
