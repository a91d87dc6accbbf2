#include <utility>

#include "translate/logline.h"
#include "translate/translator.h"

namespace qel {

void InputTranslator::ProcessPan(UnitId unit) {
    BezelUnitState* found = Units.BezelOf(unit);
    if (found == nullptr) {
        return;
    }
    BezelUnitState& bezel = *found;

    // The push before the direction: a push while pointing logs first.
    ButtonState& push = bezel.PanPush;
    if (push.Current != push.Previous) {
        ProcessEdge(MakeControlEvent(unit, ControlKind::PanPush, 0, push.Current),
                    {unit, kPanWord, push.Name, kPanPushNumber}, push.Key);
        push.Previous = push.Current;
    }

    const std::int32_t code = bezel.CurrentDirection;
    if (code == bezel.PreviousDirection) {
        return;
    }
    // Leaving a direction types nothing: its whole keystroke went out on entering it. Codes
    // outside 1..8 (only a record written by hand can hold one) count as centred.
    const std::int32_t previous = bezel.PreviousDirection;
    for (const auto& [direction, entered] : {std::pair{previous, 0}, std::pair{code, 1}}) {
        if (direction >= 1 && direction <= kPanDirectionCount) {
            const ButtonState& state = bezel.PanDirections[static_cast<std::size_t>(direction - 1)];
            ProcessEdge(MakeControlEvent(unit, ControlKind::PanDirection, direction - 1, entered),
                        {unit, kPanWord, state.Name, direction}, state.Key);
        }
    }
    bezel.PreviousDirection = code;
}

}  // namespace qel
