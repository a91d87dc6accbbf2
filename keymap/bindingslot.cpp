#include "keymap/bindingslot.h"

#include "base/ascii.h"

#include <cstddef>
#include <string_view>

namespace qel {
namespace {

BindingKind KindOf(ControlKind kind, KnobHalf half) {
    switch (kind) {
        case ControlKind::Button:
            return BindingKind::Button;
        case ControlKind::PanDirection:
            return BindingKind::PanDirection;
        case ControlKind::PanPush:
            return BindingKind::PanPush;
        case ControlKind::Rotary:
            break;
    }
    return half == KnobHalf::Decr ? BindingKind::RotaryDecr : BindingKind::RotaryIncr;
}

// The binding of the slot; null for a unit or slot out of range.
const Binding* BindingAt(UnitId unit, int slot) {
    const std::span<const Binding> bindings = BindingsOf(unit);
    if (slot < 0 || static_cast<std::size_t>(slot) >= bindings.size()) return nullptr;
    return &bindings[static_cast<std::size_t>(slot)];
}

}  // namespace

int BindingSlotCount(UnitId unit) {
    return static_cast<int>(BindingsOf(unit).size());
}

bool IsNamedBindingSlot(UnitId unit, int slot) {
    const Binding* binding = BindingAt(unit, slot);
    return binding != nullptr && !binding->Control.empty();
}

KeyCode* BindingField(UnitStates& units, UnitId unit, int slot) {
    const Binding* binding = BindingAt(unit, slot);
    return binding ? &PlaceOf(units, unit, *binding).Key : nullptr;
}

const KeyCode* BindingField(const UnitStates& units, UnitId unit, int slot) {
    // The mutable lookup only forms an address; nothing is written through it here.
    return BindingField(const_cast<UnitStates&>(units), unit, slot);
}

std::string BindingKeyName(UnitId unit, int slot) {
    const Binding* binding = BindingAt(unit, slot);
    return binding ? binding->KeyName() : std::string();
}

std::string BindingRowLabel(UnitId unit, int slot) {
    return AsciiUppered(BindingKeyName(unit, slot));
}

std::string BindingControlName(UnitId unit, int slot) {
    const Binding* binding = BindingAt(unit, slot);
    return binding ? AsciiUppered(binding->Control) : std::string();
}

std::optional<int> BindingSlotOf(UnitId unit, ControlKind kind, int index, KnobHalf half) {
    if ((kind == ControlKind::Rotary) == (half == KnobHalf::None)) {
        return std::nullopt;
    }
    const BindingKind wanted = KindOf(kind, half);
    // The slot numbering belongs to the binding catalogue; asking it keeps the two in step.
    const std::span<const Binding> bindings = BindingsOf(unit);
    for (std::size_t slot = 0; slot < bindings.size(); ++slot) {
        if (bindings[slot].Kind == wanted && bindings[slot].Index == index) {
            return static_cast<int>(slot);
        }
    }
    return std::nullopt;
}

std::optional<int> BindingSlotOf(ControlEvent event) {
    KnobHalf half = KnobHalf::None;
    if (event.Kind == ControlKind::Rotary) {
        if (event.Value == 0) {
            return std::nullopt;
        }
        half = event.Value > 0 ? KnobHalf::Incr : KnobHalf::Decr;
    }
    return BindingSlotOf(event.Unit, event.Kind, event.Index, half);
}

}  // namespace qel
