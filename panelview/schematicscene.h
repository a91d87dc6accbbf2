#pragma once

#include <string>
#include <vector>

#include "panelview/controlslot.h"
#include "panelview/panelactivity.h"
#include "panelview/schematic.h"
#include "translate/keylayout.h"
#include "translate/unitstate.h"

namespace qel {

// One binding as drawn: a whole button, direction or push, or one half of a knob.
struct SceneCell {
    int Slot = 0;         // binding slot number of the unit
    std::string Name;     // the control's name as the key settings rows show it
    std::string KeyText;  // the bound key text; empty when unbound
    CellRect Control;     // the whole control (both halves of a knob)
    KnobHalf Half = KnobHalf::None;
    bool Lit = false;  // held, or the knob half flashing
    int Steps = 0;     // a flashing knob half: steps counted
};

// A unit's schematic filled in with its bindings and, when activity is given, what is lit.
struct UnitScene {
    int DeviceIndex = 0;
    const UnitSchematic* Schematic = nullptr;
    std::vector<SceneCell> Cells;  // in the schematic's order; a knob's decrement half first

    // The cell of a binding slot; null when the scene has none.
    [[nodiscard]] const SceneCell* CellOf(int slot) const;
    // Whether any binding of the unit is set.
    [[nodiscard]] bool AnyBound() const;
};

// Empty (no schematic) for a device index out of range; key texts as layout writes them.
// Main thread (reads the unit state).
[[nodiscard]] UnitScene BuildUnitScene(int deviceIndex, const UnitStates& units,
                                       const KeyLayout& layout,
                                       const PanelActivity* activity = nullptr);

// Where a cell's binding is, in cells: the whole control, or the left or right half of a knob.
struct CellArea {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};
[[nodiscard]] CellArea AreaOf(const SceneCell& cell);

// The cell at point (in cells from the schematic's top left); null for none.
[[nodiscard]] const SceneCell* CellAt(const UnitScene& scene, double column, double row);

}  // namespace qel
