#include "panelview/schematicscene.h"

#include <algorithm>
#include <optional>

#include "keymap/bindingslot.h"

namespace qel {
namespace {

void AddCell(UnitScene& scene, const UnitStates& units, const KeyLayout& layout,
             const PanelActivity* activity, const SchematicControl& control, KnobHalf half) {
    const std::optional<int> slot =
        BindingSlotOf(scene.DeviceIndex, control.Kind, control.Index, half);
    if (!slot) {
        return;
    }
    SceneCell cell;
    cell.Slot = *slot;
    cell.Name = BindingControlName(scene.DeviceIndex, *slot);
    const KeyCode* binding = BindingField(units, scene.DeviceIndex, *slot);
    cell.KeyText = KeyCodeToText(binding != nullptr ? *binding : 0, layout);
    cell.Control = control.Place;
    cell.Half = half;
    if (activity != nullptr) {
        cell.Lit = activity->IsLit(scene.DeviceIndex, control.Kind, control.Index, half);
        if (cell.Lit && control.Kind == ControlKind::Rotary) {
            cell.Steps = activity->FlashSteps(scene.DeviceIndex, control.Index);
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

UnitScene BuildUnitScene(int deviceIndex, const UnitStates& units, const KeyLayout& layout,
                         const PanelActivity* activity) {
    UnitScene scene;
    scene.DeviceIndex = deviceIndex;
    scene.Schematic = SchematicOf(deviceIndex);
    if (scene.Schematic == nullptr) {
        return scene;
    }
    for (const SchematicControl& control : scene.Schematic->Controls) {
        if (control.Kind == ControlKind::Rotary) {
            AddCell(scene, units, layout, activity, control, KnobHalf::Decr);
            AddCell(scene, units, layout, activity, control, KnobHalf::Incr);
        } else {
            AddCell(scene, units, layout, activity, control, KnobHalf::None);
        }
    }
    return scene;
}

CellArea AreaOf(const SceneCell& cell) {
    CellArea area{static_cast<double>(cell.Control.Column), static_cast<double>(cell.Control.Row),
                  static_cast<double>(cell.Control.Columns),
                  static_cast<double>(cell.Control.Rows)};
    if (cell.Half != KnobHalf::None) {
        area.Width /= 2;
        if (cell.Half == KnobHalf::Incr) {
            area.Left += area.Width;
        }
    }
    return area;
}

const SceneCell* CellAt(const UnitScene& scene, double column, double row) {
    for (const SceneCell& cell : scene.Cells) {
        const CellArea area = AreaOf(cell);
        if (column >= area.Left && column < area.Left + area.Width && row >= area.Top &&
            row < area.Top + area.Height) {
            return &cell;
        }
    }
    return nullptr;
}

}  // namespace qel
