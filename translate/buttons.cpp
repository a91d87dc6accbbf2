#include "translate/logline.h"
#include "translate/translator.h"

namespace qel {

void InputTranslator::ProcessBezelButtons(int unit) {
    if (IsBezelUnitIndex(unit)) {
        ProcessButtonRun(kBezelLogPrefix, unit, unit,
                         Units.BezelUnits[static_cast<std::size_t>(unit)].Buttons);
    }
}

void InputTranslator::ProcessAudioButtons(int unit) {
    if (IsAudioUnitIndex(unit)) {
        ProcessButtonRun(kAudioLogPrefix, unit, kFirstAudioDeviceIndex + unit,
                         Units.AudioUnits[static_cast<std::size_t>(unit)].Buttons);
    }
}

void InputTranslator::ProcessButtonRun(std::string_view unitPrefix, int unit, int deviceIndex,
                                       std::span<ButtonState> buttons) {
    // Ascending numbers: of two presses in one report the lower number types first.
    for (std::size_t number = 0; number < buttons.size(); ++number) {
        ButtonState& button = buttons[number];
        if (button.Current == button.Previous) {
            continue;
        }
        // The whole keystroke goes out on the press edge; a release sends and logs nothing.
        // Unbound and gated presses are logged too, so the user sees the panel works.
        const int index = static_cast<int>(number);
        ProcessEdge(MakeControlEvent(deviceIndex, ControlKind::Button, index, button.Current),
                    {unitPrefix, unit, kButtonWord, button.Name, index}, button.Key);
        button.Previous = button.Current;
    }
}

}  // namespace qel
