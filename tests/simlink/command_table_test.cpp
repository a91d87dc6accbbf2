#include "simlink/command_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keymap/bindingslot.h"
#include "simlink/command_label.h"
#include "support/unit_ids.h"

namespace qel {
namespace {

int SlotNamed(int device, std::string_view key) {
    for (int slot = 0; slot < BindingSlotCount(test::DeviceUnit(device)); ++slot) {
        if (BindingKeyName(test::DeviceUnit(device), slot) == key) return slot;
    }
    ADD_FAILURE() << "no slot " << key;
    return -1;
}

LinkSettings Linked(SimulatorKind kind) {
    LinkSettings settings;  // roles: pfd, mfd, copilot_pfd, none; pilot, copilot
    settings.Link = kind;
    settings.FlightGearDevices = {4, 5, 6};
    settings.Commands = {{test::BezelUnit(3), "menu", "my/menu"},
                         {test::BezelUnit(1), "clr", "my/clr"},
                         {test::DeviceUnit(9), "clr", "ignored"}};
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
    const auto x = SimulatorKind::XPlane;
    const auto fg = SimulatorKind::FlightGear;
    const std::vector<Case> cases = {
        {x, 1, "afcs_ias", "sim/GPS/g1000n3_flc"},
        {x, 0, "idvol_push", "sim/GPS/g1000n1_nvol"},
        {x, 0, "range_incr", "sim/GPS/g1000n1_range_up"},
        {x, 0, "alt_push", ""},
        {x, 3, "softkey_3", ""},  // role none
        {x, 5, "adf", "sim/audio_panel_copilot/monitor_audio_adf1"},
        {x, 4, "display_backup", "sim/GPS/G1000_display_reversion"},
        {x, 3, "menu", "my/menu"},
        {fg, 0, "softkey_12", "FG1000SoftKeyPushed device=4 offset=12"},
        {fg, 1, "hdg_decr", fgKey + "5 notification=HEADING offset=-1"},
        {fg, 2, "sqvol_push", fgKey + "6 notification=COM_VOL_TOGGLE offset=1"},
        {fg, 0, "range_pan_ne",
         fgKey + "4 notification=JOYSTICK_VERTICAL offset=-1\n" + fgKey +
             "4 notification=JOYSTICK_HORIZONTAL offset=1"},
        {fg, 0, "alt_push", ""},
        {fg, 1, "clr", "my/clr"},
    };
    const CommandTable xplane(Linked(x));
    const CommandTable flightgear(Linked(fg));
    for (const Case& c : cases) {
        const CommandTable& table = c.Kind == x ? xplane : flightgear;
        EXPECT_EQ(table.Command(test::DeviceUnit(c.Device), SlotNamed(c.Device, c.Key)), c.Command);
    }
    EXPECT_TRUE(CommandTable(LinkSettings{}).Distinct().empty()) << "no link, no commands";
    EXPECT_EQ(flightgear.Held(test::BezelUnit(1), SlotNamed(1, "clr")), nullptr)
        << "the user's own command";
}

TEST(CommandLabel, ShortensEachKindOfCommandForACell) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"sim/GPS/g1000n3_softkey12", "softkey12"},
        {"sim/audio_panel/transmit_audio_com1", "transmit_audio_com1"},
        {"FG1000SoftKeyPushed device=1 offset=8", "SOFTKEY 8"},
        {"FG1000HardKeyPushed device=2 notification=HEADING offset=-1", "HEADING"},
        {"property-toggle property=/controls/switches/mixer/com1mic", "com1mic"},
        {"FG1000HardKeyPushed device=1 notification=JOYSTICK_HORIZONTAL offset=1\n"
         "FG1000HardKeyPushed device=1 notification=JOYSTICK_VERTICAL offset=-1",
         "JOYSTICK_HORIZONTAL+JOYSTICK_VERTICAL"},
        {"", ""},
    };
    for (const auto& [command, label] : cases) {
        EXPECT_EQ(CommandLabel(command), label) << command;
    }
}

}  // namespace
}  // namespace qel
