#include "translate/logline.h"
#include "translate/rotary_step.h"
#include "translate/translator.h"

namespace qel {

void InputTranslator::ProcessBezelRotaries(UnitId unit, RotaryHalf half) {
    BezelUnitState* bezel = Units.BezelOf(unit);
    if (bezel == nullptr) {
        return;
    }
    const std::span<RotaryState> rotaries = bezel->Rotaries;
    switch (half) {
        case RotaryHalf::First:
            ProcessRotaryRun(unit, rotaries.first<kRotariesPerReport>(), 0);
            break;
        case RotaryHalf::Second:
            ProcessRotaryRun(unit, rotaries.last<kRotariesPerReport>(),
                             kBezelRotaryCount - kRotariesPerReport);
            break;
    }
}

void InputTranslator::ProcessAudioRotaries(UnitId unit) {
    if (AudioUnitState* audio = Units.AudioOf(unit)) {
        ProcessRotaryRun(unit, audio->Rotaries, 0);
    }
}

void InputTranslator::ProcessRotaryRun(UnitId unit, std::span<RotaryState> rotaries,
                                       int firstNumber) {
    int number = firstNumber;
    for (RotaryState& rotary : rotaries) {
        const RotaryStep step = StepRotary(rotary);
        bool swallowed = false;
        // Movement is logged as it arrives, whether or not keys go out; queued steps are not.
        if (step.Movement != 0) {
            const ControlEvent event =
                MakeControlEvent(unit, ControlKind::Rotary, number, step.Movement);
            const ControlPlace place{unit, kRotaryWord, rotary.Name, number};
            swallowed = Swallowed(event);
            if (const CommandOutput* output = swallowed ? nullptr : ClaimingOutput(event)) {
                FormatCommandLine(Line, place, *output, event);
            } else {
                FormatRotaryLine(Line, place, rotary.IncrKey, rotary.DecrKey, Layout);
            }
            LogLine();
        } else if (step.Direction != 0) {
            // A step queued by an earlier movement: the observer may hold it back as well.
            swallowed = Swallowed(MakeControlEvent(unit, ControlKind::Rotary, number, 0));
        }
        const ControlEvent stepEvent =
            MakeControlEvent(unit, ControlKind::Rotary, number, step.Direction);
        CommandOutput* output =
            swallowed || step.Direction == 0 ? nullptr : ClaimingOutput(stepEvent);
        if (swallowed) {
            // The whole movement goes: the step taken now and the steps it queued.
            rotary.Pending = 0;
        } else if (output != nullptr) {
            // One command per step the rule takes, paced as the keystrokes would be.
            SendCommand(*output, stepEvent);
        } else if (step.Direction > 0) {
            PressKey(rotary.IncrKey);
        } else if (step.Direction < 0) {
            PressKey(rotary.DecrKey);
        }
        ++number;
    }
}

}  // namespace qel
