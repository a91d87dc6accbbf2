#pragma once

#include <span>

#include "translate/controlobserver.h"
#include "translate/units.h"

namespace qel {

// A place on a unit's schematic, in grid cells from the top left. Cells are square and small
// (a key is some twenty cells wide), so the drawing can follow the unit's own shapes.
struct CellRect {
    int Column = 0;
    int Row = 0;
    int Columns = 1;
    int Rows = 1;
};

// One control as a pilot sees it on the unit. A button, pan direction or the push holds one
// binding. A knob holds two per ring, its decrement left of it and its increment right of it;
// a dual knob is an outer ring (Index) around an inner one (Inner) and is one control here.
struct SchematicControl {
    ControlKind Kind = ControlKind::Button;
    int Index = 0;   // catalogue number, as in ControlEvent
    CellRect Place;  // a knob: a row of bindings per ring, outer first (kKnobRingRows each)
    int Inner = -1;  // a dual knob's inner ring, a rotary number; -1 for any other control
};

// A knob's row of bindings has the ring's decrement left, the knob in the middle
// (kKnobColumns wide, a dual knob kDualKnobColumns) and the increment right. Its printed name
// goes in the kKnobNameRows above its place, from its left edge to the first control in the
// way (the push of a knob above, centred under that knob).
inline constexpr int kKnobRingRows = 10;
inline constexpr int kKnobColumns = 10;
inline constexpr int kDualKnobColumns = 18;
inline constexpr int kKnobNameRows = 3;

// The drawing of one unit kind: every bindable control once, none overlapping.
struct UnitSchematic {
    int Columns = 0;
    int Rows = 0;
    CellRect Caption;  // where the unit's caption goes (the bezel's screen)
    std::span<const SchematicControl> Controls;
};

// The bezel unit as it is built: knobs down both sides with their pushes under them, the
// autopilot keys, the frequency transfer keys above the screen, the map joystick under the
// range knob, the flight plan keys beside the screen's foot and the soft keys in a row below.
[[nodiscard]] const UnitSchematic& BezelSchematic();
// The audio unit: its keys in the pairs they have on the unit, then the volume knob.
[[nodiscard]] const UnitSchematic& AudioSchematic();
// The schematic of a unit's kind; null for an id that names no unit.
[[nodiscard]] const UnitSchematic* SchematicOf(UnitId unit);

}  // namespace qel
