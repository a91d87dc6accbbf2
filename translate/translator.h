#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "translate/commandoutput.h"
#include "translate/controlobserver.h"
#include "translate/keygate.h"
#include "translate/keyinjector.h"
#include "translate/keylayout.h"
#include "translate/logline.h"
#include "base/logsink.h"
#include "translate/report.h"
#include "translate/unitstate.h"

namespace qel {

// Which rotaries one bezel report carries.
enum class RotaryHalf { First, Second };  // 0-6 (0xC2), 7-13 (0xC3)

// Turns input reports into unit state changes, keystrokes and log lines.
// Main thread only; borrows everything it is given, which must outlive it.
class InputTranslator {
public:
    // layout writes the key texts of the log lines.
    InputTranslator(UnitStates& units, KeyInjector& injector, LogSink& log, const KeyGate& gate,
                    const KeyLayout& layout);

    // A report of a unit (its product ID mapped by UnitOfProduct); an id that names no unit
    // and any other report type are ignored.
    void DecodeReport(UnitId unit, ReceiveBuffer buffer);

    // The processing passes over the state the decoder stored. An id that names no unit of
    // the pass's kind (bezel 0-3, audio 0-1) is ignored.
    void ProcessBezelButtons(UnitId unit);
    void ProcessBezelRotaries(UnitId unit, RotaryHalf half);
    void ProcessPan(UnitId unit);
    void ProcessAudioRotaries(UnitId unit);
    void ProcessAudioButtons(UnitId unit);

    // Where every control movement is reported, or null for nobody (the default). The
    // observer must stay alive while attached.
    void SetControlObserver(ControlObserver* observer) { Observer = observer; }

    // Where claimed controls send commands instead of keystrokes, or null for keystrokes
    // only (the default: no simulator link). The output must stay alive while attached.
    void SetCommandOutput(CommandOutput* output) { Output = output; }

private:
    // The button rule over one unit's buttons, numbered from 0 in the log.
    void ProcessButtonRun(UnitId unit, std::span<ButtonState> buttons);
    // The step rule over consecutive rotaries, the first one numbered firstNumber in the log.
    void ProcessRotaryRun(UnitId unit, std::span<RotaryState> rotaries, int firstNumber);
    // Tells the observer, if any; true when it swallowed the movement's keystroke.
    [[nodiscard]] bool Swallowed(ControlEvent event) {
        // Nobody watches unless the panel view is open: keep that path straight.
        if (Observer == nullptr) [[likely]] {
            return false;
        }
        return Observer->ControlMoved(event);
    }
    // One edge of a button, the pan push or a pan direction: the observer hears it; a press
    // sends the claiming output's command or types key, and logs place's line; a release types
    // and logs nothing, but lets a held command go.
    void ProcessEdge(ControlEvent event, const ControlPlace& place, KeyCode key);
    // The command output, if one is attached and claims event; else null.
    [[nodiscard]] CommandOutput* ClaimingOutput(ControlEvent event) const {
        if (Output == nullptr) [[likely]] {
            return nullptr;
        }
        return Output->Claims(event) ? Output : nullptr;
    }
    // One keystroke of key, if "Enable keys" allows it.
    void PressKey(KeyCode key);
    // One command of a claimed control, if "Enable keys" allows it (releases always go).
    void SendCommand(CommandOutput& output, ControlEvent event);
    // Logs the line built in Line.
    void LogLine();

    UnitStates& Units;
    KeyInjector& Injector;
    LogSink& Log;
    const KeyGate& Gate;
    const KeyLayout& Layout;
    ControlObserver* Observer = nullptr;
    CommandOutput* Output = nullptr;
    std::string Line;  // reused for every log line, so busy passes do not allocate per line
};

}  // namespace qel
