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
        const ControlEvent event = MakeControlEvent(unit, ControlKind::PanPush, 0, push.Current);
        const ControlPlace place{kBezelLogPrefix, unit, kPanWord, push.Name, kPanPushNumber};
        const bool swallowed = Swallowed(event);
        CommandOutput* output = swallowed ? nullptr : ClaimingOutput(event);
        if (output != nullptr) {
            SendCommand(*output, event);
        }
        if (push.Current != 0) {
            if (output != nullptr) {
                FormatCommandLine(Line, place, *output, event);
            } else {
                if (!swallowed) {
                    PressKey(push.Key);
                }
                FormatControlLine(Line, place, push.Key, Layout);
            }
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
        const ControlEvent left =
            MakeControlEvent(unit, ControlKind::PanDirection, previous - 1, 0);
        if (!Swallowed(left)) {
            if (CommandOutput* output = ClaimingOutput(left)) {
                SendCommand(*output, left);
            }
        }
    }
    if (code >= 1 && code <= kPanDirectionCount) {
        ButtonState& direction = bezel.PanDirections[static_cast<std::size_t>(code - 1)];
        const ControlEvent entered = MakeControlEvent(unit, ControlKind::PanDirection, code - 1, 1);
        const ControlPlace place{kBezelLogPrefix, unit, kPanWord, direction.Name, code};
        const bool swallowed = Swallowed(entered);
        if (CommandOutput* output = swallowed ? nullptr : ClaimingOutput(entered)) {
            SendCommand(*output, entered);
            FormatCommandLine(Line, place, *output, entered);
        } else {
            if (!swallowed) {
                PressKey(direction.Key);
            }
            FormatControlLine(Line, place, direction.Key, Layout);
        }
        LogLine();
    }
    bezel.PreviousDirection = code;
}

}  // namespace qel
