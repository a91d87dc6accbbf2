#pragma once

#include <span>
#include <string>
#include <string_view>

#include "translate/keycode.h"
#include "translate/units.h"
#include "translate/unitstate.h"

namespace qel {

// The bindings of each unit kind in binding-slot order, as the key settings rows, WriteKey,
// the key map reads and the clearing all number them: bezel 0-39 buttons, 40-67 rotary
// halves (Decr before Incr), 68-75 pan directions n..nw, 76 the pan push; audio 0-31
// button positions, 32-35 rotary halves.

enum class BindingKind { Button, RotaryDecr, RotaryIncr, PanDirection, PanPush };

struct Binding {
    BindingKind Kind = BindingKind::Button;
    int Index = 0;  // button, rotary or pan direction (0 = n); 0 for the push
    // The control's name, which its record carries; empty for the unnamed audio positions.
    std::string_view Control;
    std::string_view Suffix;  // "_decr" or "_incr" for rotary halves, else empty

    // The keymap.ini key: Control + Suffix ("nav_in_incr", "range_pan_n", "range_push").
    [[nodiscard]] std::string KeyName() const {
        std::string key(Control);
        key += Suffix;
        return key;
    }
};

// Every binding of a unit; element i is binding slot i. Empty for an id that names no unit.
[[nodiscard]] std::span<const Binding> BindingsOf(UnitId unit);

// The record a binding belongs to and the field holding its key.
struct BindingPlace {
    std::string& Name;
    KeyCode& Key;
};

// Where binding (one of BindingsOf(unit), so unit names a unit) lives in units.
[[nodiscard]] BindingPlace PlaceOf(UnitStates& units, UnitId unit, const Binding& binding);

// Calls visit(binding, place) for every binding of unit in binding-slot order.
template <typename Visit>
void ForEachBinding(UnitStates& units, UnitId unit, Visit&& visit) {
    for (const Binding& binding : BindingsOf(unit)) {
        visit(binding, PlaceOf(units, unit, binding));
    }
}

}  // namespace qel
