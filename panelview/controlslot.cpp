#include "panelview/controlslot.h"

#include "keymap/bindingslot.h"
#include "translate/bindings.h"

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

}  // namespace

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

std::optional<int> PickedSlot(ControlEvent event) {
    KnobHalf half = KnobHalf::None;
    if (event.Kind == ControlKind::Rotary) {
        if (event.Value == 0) {
            return std::nullopt;
        }
        half = event.Value > 0 ? KnobHalf::Incr : KnobHalf::Decr;
    } else if (!event.IsPress()) {
        return std::nullopt;
    }
    const std::optional<int> slot = BindingSlotOf(event.DeviceIndex, event.Kind, event.Index, half);
    if (!slot || !IsNamedBindingSlot(event.DeviceIndex, *slot)) {
        return std::nullopt;
    }
    return slot;
}

}  // namespace qel
