#pragma once

#include <optional>
#include <string>

#include "translate/keycode.h"
#include "translate/unitstate.h"

namespace qel {

// Binding slot numbers within one unit, as the key settings rows and WriteKey use them:
// bezel 0-39 buttons, 40-67 rotary halves ((slot - 40) / 2; even Decr, odd Incr),
// 68-75 pan directions n..nw, 76 the pan push; audio 0-31 button positions,
// 32-35 rotary halves ((slot - 32) / 2; even Decr, odd Incr).

enum class BindingKind { Button, RotaryDecr, RotaryIncr, PanDirection, PanPush };

struct BindingSlot {
    bool Audio = false;
    int Unit = 0;  // bezel unit 0-3 or audio unit 0-1
    BindingKind Kind = BindingKind::Button;
    int Index = 0;  // button, rotary or pan direction (0 = n); 0 for the push
};

// Slots of a device index 0-5 (bezel 0-3, audio 4-5); 0 for any other index.
[[nodiscard]] int BindingSlotCount(int deviceIndex);

// Where slot of deviceIndex lives; nothing for a device index or slot out of range.
[[nodiscard]] std::optional<BindingSlot> FindBindingSlot(int deviceIndex, int slot);

// Whether the slot is in range and names a control: the unnamed audio positions exist in
// the reports but get no row in the key settings dialog.
[[nodiscard]] bool IsNamedBindingSlot(int deviceIndex, int slot);

// The binding field of the slot in units; null when out of range.
[[nodiscard]] KeyCode* BindingField(UnitStates& units, int deviceIndex, int slot);
[[nodiscard]] const KeyCode* BindingField(const UnitStates& units, int deviceIndex, int slot);

// The slot's keymap.ini key, formed from the catalogue ("nav_in_incr", "range_pan_n",
// "range_push"; empty for unnamed audio positions and for slots out of range).
[[nodiscard]] std::string BindingKeyName(int deviceIndex, int slot);

}  // namespace qel
