#include "simlink/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "keymap/bindingslot.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

int SlotNamed(int device, std::string_view key) {
    for (int slot = 0; slot < BindingSlotCount(device); ++slot) {
        if (BindingKeyName(device, slot) == key) return slot;
    }
    ADD_FAILURE() << "no slot " << key;
    return -1;
}

LinkSettings Linked(SimulatorKind kind) {
    LinkSettings settings;  // roles: pfd, mfd, copilot_pfd, none; pilot, copilot
    settings.Link = kind;
    settings.FlightGearDevices = {4, 5, 6};
    settings.Commands = {{0, "softkey_1", "my/own"},
                         {3, "menu", "my/menu"},
                         {1, "clr", "my/clr"},
                         {9, "clr", "ignored"},
                         {0, "no_such_key", "x"}};
    return settings;
}

TEST(CommandTable, PresetsByRoleWithTheUsersCommandsOverThem) {
    struct Case {
        SimulatorKind Kind;
        int Device;
        std::string_view Key;
        std::string Command;
    };
    const std::string fgKey = "FG1000HardKeyPushed device=";
    const std::string mixer = "property-toggle property=/controls/switches/mixer/";
    const auto x = SimulatorKind::XPlane;
    const auto fg = SimulatorKind::FlightGear;
    const std::vector<Case> cases = {
        {x, 0, "softkey_3", "sim/GPS/g1000n1_softkey3"},
        {x, 1, "afcs_ias", "sim/GPS/g1000n3_flc"},
        {x, 2, "afcs_up", "sim/GPS/g1000n2_nose_up"},
        {x, 0, "idvol_push", "sim/GPS/g1000n1_nvol"},
        {x, 0, "sqvol_incr", "sim/GPS/g1000n1_cvol_up"},
        {x, 0, "range_incr", "sim/GPS/g1000n1_range_up"},
        {x, 0, "range_pan_sw", "sim/GPS/g1000n1_pan_down_left"},
        {x, 0, "range_push", "sim/GPS/g1000n1_pan_push"},
        {x, 0, "alt_push", ""},
        {x, 3, "softkey_3", ""},  // role none
        {x, 4, "com1_mic", "sim/audio_panel/transmit_audio_com1"},
        {x, 5, "adf", "sim/audio_panel_copilot/monitor_audio_adf1"},
        {x, 5, "spkr", ""},
        {x, 4, "display_backup", "sim/GPS/G1000_display_reversion"},
        {x, 0, "softkey_1", "my/own"},
        {x, 3, "menu", "my/menu"},
        {fg, 0, "softkey_12", "FG1000SoftKeyPushed device=4 offset=12"},
        {fg, 1, "hdg_decr", fgKey + "5 notification=HEADING offset=-1"},
        {fg, 2, "sqvol_push", fgKey + "6 notification=COM_VOL_TOGGLE offset=1"},
        {fg, 2, "idvol_incr", fgKey + "6 notification=NAV_VOL offset=1"},
        {fg, 0, "range_pan_ne",
         fgKey + "4 notification=JOYSTICK_VERTICAL offset=-1\n" + fgKey +
             "4 notification=JOYSTICK_HORIZONTAL offset=1"},
        {fg, 0, "alt_push", ""},
        {fg, 4, "hi_sense", mixer + "hisens"},
        {fg, 5, "crew_coplt", mixer + "coplt"},
        {fg, 4, "pilot_push", ""},
        {fg, 1, "clr", "my/clr"},
    };
    const CommandTable xplane(Linked(x));
    const CommandTable flightgear(Linked(fg));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Device) + " " + std::string(c.Key));
        const CommandTable& table = c.Kind == x ? xplane : flightgear;
        EXPECT_EQ(table.Command(c.Device, SlotNamed(c.Device, c.Key)), c.Command);
    }
    EXPECT_TRUE(CommandTable(LinkSettings{}).Distinct().empty()) << "no link, no commands";
}

TEST(CommandTable, OnlyFlightGearsPresetClrAndComTransferHaveHeldForms) {
    const CommandTable flightgear(Linked(SimulatorKind::FlightGear));
    const HeldCommand* clr = flightgear.Held(0, SlotNamed(0, "clr"));
    ASSERT_NE(clr, nullptr);
    EXPECT_EQ(*clr,
              (HeldCommand{"FG1000HardKeyPushed device=4 notification=CLR_HOLD offset=1", 1s}));
    const HeldCommand* com = flightgear.Held(2, SlotNamed(2, "com_freq_toggle"));
    ASSERT_NE(com, nullptr);
    EXPECT_EQ(com->Delay, 2s);
    EXPECT_EQ(flightgear.Held(1, SlotNamed(1, "clr")), nullptr) << "the user's own command";
    EXPECT_EQ(CommandTable(Linked(SimulatorKind::XPlane)).Held(0, SlotNamed(0, "clr")), nullptr);

    // Diagonals split into the axis commands the straight directions already have.
    const std::vector<std::string> distinct = flightgear.Distinct();
    EXPECT_EQ(std::count(distinct.begin(), distinct.end(),
                         "FG1000HardKeyPushed device=4 notification=JOYSTICK_VERTICAL offset=-1"),
              1);
    EXPECT_EQ(std::count(distinct.begin(), distinct.end(), "my/clr"), 1);
}

}  // namespace
}  // namespace qel
