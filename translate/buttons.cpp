#include "translate/logline.h"
#include "translate/translator.h"

namespace qel {

void InputTranslator::ProcessBezelButtons(UnitId unit) {
    if (BezelUnitState* bezel = Units.BezelOf(unit)) {
        ProcessButtonRun(unit, bezel->Buttons);
    }
}

void InputTranslator::ProcessAudioButtons(UnitId unit) {
    if (AudioUnitState* audio = Units.AudioOf(unit)) {
        ProcessButtonRun(unit, audio->Buttons);
    }
}

void InputTranslator::ProcessButtonRun(UnitId unit, std::span<ButtonState> buttons) {
    // Ascending numbers: of two presses in one report the lower number types first.
    for (std::size_t number = 0; number < buttons.size(); ++number) {
        ButtonState& button = buttons[number];
        if (button.Current == button.Previous) {
            continue;
        }
        // The whole keystroke goes out on the press edge; a release sends and logs nothing.
        // Unbound and gated presses are logged too, so the user sees the panel works.
        const int index = static_cast<int>(number);
        ProcessEdge(MakeControlEvent(unit, ControlKind::Button, index, button.Current),
                    {unit, kButtonWord, button.Name, index}, button.Key);
        button.Previous = button.Current;
    }
}

}  // namespace qel
