#pragma once

#include <string>

#include "translate/controlobserver.h"

namespace qel {

// Where a control's movement goes instead of its keystroke while a simulator link has a
// command for it. Main thread only; called from inside DecodeReport, after the observer
// (a movement the observer swallows reaches no output at all).
class CommandOutput {
public:
    virtual ~CommandOutput() = default;
    // True when this control sends a command now instead of typing its key: the link is up
    // and has a command for it. Asked once per movement that would type.
    [[nodiscard]] virtual bool Claims(ControlEvent event) const = 0;
    // Appends what stands in the log line in place of "Key=('...')" for a claimed control,
    // e.g. "X-Plane=('sim/GPS/g1000n1_softkey3')"; for a rotary, both directions.
    virtual void AppendLogText(std::string& line, ControlEvent event) const = 0;
    // One command of a claimed control: a press (Value 1) or release (Value 0) of a button,
    // pan direction or the pan push; one step (Value +1 or -1) of a rotary. Presses and steps
    // come only while "Enable keys" is on; releases always, so nothing stays held.
    virtual void Send(ControlEvent event) = 0;
};

}  // namespace qel
