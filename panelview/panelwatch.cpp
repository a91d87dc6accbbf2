#include "panelview/panelwatch.h"

#include <optional>

#include "panelview/controlslot.h"

namespace qel {

bool PanelWatch::ControlMoved(ControlEvent event) {
    Activity.Record(event);
    if (!Touching) {
        return false;
    }
    // Everything is swallowed while touching, not only the pick: a knob sends many steps,
    // and any key typed now would land in the capture dialog as the new binding.
    if (!Picking) {
        if (const std::optional<int> slot = PickedSlot(event)) {
            Picking = true;
            if (OnPick) {
                OnPick(event.Unit, *slot);
            }
        }
    }
    return true;
}

void PanelWatch::SetTouchToBind(bool on) {
    Touching = on;
    Picking = false;
}

}  // namespace qel
