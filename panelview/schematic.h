#pragma once

#include <span>

#include "translate/controlobserver.h"

namespace qel {

// A place on a unit's schematic, in grid cells from the top left.
struct CellRect {
    int Column = 0;
    int Row = 0;
    int Columns = 1;
    int Rows = 1;
};

// One control as a pilot sees it on the unit. A button, pan direction or the push holds one
// binding; a knob two, its decrement in the left half and its increment in the right half.
struct SchematicControl {
    ControlKind Kind = ControlKind::Button;
    int Index = 0;  // catalogue number, as in ControlEvent
    CellRect Place;
};

// The drawing of one unit kind: every bindable control once, none overlapping.
struct UnitSchematic {
    int Columns = 0;
    int Rows = 0;
    CellRect Caption;  // where the unit's caption goes (the bezel's screen)
    std::span<const SchematicControl> Controls;
};

// The bezel unit: knobs and keys left and right of the screen, soft keys in a row below it.
[[nodiscard]] const UnitSchematic& BezelSchematic();
// The audio unit: its buttons in rows, the two knobs beside them.
[[nodiscard]] const UnitSchematic& AudioSchematic();
// The schematic of device index 0-5 (bezel 0-3, audio 4-5); null for any other index.
[[nodiscard]] const UnitSchematic* SchematicOf(int deviceIndex);

}  // namespace qel
