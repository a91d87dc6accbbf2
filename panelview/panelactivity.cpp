#include "panelview/panelactivity.h"

#include <algorithm>
#include <numeric>

namespace qel {

const PanelActivity::UnitActivity* PanelActivity::UnitAt(UnitId unit) const {
    if (!unit.IsValid()) {
        return nullptr;
    }
    return &Units[static_cast<std::size_t>(unit.DeviceIndex())];
}

void PanelActivity::Record(ControlEvent event) {
    if (UnitAt(event.Unit) == nullptr || event.Index < 0) {
        return;
    }
    UnitActivity& unit = Units[static_cast<std::size_t>(event.Unit.DeviceIndex())];
    const auto index = static_cast<std::size_t>(event.Index);
    switch (event.Kind) {
        case ControlKind::Button:
            if (index < unit.Buttons.size()) {
                unit.Buttons[index] = event.Value != 0;
            }
            break;
        case ControlKind::PanDirection:
            if (event.Value != 0) {
                unit.Direction = event.Index;
            } else if (unit.Direction == event.Index) {
                unit.Direction = -1;
            }
            break;
        case ControlKind::PanPush:
            unit.Push = event.Value != 0;
            break;
        case ControlKind::Rotary: {
            if (index >= unit.Knobs.size() || event.Value == 0) {
                return;
            }
            KnobFlash& knob = unit.Knobs[index];
            const int direction = event.Value > 0 ? 1 : -1;
            SlideCount(knob);
            // A turn the other way starts a new count.
            if (knob.Direction != direction) {
                knob.Direction = direction;
                knob.Steps = {};
            }
            knob.Steps[static_cast<std::size_t>(knob.Slice % kCountSlices)] +=
                event.Value > 0 ? event.Value : -event.Value;
            knob.LastStepMs = NowMs;
            break;
        }
    }
    Changed = true;
}

bool PanelActivity::SlideCount(KnobFlash& knob) const {
    const std::int64_t slice = NowMs / kSliceMs;
    bool dropped = false;
    // Slices between the newest and now are emptied; beyond a whole window, all of them.
    for (std::int64_t s = std::max(knob.Slice + 1, slice - kCountSlices + 1); s <= slice; ++s) {
        int& steps = knob.Steps[static_cast<std::size_t>(s % kCountSlices)];
        dropped |= steps != 0;
        steps = 0;
    }
    knob.Slice = std::max(knob.Slice, slice);
    return dropped;
}

void PanelActivity::Tick(std::int64_t nowMs) {
    NowMs = nowMs;
    for (UnitActivity& unit : Units) {
        for (KnobFlash& knob : unit.Knobs) {
            if (knob.Direction == 0) {
                continue;
            }
            if (NowMs - knob.LastStepMs >= kFlashMs) {
                knob = KnobFlash{};
                Changed = true;
            } else {
                Changed |= SlideCount(knob);
            }
        }
    }
}

bool PanelActivity::TakeChanged() {
    const bool changed = Changed;
    Changed = false;
    return changed;
}

void PanelActivity::Clear() {
    Units = {};
    Changed = true;
}

bool PanelActivity::IsLit(UnitId unit, ControlKind kind, int index, KnobHalf half) const {
    const UnitActivity* activity = UnitAt(unit);
    if (activity == nullptr || index < 0) {
        return false;
    }
    const auto at = static_cast<std::size_t>(index);
    switch (kind) {
        case ControlKind::Button:
            return at < activity->Buttons.size() && activity->Buttons[at];
        case ControlKind::PanDirection:
            return activity->Direction == index;
        case ControlKind::PanPush:
            return activity->Push;
        case ControlKind::Rotary:
            break;
    }
    if (at >= activity->Knobs.size()) {
        return false;
    }
    const int direction = activity->Knobs[at].Direction;
    return (half == KnobHalf::Incr && direction > 0) || (half == KnobHalf::Decr && direction < 0);
}

int PanelActivity::FlashSteps(UnitId unit, int knob) const {
    const UnitActivity* activity = UnitAt(unit);
    if (activity == nullptr || knob < 0 ||
        static_cast<std::size_t>(knob) >= activity->Knobs.size()) {
        return 0;
    }
    const auto& steps = activity->Knobs[static_cast<std::size_t>(knob)].Steps;
    return std::accumulate(steps.begin(), steps.end(), 0);
}

}  // namespace qel
