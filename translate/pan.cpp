#include "translate/logline.h"
#include "translate/translator.h"

namespace qel {

void InputTranslator::ProcessPan(int unit) {
    if (!IsBezelUnitIndex(unit)) {
        return;
    }
    BezelUnitState& bezel = Units.BezelUnits[static_cast<std::size_t>(unit)];

    // The push before the direction: a push while pointing logs first.
    ButtonState& push = bezel.PanPush;
    if (push.Current != push.Previous) {
        const bool swallowed =
            Swallowed(MakeControlEvent(unit, ControlKind::PanPush, 0, push.Current));
        if (push.Current != 0) {
            if (!swallowed) {
                PressKey(push.Key);
            }
            FormatControlLine(Line, {kBezelLogPrefix, unit, kPanWord, push.Name, kPanPushNumber},
                              push.Key, Layout);
            LogLine();
        }
        push.Previous = push.Current;
    }

    const std::int32_t code = bezel.CurrentDirection;
    if (code == bezel.PreviousDirection) {
        return;
    }
    // Leaving a direction sends nothing: its whole keystroke went out on entering it.
    // Codes outside 1..8 (only a record written by hand can hold one) count as centred.
    const std::int32_t previous = bezel.PreviousDirection;
    if (previous >= 1 && previous <= kPanDirectionCount) {
        static_cast<void>(
            Swallowed(MakeControlEvent(unit, ControlKind::PanDirection, previous - 1, 0)));
    }
    if (code >= 1 && code <= kPanDirectionCount) {
        ButtonState& direction = bezel.PanDirections[static_cast<std::size_t>(code - 1)];
        if (!Swallowed(MakeControlEvent(unit, ControlKind::PanDirection, code - 1, 1))) {
            PressKey(direction.Key);
        }
        FormatControlLine(Line, {kBezelLogPrefix, unit, kPanWord, direction.Name, code},
                          direction.Key, Layout);
        LogLine();
    }
    bezel.PreviousDirection = code;
}

}  // namespace qel
