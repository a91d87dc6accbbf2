#include "translate/translator.h"

#include "translate/logline.h"
#include "translate/sendkey.h"

namespace qel {

namespace {
// Longest line: prefix, unit, word, a 15-character name and two 24-character key texts.
constexpr std::size_t kLineCapacity = 128;
}  // namespace

InputTranslator::InputTranslator(UnitStates& units, KeyInjector& injector, LogSink& log,
                                 const KeyGate& gate, const KeyLayout& layout)
    : Units(units), Injector(injector), Log(log), Gate(gate), Layout(layout) {
    Line.reserve(kLineCapacity);
}

void InputTranslator::PressKey(KeyCode key) {
    // Asked before every keystroke: the gate may close between two controls of one pass.
    if (Gate.KeysEnabled()) {
        SendKey(Injector, key, true);
    }
}

void InputTranslator::ProcessEdge(ControlEvent event, const ControlPlace& place, KeyCode key) {
    const bool swallowed = Swallowed(event);
    CommandOutput* output = swallowed ? nullptr : ClaimingOutput(event);
    if (output != nullptr) {
        SendCommand(*output, event);
    }
    if (event.Value == 0) {
        return;
    }
    if (output != nullptr) {
        FormatCommandLine(Line, place, *output, event);
    } else {
        if (!swallowed) {
            PressKey(key);
        }
        FormatControlLine(Line, place, key, Layout);
    }
    LogLine();
}

void InputTranslator::SendCommand(CommandOutput& output, ControlEvent event) {
    const bool release = event.Kind != ControlKind::Rotary && event.Value == 0;
    if (release || Gate.KeysEnabled()) {
        output.Send(event);
    }
}

void InputTranslator::LogLine() {
    Log.AppendLine(Line);
}

}  // namespace qel
