#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "keymap/bindingslot.h"
#include "panelview/controlslot.h"
#include "panelview/schematicscene.h"
#include "support/unit_ids.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

constexpr int kAudioDevice = kFirstAudioDeviceIndex;
const UsEnglishLayout kUs;

TEST(Schematic, EveryNamedBindingOfEachUnitKindIsDrawnExactlyOnce) {
    const auto units = std::make_unique<UnitStates>();
    for (const int deviceIndex : {0, kAudioDevice}) {
        SCOPED_TRACE(deviceIndex);
        const UnitScene scene = BuildUnitScene(DeviceUnit(deviceIndex), *units, kUs);
        std::multiset<int> drawn;
        for (const SceneCell& cell : scene.Cells) {
            drawn.insert(cell.Slot);
        }
        std::multiset<int> named;
        for (int slot = 0; slot < BindingSlotCount(DeviceUnit(deviceIndex)); ++slot) {
            if (IsNamedBindingSlot(DeviceUnit(deviceIndex), slot)) {
                named.insert(slot);
            }
        }
        EXPECT_EQ(drawn, named);
        // Every control shows what the unit has printed for it; only the soft keys have none.
        for (const SceneCell& cell : scene.Cells) {
            EXPECT_EQ(cell.Label.empty(), cell.Name.starts_with("SOFTKEY_")) << cell.Name;
        }
    }
}

TEST(Schematic, ControlsLieInsideTheGridAndOverlapNeitherEachOtherNorTheCaption) {
    for (const UnitSchematic* schematic : {&BezelSchematic(), &AudioSchematic()}) {
        SCOPED_TRACE(schematic == &BezelSchematic() ? "bezel" : "audio");
        std::vector<int> owner(static_cast<std::size_t>(schematic->Columns * schematic->Rows), -1);
        const auto claim = [&](const CellRect& place, int who) {
            ASSERT_GE(place.Column, 0);
            ASSERT_GE(place.Row, 0);
            ASSERT_LE(place.Column + place.Columns, schematic->Columns);
            ASSERT_LE(place.Row + place.Rows, schematic->Rows);
            for (int row = place.Row; row < place.Row + place.Rows; ++row) {
                for (int column = place.Column; column < place.Column + place.Columns; ++column) {
                    int& cell = owner[static_cast<std::size_t>(row * schematic->Columns + column)];
                    EXPECT_EQ(cell, -1) << "cell " << column << "," << row << " taken by " << cell
                                        << ", wanted by " << who;
                    cell = who;
                }
            }
        };
        claim(schematic->Caption, 1000);
        for (std::size_t i = 0; i < schematic->Controls.size(); ++i) {
            claim(schematic->Controls[i].Place, static_cast<int>(i));
        }
    }
}

TEST(Schematic, SceneNamesControlsAsTheKeySettingsRowsAndShowsTheirKeyTexts) {
    const auto units = std::make_unique<UnitStates>();
    units->BezelUnits[1].Buttons[15].Key = 0x72;       // softkey_3 = F3
    units->BezelUnits[1].Rotaries[0].IncrKey = 0x166;  // nav_in_incr = SHIFT+NUMPAD6
    const UnitScene scene = BuildUnitScene(BezelUnit(1), *units, kUs);

    const SceneCell* softkey = scene.CellOf(15);
    ASSERT_NE(softkey, nullptr);
    EXPECT_EQ(softkey->Name, "SOFTKEY_3");
    EXPECT_EQ(softkey->KeyText, "F3");
    const SceneCell* decr = scene.CellOf(40);
    const SceneCell* incr = scene.CellOf(41);
    ASSERT_NE(decr, nullptr);
    ASSERT_NE(incr, nullptr);
    EXPECT_EQ(decr->Name, "NAV_IN");
    EXPECT_EQ(decr->KeyText, "") << "unbound shows as unbound";
    EXPECT_EQ(incr->KeyText, "SHIFT+NUMPAD6");
    EXPECT_EQ(scene.CellOf(75)->Name, "RANGE_PAN_NW");
    EXPECT_EQ(scene.CellOf(76)->Name, "RANGE_PUSH");
    EXPECT_TRUE(scene.AnyBound());
    EXPECT_FALSE(BuildUnitScene(BezelUnit(0), *units, kUs).AnyBound())
        << "another unit's bindings stay its own";

    // A knob's decrement lies left of it, its increment right; on the knob itself the ring
    // under the point turns towards its side: NAV is nav_in inside nav_out.
    const CellArea left = AreaOf(*decr);
    const CellArea right = AreaOf(*incr);
    EXPECT_EQ(CellAt(scene, left.Left + 0.1, left.Top + 0.5), decr);
    EXPECT_EQ(CellAt(scene, right.Left + right.Width - 0.1, right.Top + 0.5), incr);
    const KnobShape nav =
        ShapeOf(BezelSchematic().Controls[static_cast<std::size_t>(decr->ControlIndex)]);
    EXPECT_EQ(CellAt(scene, nav.CentreColumn - 0.5, nav.CentreRow), decr);
    const double onOuterRing = (nav.Radius + nav.InnerRadius) / 2;
    EXPECT_EQ(CellAt(scene, nav.CentreColumn + onOuterRing, nav.CentreRow), scene.CellOf(43))
        << "nav_out_incr";
    EXPECT_EQ(CellAt(scene, -1, -1), nullptr);
    EXPECT_EQ(BuildUnitScene(DeviceUnit(kDeviceCount), *units, kUs).Schematic, nullptr);
}

TEST(PickedSlot, APressOrATurnPicksItsBindingAndNothingElseDoes) {
    using K = ControlKind;
    struct Case {
        const char* Label;
        ControlEvent Event;
        std::optional<int> Slot;
    };
    const Case cases[]{
        {"softkey_3 pressed", MakeControlEvent(BezelUnit(1), K::Button, 15, 1), 15},
        {"softkey_3 released", MakeControlEvent(BezelUnit(1), K::Button, 15, 0), std::nullopt},
        {"nav_in turned up", MakeControlEvent(BezelUnit(0), K::Rotary, 0, 2), 41},
        {"nav_in turned down", MakeControlEvent(BezelUnit(0), K::Rotary, 0, -1), 40},
        {"range turned down", MakeControlEvent(BezelUnit(3), K::Rotary, 13, -3), 66},
        {"joystick north-west", MakeControlEvent(BezelUnit(2), K::PanDirection, 7, 1), 75},
        {"joystick centred again", MakeControlEvent(BezelUnit(2), K::PanDirection, 7, 0),
         std::nullopt},
        {"joystick push", MakeControlEvent(BezelUnit(2), K::PanPush, 0, 1), 76},
        {"audio pilot knob up", MakeControlEvent(AudioUnit(1), K::Rotary, 1, 1), 35},
        {"audio pilot_push", MakeControlEvent(AudioUnit(0), K::Button, 28, 1), 28},
        {"audio position with no control", MakeControlEvent(AudioUnit(0), K::Button, 6, 1),
         std::nullopt},
        {"audio has no joystick", MakeControlEvent(AudioUnit(0), K::PanPush, 0, 1), std::nullopt},
        {"no such device", MakeControlEvent(AudioUnit(2), K::Button, 0, 1), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        EXPECT_EQ(PickedSlot(c.Event), c.Slot);
    }
}

}  // namespace
}  // namespace qel::test
