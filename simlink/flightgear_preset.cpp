#include "simlink/flightgear_preset.h"

#include <chrono>

namespace qel {
namespace {

using namespace std::chrono_literals;

// One bezel slot: a soft key (no notification; Offset is its number 1-12) or one or two
// FG1000 hard key notifications with their offsets (+1 a key or a knob's increment, -1 a
// knob's decrement).
struct FlightGearRow {
    std::string_view SlotKey;
    std::string_view Notification;
    int Offset = 0;
    std::string_view AlsoNotification = {};
    int AlsoOffset = 0;
};

constexpr std::string_view kSoftKey = {};

// The joystick's vertical axis is negative upwards, as on the FG1000's own bezel.
// clang-format off
constexpr std::array<FlightGearRow, 76> kFG1000Keys{{
    {"afcs_ias", "FLC", 1},         {"afcs_yd", "YD", 1},           {"afcs_ap", "AP", 1},
    {"afcs_hdg", "HDG", 1},         {"afcs_fd", "FD", 1},           {"afcs_apr", "APR", 1},
    {"afcs_nav", "NAV", 1},         {"afcs_vnv", "VNV", 1},         {"afcs_alt", "ALT", 1},
    {"afcs_dn", "NOSE_DOWN", 1},    {"afcs_vs", "VS", 1},           {"afcs_up", "NOSE_UP", 1},
    {"nav_freq_toggle", "NAV_FREQ_TRANSFER", 1},
    {"softkey_1", kSoftKey, 1},     {"softkey_2", kSoftKey, 2},     {"softkey_3", kSoftKey, 3},
    {"softkey_4", kSoftKey, 4},     {"softkey_5", kSoftKey, 5},     {"softkey_6", kSoftKey, 6},
    {"softkey_7", kSoftKey, 7},     {"softkey_8", kSoftKey, 8},     {"softkey_9", kSoftKey, 9},
    {"softkey_10", kSoftKey, 10},   {"softkey_11", kSoftKey, 11},   {"softkey_12", kSoftKey, 12},
    {"com_freq_toggle", "COM_FREQ_TRANSFER", 1},
    {"menu", "MENU", 1},            {"direct_to", "DTO", 1},        {"proc", "PROC", 1},
    {"fpl", "FPL", 1},              {"ent", "ENT", 1},              {"clr", "CLR", 1},
    // No ALT knob push: alt_push keeps its key.
    {"nav_push", "NAV_TOGGLE", 1},  {"com_push", "COM_TOGGLE", 1},  {"crs_push", "CRS_CENTER", 1},
    {"fms_push", "FMS_CRSR", 1},    {"sqvol_push", "COM_VOL_TOGGLE", 1},
    {"hdg_push", "HEADING_PRESS", 1},                               {"idvol_push", "NAV_ID", 1},
    {"nav_in_decr", "NAV_INNER", -1},   {"nav_in_incr", "NAV_INNER", 1},
    {"nav_out_decr", "NAV_OUTER", -1},  {"nav_out_incr", "NAV_OUTER", 1},
    {"alt_in_decr", "ALT_INNER", -1},   {"alt_in_incr", "ALT_INNER", 1},
    {"alt_out_decr", "ALT_OUTER", -1},  {"alt_out_incr", "ALT_OUTER", 1},
    {"com_in_decr", "COM_INNER", -1},   {"com_in_incr", "COM_INNER", 1},
    {"com_out_decr", "COM_OUTER", -1},  {"com_out_incr", "COM_OUTER", 1},
    {"crs_decr", "CRS", -1},            {"crs_incr", "CRS", 1},
    {"baro_decr", "BARO", -1},          {"baro_incr", "BARO", 1},
    {"fms_in_decr", "FMS_INNER", -1},   {"fms_in_incr", "FMS_INNER", 1},
    {"fms_out_decr", "FMS_OUTER", -1},  {"fms_out_incr", "FMS_OUTER", 1},
    {"sqvol_decr", "COM_VOL", -1},      {"sqvol_incr", "COM_VOL", 1},
    {"hdg_decr", "HEADING", -1},        {"hdg_incr", "HEADING", 1},
    {"idvol_decr", "NAV_VOL", -1},      {"idvol_incr", "NAV_VOL", 1},
    {"range_decr", "RANGE", -1},        {"range_incr", "RANGE", 1},
    {"range_pan_n", "JOYSTICK_VERTICAL", -1},
    {"range_pan_ne", "JOYSTICK_VERTICAL", -1, "JOYSTICK_HORIZONTAL", 1},
    {"range_pan_e", "JOYSTICK_HORIZONTAL", 1},
    {"range_pan_se", "JOYSTICK_VERTICAL", 1, "JOYSTICK_HORIZONTAL", 1},
    {"range_pan_s", "JOYSTICK_VERTICAL", 1},
    {"range_pan_sw", "JOYSTICK_VERTICAL", 1, "JOYSTICK_HORIZONTAL", -1},
    {"range_pan_w", "JOYSTICK_HORIZONTAL", -1},
    {"range_pan_nw", "JOYSTICK_VERTICAL", -1, "JOYSTICK_HORIZONTAL", -1},
    {"range_push", "JOYSTICK_PRESS", 1},
}};
// clang-format on
static_assert(HasDistinctSlotKeys(kFG1000Keys, IsBezelSlotKey));
static_assert(kFG1000Keys.size() == kBezelSlotCount - 1, "every bezel slot but alt_push");

// The FG1000's two keys with a held form, and how long the real unit wants them held.
struct FlightGearHeldRow {
    std::string_view SlotKey;
    std::string_view Notification;
    std::chrono::milliseconds Delay;
};
constexpr std::array<FlightGearHeldRow, 2> kFG1000HeldKeys{{
    {"clr", "CLR_HOLD", 1s},
    {"com_freq_toggle", "COM_FREQ_TRANSFER_HOLD", 2s},
}};
static_assert(HasDistinctSlotKeys(kFG1000HeldKeys, IsBezelSlotKey));

// The GMA 1347's keys, each toggling /controls/switches/mixer/NAME; the display backup key and
// the volume knob's push have no counterpart.
struct MixerRow {
    std::string_view SlotKey;
    std::string_view Switch;
};
constexpr std::array<MixerRow, 21> kMixerSwitches{{
    {"com1_mic", "com1mic"},
    {"com2_mic", "com2mic"},
    {"com3_mic", "com3mic"},
    {"com_12", "com12"},
    {"pa", "pa"},
    {"mkr_mute", "mkrmute"},
    {"dme", "dme"},
    {"adf", "adf"},
    {"aux", "aux"},
    {"man_sq", "mansq"},
    {"crew_pilot", "pilot"},
    {"com1", "com1"},
    {"com2", "com2"},
    {"com3", "com3"},
    {"tel", "tel"},
    {"spkr", "spkr"},
    {"hi_sense", "hisens"},
    {"nav1", "nav1"},
    {"nav2", "nav2"},
    {"play", "play"},
    {"crew_coplt", "coplt"},
}};
static_assert(HasDistinctSlotKeys(kMixerSwitches, IsAudioSlotKey));

// The FG1000 device number of a display role; nothing for the seats and None.
std::optional<int> DeviceOf(UnitRole role, const std::array<int, 3>& devices) {
    switch (role) {
        case UnitRole::Pfd:
            return devices[0];
        case UnitRole::Mfd:
            return devices[1];
        case UnitRole::CopilotPfd:
            return devices[2];
        case UnitRole::Pilot:
        case UnitRole::Copilot:
        case UnitRole::None:
            break;
    }
    return std::nullopt;
}

std::string HardKey(int device, std::string_view notification, int offset) {
    std::string command = "FG1000HardKeyPushed device=" + std::to_string(device);
    command += " notification=";
    command += notification;
    command += " offset=" + std::to_string(offset);
    return command;
}

std::string BezelCommand(int device, std::string_view slotKey) {
    const FlightGearRow* row = FindPresetRow(kFG1000Keys, slotKey);
    if (row == nullptr) return {};
    if (row->Notification.empty()) {
        return "FG1000SoftKeyPushed device=" + std::to_string(device) +
               " offset=" + std::to_string(row->Offset);
    }
    std::string command = HardKey(device, row->Notification, row->Offset);
    if (!row->AlsoNotification.empty()) {
        command += '\n';
        command += HardKey(device, row->AlsoNotification, row->AlsoOffset);
    }
    return command;
}

std::string MixerCommand(std::string_view slotKey) {
    const MixerRow* row = FindPresetRow(kMixerSwitches, slotKey);
    if (row == nullptr) return {};
    std::string command = "property-toggle property=/controls/switches/mixer/";
    command += row->Switch;
    return command;
}

}  // namespace

std::string FlightGearPresetCommand(UnitRole role, const std::array<int, 3>& devices,
                                    std::string_view slotKey) {
    if (const std::optional<int> device = DeviceOf(role, devices)) {
        return BezelCommand(*device, slotKey);
    }
    if (role == UnitRole::Pilot || role == UnitRole::Copilot) {
        // The FG1000 has one audio panel: both seats toggle the same switches.
        return MixerCommand(slotKey);
    }
    return {};
}

std::optional<HeldCommand> FlightGearHeldCommand(UnitRole role, const std::array<int, 3>& devices,
                                                 std::string_view slotKey) {
    const std::optional<int> device = DeviceOf(role, devices);
    const FlightGearHeldRow* row = FindPresetRow(kFG1000HeldKeys, slotKey);
    if (!device || row == nullptr) return std::nullopt;
    return HeldCommand{HardKey(*device, row->Notification, 1), row->Delay};
}

}  // namespace qel
