#include "panelview/controlslot.h"

namespace qel {

std::optional<int> PickedSlot(ControlEvent event) {
    if (event.Kind != ControlKind::Rotary && !event.IsPress()) {
        return std::nullopt;
    }
    const std::optional<int> slot = BindingSlotOf(event);
    if (!slot || !IsNamedBindingSlot(event.Unit, *slot)) {
        return std::nullopt;
    }
    return slot;
}

}  // namespace qel
