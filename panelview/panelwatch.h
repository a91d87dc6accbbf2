#pragma once

#include <functional>

#include "panelview/panelactivity.h"
#include "translate/controlobserver.h"

namespace qel {

// The panel view's observer on the translator: records every movement for drawing and, while
// "Touch to bind" is on, swallows every keystroke and hands the first movement that picks a
// binding to OnPick. Further movements pick nothing until PickDone. Main thread only.
class PanelWatch final : public ControlObserver {
public:
    // Called from inside the report path with the unit and binding slot picked: it must not
    // open a window there, only arrange for one.
    using PickHandler = std::function<void(UnitId unit, int slot)>;

    PanelWatch(PanelActivity& activity, PickHandler onPick)
        : Activity(activity), OnPick(std::move(onPick)) {}

    bool ControlMoved(ControlEvent event) override;

    // Turning it off also forgets a pick not yet done.
    void SetTouchToBind(bool on);
    [[nodiscard]] bool TouchToBind() const { return Touching; }
    // The binding picked last has been dealt with: the next movement picks again.
    void PickDone() { Picking = false; }

private:
    PanelActivity& Activity;
    PickHandler OnPick;
    bool Touching = false;
    bool Picking = false;
};

}  // namespace qel
