#pragma once

#include <string>
#include <string_view>

#include "translate/controlobserver.h"
#include "translate/units.h"

namespace qel {

// What the unit has printed on or beside a control, as a pilot reads it ("HDG", "PUSH CRSR",
// "COM1 MIC"; UTF-8): empty where nothing is printed (the soft keys) and for anything that
// is no control of the unit (or the id names no unit). Pure; any thread.
[[nodiscard]] std::string_view PrintedLabel(UnitId unit, ControlKind kind, int index);

// A knob's printed name from its rings' (rotary numbers; inner -1 for a single knob): a dual
// knob whose rings are named apart is named inner first, as the bezel has it ("CRS/BARO").
[[nodiscard]] std::string KnobLabel(UnitId unit, int outer, int inner);

}  // namespace qel
