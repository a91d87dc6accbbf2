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

// The binding of the slot; null for a device index or slot out of range.
const Binding* BindingAt(int deviceIndex, int slot) {
    const std::span<const Binding> bindings = BindingsOf(deviceIndex);
    if (slot < 0 || static_cast<std::size_t>(slot) >= bindings.size()) return nullptr;
    return &bindings[static_cast<std::size_t>(slot)];
}

}  // namespace

int BindingSlotCount(int deviceIndex) {
    return static_cast<int>(BindingsOf(deviceIndex).size());
}

bool IsNamedBindingSlot(int deviceIndex, int slot) {
    const Binding* binding = BindingAt(deviceIndex, slot);
    return binding != nullptr && !binding->Control.empty();
}

KeyCode* BindingField(UnitStates& units, int deviceIndex, int slot) {
    const Binding* binding = BindingAt(deviceIndex, slot);
    return binding ? &PlaceOf(units, deviceIndex, *binding).Key : nullptr;
}

const KeyCode* BindingField(const UnitStates& units, int deviceIndex, int slot) {
    // The mutable lookup only forms an address; nothing is written through it here.
    return BindingField(const_cast<UnitStates&>(units), deviceIndex, slot);
}

std::string BindingKeyName(int deviceIndex, int slot) {
    const Binding* binding = BindingAt(deviceIndex, slot);
    return binding ? binding->KeyName() : std::string();
}

std::string BindingRowLabel(int deviceIndex, int slot) {
    return AsciiUppered(BindingKeyName(deviceIndex, slot));
}

std::string BindingControlName(int deviceIndex, int slot) {
    const Binding* binding = BindingAt(deviceIndex, slot);
    return binding ? AsciiUppered(binding->Control) : std::string();
}

std::optional<int> BindingSlotOf(int deviceIndex, ControlKind kind, int index, KnobHalf half) {
    if ((kind == ControlKind::Rotary) == (half == KnobHalf::None)) {
        return std::nullopt;
    }
    const BindingKind wanted = KindOf(kind, half);
    // The slot numbering belongs to the binding catalogue; asking it keeps the two in step.
    const std::span<const Binding> bindings = BindingsOf(deviceIndex);
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
    return BindingSlotOf(event.DeviceIndex, event.Kind, event.Index, half);
}

}  // namespace qel
