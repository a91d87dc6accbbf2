#include "panelview/schematicscene.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <optional>

#include "keymap/bindingslot.h"
#include "panelview/printed_labels.h"

namespace qel {
namespace {

// Clearance between a knob and the rows of bindings beside it, in cells.
constexpr double kKnobClearance = 0.4;
// The inner knob of a dual knob against its outer ring, as on the unit.
constexpr double kInnerKnobShare = 0.58;

void AddCell(UnitScene& scene, const UnitStates& units, const KeyLayout& layout,
             const PanelActivity* activity, int controlIndex, int index, KnobHalf half,
             KnobRing ring) {
    const SchematicControl& control =
        scene.Schematic->Controls[static_cast<std::size_t>(controlIndex)];
    const std::optional<int> slot = BindingSlotOf(scene.Unit, control.Kind, index, half);
    if (!slot) {
        return;
    }
    SceneCell cell;
    cell.Slot = *slot;
    cell.Name = BindingControlName(scene.Unit, *slot);
    cell.Label = PrintedLabel(scene.Unit, control.Kind, index);
    const KeyCode* binding = BindingField(units, scene.Unit, *slot);
    cell.KeyText = KeyCodeToText(binding != nullptr ? *binding : 0, layout);
    cell.Control = control.Place;
    cell.ControlIndex = controlIndex;
    cell.Half = half;
    cell.Ring = ring;
    if (activity != nullptr) {
        cell.Lit = activity->IsLit(scene.Unit, control.Kind, index, half);
        if (cell.Lit && control.Kind == ControlKind::Rotary) {
            cell.Steps = activity->FlashSteps(scene.Unit, index);
        }
    }
    scene.Cells.push_back(std::move(cell));
}

}  // namespace

const SceneCell* UnitScene::CellOf(int slot) const {
    const auto found = std::find_if(Cells.begin(), Cells.end(),
                                    [slot](const SceneCell& c) { return c.Slot == slot; });
    return found == Cells.end() ? nullptr : &*found;
}

bool UnitScene::AnyBound() const {
    return std::any_of(Cells.begin(), Cells.end(),
                       [](const SceneCell& c) { return !c.KeyText.empty(); });
}

UnitScene BuildUnitScene(UnitId unit, const UnitStates& units, const KeyLayout& layout,
                         const PanelActivity* activity) {
    UnitScene scene;
    scene.Unit = unit;
    scene.Schematic = SchematicOf(unit);
    if (scene.Schematic == nullptr) {
        return scene;
    }
    const int count = static_cast<int>(scene.Schematic->Controls.size());
    for (int i = 0; i < count; ++i) {
        const SchematicControl& control = scene.Schematic->Controls[static_cast<std::size_t>(i)];
        if (control.Kind != ControlKind::Rotary) {
            AddCell(scene, units, layout, activity, i, control.Index, KnobHalf::None,
                    KnobRing::Whole);
            continue;
        }
        const KnobRing first = control.Inner >= 0 ? KnobRing::Outer : KnobRing::Whole;
        AddCell(scene, units, layout, activity, i, control.Index, KnobHalf::Decr, first);
        AddCell(scene, units, layout, activity, i, control.Index, KnobHalf::Incr, first);
        if (control.Inner >= 0) {
            AddCell(scene, units, layout, activity, i, control.Inner, KnobHalf::Decr,
                    KnobRing::Inner);
            AddCell(scene, units, layout, activity, i, control.Inner, KnobHalf::Incr,
                    KnobRing::Inner);
        }
    }
    return scene;
}

std::span<const SceneCell> ControlCells(const UnitScene& scene, std::size_t first) {
    assert(first < scene.Cells.size() && "a control's cells start at one of the scene's cells");
    const int control = scene.Cells[first].ControlIndex;
    std::size_t end = first + 1;
    while (end < scene.Cells.size() && scene.Cells[end].ControlIndex == control) {
        ++end;
    }
    return std::span<const SceneCell>(scene.Cells).subspan(first, end - first);
}

const SchematicControl& ControlOf(const UnitScene& scene, const SceneCell& cell) {
    return scene.Schematic->Controls[static_cast<std::size_t>(cell.ControlIndex)];
}

CellArea AreaOf(const SceneCell& cell) {
    const CellRect& place = cell.Control;
    CellArea area{static_cast<double>(place.Column), static_cast<double>(place.Row),
                  static_cast<double>(place.Columns), static_cast<double>(place.Rows)};
    if (cell.Half == KnobHalf::None) {
        return area;
    }
    const int knob = cell.Ring == KnobRing::Whole ? kKnobColumns : kDualKnobColumns;
    area.Width = (place.Columns - knob) / 2.0;
    if (cell.Half == KnobHalf::Incr) {
        area.Left += place.Columns - area.Width;
    }
    area.Top += cell.Ring == KnobRing::Inner ? kKnobRingRows : 0;
    area.Height = kKnobRingRows;
    return area;
}

KnobShape ShapeOf(const SchematicControl& knob) {
    const CellRect& place = knob.Place;
    const bool dual = knob.Inner >= 0;
    const double rows = dual ? 2 * kKnobRingRows : kKnobRingRows;
    const double columns = dual ? kDualKnobColumns : kKnobColumns;
    KnobShape shape;
    shape.CentreColumn = place.Column + place.Columns / 2.0;
    shape.CentreRow = place.Row + rows / 2;
    shape.Radius = std::min(rows, columns) / 2 - kKnobClearance;
    shape.InnerRadius = dual ? shape.Radius * kInnerKnobShare : 0;
    return shape;
}

CellArea NameAreaOf(const UnitSchematic& schematic, const SchematicControl& knob) {
    const CellRect& place = knob.Place;
    const int top = place.Row - kKnobNameRows;
    int right = place.Column + place.Columns;
    for (const SchematicControl& other : schematic.Controls) {
        const CellRect& at = other.Place;
        if (at.Row < place.Row && at.Row + at.Rows > top && at.Column >= place.Column) {
            right = std::min(right, at.Column);
        }
    }
    return {static_cast<double>(place.Column), static_cast<double>(top),
            static_cast<double>(right - place.Column), kKnobNameRows};
}

const SceneCell* CellAt(const UnitScene& scene, double column, double row) {
    for (const SceneCell& cell : scene.Cells) {
        const CellArea area = AreaOf(cell);
        if (column >= area.Left && column < area.Left + area.Width && row >= area.Top &&
            row < area.Top + area.Height) {
            return &cell;
        }
    }
    // On a knob itself: the ring under the point, turned the way of the side it is on.
    for (const SceneCell& cell : scene.Cells) {
        if (cell.Half == KnobHalf::None) {
            continue;
        }
        const KnobShape knob = ShapeOf(ControlOf(scene, cell));
        const double dx = column - knob.CentreColumn;
        const double distance = std::hypot(dx, row - knob.CentreRow);
        if (distance > knob.Radius) {
            continue;
        }
        const KnobRing ring = knob.InnerRadius <= 0          ? KnobRing::Whole
                              : distance <= knob.InnerRadius ? KnobRing::Inner
                                                             : KnobRing::Outer;
        if (cell.Ring == ring && (cell.Half == KnobHalf::Incr) == (dx >= 0)) {
            return &cell;
        }
    }
    return nullptr;
}

}  // namespace qel
