#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "panelview/controlslot.h"
#include "panelview/panelactivity.h"
#include "panelview/schematic.h"
#include "translate/keylayout.h"
#include "translate/unitstate.h"

namespace qel {

// Which ring of a knob a binding turns: Whole for a single knob and for every other control.
enum class KnobRing : std::uint8_t { Whole, Outer, Inner };

// One binding as drawn: a whole button, direction or push, or one way of turning one ring of
// a knob.
struct SceneCell {
    int Slot = 0;            // binding slot number of the unit
    std::string Name;        // the control's name as the key settings rows show it
    std::string_view Label;  // what the unit has printed for the control (UTF-8); may be empty
    std::string KeyText;     // the bound key text; empty when unbound
    CellRect Control;        // the whole control (every binding of a knob)
    int ControlIndex = 0;    // the control's place in the schematic's list
    KnobHalf Half = KnobHalf::None;
    KnobRing Ring = KnobRing::Whole;
    bool Lit = false;  // held, or the knob half flashing
    int Steps = 0;     // a flashing knob half: its steps in the last second
};

// A unit's schematic filled in with its bindings and, when activity is given, what is lit.
struct UnitScene {
    UnitId Unit;
    const UnitSchematic* Schematic = nullptr;
    // In the schematic's order, a control's cells next to each other; a knob's outer ring
    // before its inner, decrement before increment.
    std::vector<SceneCell> Cells;

    // The cell of a binding slot; null when the scene has none.
    [[nodiscard]] const SceneCell* CellOf(int slot) const;
    // Whether any binding of the unit is set.
    [[nodiscard]] bool AnyBound() const;
};

// Empty (no schematic) for an id that names no unit; key texts as layout writes them.
// Main thread (reads the unit state).
[[nodiscard]] UnitScene BuildUnitScene(UnitId unit, const UnitStates& units,
                                       const KeyLayout& layout,
                                       const PanelActivity* activity = nullptr);

// The cells of the control whose first cell is scene.Cells[first] (first < the cell count):
// one for a key, a direction or a push, all of a knob's.
[[nodiscard]] std::span<const SceneCell> ControlCells(const UnitScene& scene, std::size_t first);
// The schematic's control a cell of scene belongs to.
[[nodiscard]] const SchematicControl& ControlOf(const UnitScene& scene, const SceneCell& cell);

// An area in cells, from the schematic's top left.
struct CellArea {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};
// Where a cell's binding is: the whole control, or for a knob the ring's row left (decrement)
// or right (increment) of the knob.
[[nodiscard]] CellArea AreaOf(const SceneCell& cell);

// A knob as drawn, in cells: its centre and radii.
struct KnobShape {
    double CentreColumn = 0;
    double CentreRow = 0;
    double Radius = 0;
    double InnerRadius = 0;  // the inner knob of a dual knob; 0 for a single knob
};
[[nodiscard]] KnobShape ShapeOf(const SchematicControl& knob);
// Where a knob of schematic has its printed name.
[[nodiscard]] CellArea NameAreaOf(const UnitSchematic& schematic, const SchematicControl& knob);

// The cell at point (in cells from the schematic's top left): a binding's area, or on a knob
// the ring and side under it; null for none.
[[nodiscard]] const SceneCell* CellAt(const UnitScene& scene, double column, double row);

}  // namespace qel
