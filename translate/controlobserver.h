#pragma once

#include <cstdint>

#include "translate/units.h"

namespace qel {

enum class ControlKind : std::uint8_t { Button, Rotary, PanDirection, PanPush };

// One movement of one control, as the translator decoded it from an input report.
struct ControlEvent {
    UnitId Unit;
    ControlKind Kind = ControlKind::Button;
    std::int8_t Index = 0;  // button or rotary number; pan direction 0-7 (n..nw); 0 for the push
    // Button, direction, push: 1 pressed (a direction entered), 0 released (left).
    // Rotary: the steps it moved, -64..64 (+ = towards the increment binding); 0 when it did
    // not move but takes a step queued by an earlier movement.
    std::int8_t Value = 0;

    [[nodiscard]] bool IsPress() const { return Kind != ControlKind::Rotary && Value != 0; }
};

// The event from plain ints; every argument is within the ranges above.
[[nodiscard]] constexpr ControlEvent MakeControlEvent(UnitId unit, ControlKind kind, int index,
                                                      int value) {
    return {unit, kind, static_cast<std::int8_t>(index), static_cast<std::int8_t>(value)};
}

// Told of every decoded movement of every control, whether or not "Enable keys" lets
// keystrokes out: presses and releases of buttons, pan directions and the pan push, every
// rotary movement, and every queued rotary step taken later. Main thread only; called from
// inside DecodeReport, so it must not re-enter the translator.
class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    // True swallows the keystroke this movement would type (and, for a rotary, the steps it
    // queued); its log line is written as usual. A release types nothing either way. So an
    // observer that swallows everything for a while has nothing typed in that while.
    [[nodiscard]] virtual bool ControlMoved(ControlEvent event) = 0;
};

}  // namespace qel
