#include "keymap/bindingslot.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/unit_ids.h"
#include "translate/catalogue.h"
#include "translate/unitstate.h"

namespace qel::test {
namespace {

struct SlotCase {
    int DeviceIndex;
    int Slot;
    std::string Key;
};

TEST(BindingSlot, NamesTheKeyOfEveryKindOfSlot) {
    UnitStates units;
    const std::vector<SlotCase> cases = {
        {0, 0, "afcs_ias"},
        {0, 12, "nav_freq_toggle"},
        {1, 39, "idvol_push"},
        {0, 40, "nav_in_decr"},
        {0, 41, "nav_in_incr"},
        {2, 66, "range_decr"},
        {3, 67, "range_incr"},
        {0, 68, "range_pan_n"},
        {0, 69, "range_pan_ne"},
        {0, 75, "range_pan_nw"},
        {0, 76, "range_push"},
        {4, 0, "com1_mic"},
        {5, 28, "pilot_push"},
        {4, 6, ""},
        {4, 31, ""},
        {4, 32, "coplt_decr"},
        {4, 33, "coplt_incr"},
        {5, 34, "pilot_decr"},
        {5, 35, "pilot_incr"},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE("device " + std::to_string(c.DeviceIndex) + " slot " + std::to_string(c.Slot));
        EXPECT_EQ(BindingKeyName(DeviceUnit(c.DeviceIndex), c.Slot), c.Key);
        EXPECT_NE(BindingField(units, DeviceUnit(c.DeviceIndex), c.Slot), nullptr);
    }
}

TEST(BindingSlot, RefusesSlotsAndDevicesOutOfRange) {
    UnitStates units;
    const std::vector<SlotCase> cases = {
        {0, -1, ""}, {0, 77, ""}, {3, 1000, ""}, {4, 36, ""},
        {5, -5, ""}, {-1, 0, ""}, {6, 0, ""},    {6, 40, ""},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE("device " + std::to_string(c.DeviceIndex) + " slot " + std::to_string(c.Slot));
        EXPECT_EQ(BindingField(units, DeviceUnit(c.DeviceIndex), c.Slot), nullptr);
        EXPECT_EQ(BindingKeyName(DeviceUnit(c.DeviceIndex), c.Slot), "");
        EXPECT_FALSE(IsNamedBindingSlot(DeviceUnit(c.DeviceIndex), c.Slot));
    }
}

TEST(BindingSlot, EverySlotOfEveryUnitHasAFieldOfItsOwn) {
    UnitStates units;
    std::set<const KeyCode*> fields;
    int named = 0;
    for (int device = 0; device < kDeviceCount; ++device) {
        for (int slot = 0; slot < BindingSlotCount(DeviceUnit(device)); ++slot) {
            KeyCode* field = BindingField(units, DeviceUnit(device), slot);
            ASSERT_NE(field, nullptr);
            EXPECT_TRUE(fields.insert(field).second) << "device " << device << " slot " << slot;
            named += IsNamedBindingSlot(DeviceUnit(device), slot) ? 1 : 0;
        }
    }
    EXPECT_EQ(fields.size(), 4U * 77 + 2U * 36);
    // The key settings dialog lists 27 rows per audio unit: the unnamed positions are left out.
    EXPECT_EQ(named, 4 * 77 + 2 * 27);
}

TEST(BindingSlot, RotaryHalvesLandInTheRightFieldOfTheRightUnit) {
    UnitStates units;
    EXPECT_EQ(BindingField(units, BezelUnit(1), 41), &units.BezelUnits[1].Rotaries[0].IncrKey);
    EXPECT_EQ(BindingField(units, BezelUnit(1), 40), &units.BezelUnits[1].Rotaries[0].DecrKey);
    EXPECT_EQ(BindingField(units, BezelUnit(3), 67), &units.BezelUnits[3].Rotaries[13].IncrKey);
    EXPECT_EQ(BindingField(units, BezelUnit(2), 70), &units.BezelUnits[2].PanDirections[2].Key);
    EXPECT_EQ(BindingField(units, BezelUnit(0), 76), &units.BezelUnits[0].PanPush.Key);
    EXPECT_EQ(BindingField(units, AudioUnit(0), 7), &units.AudioUnits[0].Buttons[7].Key);
    EXPECT_EQ(BindingField(units, AudioUnit(1), 35), &units.AudioUnits[1].Rotaries[1].IncrKey);
    EXPECT_EQ(BindingField(units, AudioUnit(1), 32), &units.AudioUnits[1].Rotaries[0].DecrKey);
}

}  // namespace
}  // namespace qel::test
