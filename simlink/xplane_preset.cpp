#include "simlink/xplane_preset.h"

#include <array>

#include "simlink/preset_entry.h"

namespace qel {
namespace {

struct XPlaneRow {
    std::string_view SlotKey;
    std::string_view Command;  // after the role's prefix
};

// The built-in G1000's commands by bezel slot key. Knobs turn up on their increment half, as the
// key bindings do (clockwise); the range knob's "up" is the larger range.
// clang-format off
constexpr std::array<XPlaneRow, 76> kG1000Commands{{
    {"afcs_ias", "flc"},          {"afcs_yd", "yd"},            {"afcs_ap", "ap"},
    {"afcs_hdg", "hdg"},          {"afcs_fd", "fd"},            {"afcs_apr", "apr"},
    {"afcs_nav", "nav"},          {"afcs_vnv", "vnv"},          {"afcs_alt", "alt"},
    {"afcs_dn", "nose_down"},     {"afcs_vs", "vs"},            {"afcs_up", "nose_up"},
    {"nav_freq_toggle", "nav_ff"},
    {"softkey_1", "softkey1"},    {"softkey_2", "softkey2"},    {"softkey_3", "softkey3"},
    {"softkey_4", "softkey4"},    {"softkey_5", "softkey5"},    {"softkey_6", "softkey6"},
    {"softkey_7", "softkey7"},    {"softkey_8", "softkey8"},    {"softkey_9", "softkey9"},
    {"softkey_10", "softkey10"},  {"softkey_11", "softkey11"},  {"softkey_12", "softkey12"},
    {"com_freq_toggle", "com_ff"},
    {"menu", "menu"},             {"direct_to", "direct"},      {"proc", "proc"},
    {"fpl", "fpl"},               {"ent", "ent"},               {"clr", "clr"},
    // The NAV and COM knobs' pushes swap 1 and 2; the volume knobs are the NAV volume / ID knob
    // (idvol) and the COM volume / squelch knob (sqvol). The ALT knob's push has no command.
    {"nav_push", "nav12"},        {"com_push", "com12"},        {"crs_push", "crs_sync"},
    {"fms_push", "cursor"},       {"sqvol_push", "cvol"},       {"hdg_push", "hdg_sync"},
    {"idvol_push", "nvol"},
    {"nav_in_decr", "nav_inner_down"},   {"nav_in_incr", "nav_inner_up"},
    {"nav_out_decr", "nav_outer_down"},  {"nav_out_incr", "nav_outer_up"},
    {"alt_in_decr", "alt_inner_down"},   {"alt_in_incr", "alt_inner_up"},
    {"alt_out_decr", "alt_outer_down"},  {"alt_out_incr", "alt_outer_up"},
    {"com_in_decr", "com_inner_down"},   {"com_in_incr", "com_inner_up"},
    {"com_out_decr", "com_outer_down"},  {"com_out_incr", "com_outer_up"},
    {"crs_decr", "crs_down"},            {"crs_incr", "crs_up"},
    {"baro_decr", "baro_down"},          {"baro_incr", "baro_up"},
    {"fms_in_decr", "fms_inner_down"},   {"fms_in_incr", "fms_inner_up"},
    {"fms_out_decr", "fms_outer_down"},  {"fms_out_incr", "fms_outer_up"},
    {"sqvol_decr", "cvol_dn"},           {"sqvol_incr", "cvol_up"},
    {"hdg_decr", "hdg_down"},            {"hdg_incr", "hdg_up"},
    {"idvol_decr", "nvol_dn"},           {"idvol_incr", "nvol_up"},
    {"range_decr", "range_down"},        {"range_incr", "range_up"},
    {"range_pan_n", "pan_up"},           {"range_pan_ne", "pan_up_right"},
    {"range_pan_e", "pan_right"},        {"range_pan_se", "pan_down_right"},
    {"range_pan_s", "pan_down"},         {"range_pan_sw", "pan_down_left"},
    {"range_pan_w", "pan_left"},         {"range_pan_nw", "pan_up_left"},
    {"range_push", "pan_push"},
}};
// clang-format on
static_assert(HasDistinctSlotKeys(kG1000Commands, IsBezelSlotKey));
static_assert(kG1000Commands.size() == kBezelSlotCount - 1, "every bezel slot but alt_push");

// The audio panel's transmit and monitor keys; X-Plane has nothing for the others.
constexpr std::array<XPlaneRow, 9> kAudioPanelCommands{{
    {"com1_mic", "transmit_audio_com1"},
    {"com2_mic", "transmit_audio_com2"},
    {"com1", "monitor_audio_com1"},
    {"com2", "monitor_audio_com2"},
    {"nav1", "monitor_audio_nav1"},
    {"nav2", "monitor_audio_nav2"},
    {"adf", "monitor_audio_adf1"},
    {"dme", "monitor_audio_dme"},
    {"mkr_mute", "monitor_audio_mkr"},
}};
static_assert(HasDistinctSlotKeys(kAudioPanelCommands, IsAudioSlotKey));

// The audio panel's red display backup key reverts the G1000's displays, whichever the seat.
constexpr std::string_view kDisplayBackupKey = "display_backup";
constexpr std::string_view kDisplayReversion = "sim/GPS/G1000_display_reversion";

template <std::size_t N>
std::string Prefixed(std::string_view prefix, const std::array<XPlaneRow, N>& table,
                     std::string_view slotKey) {
    const XPlaneRow* row = FindPresetRow(table, slotKey);
    if (row == nullptr) return {};
    std::string command(prefix);
    command += row->Command;
    return command;
}

}  // namespace

std::string XPlanePresetCommand(UnitRole role, std::string_view slotKey) {
    switch (role) {
        case UnitRole::Pfd:
            return Prefixed("sim/GPS/g1000n1_", kG1000Commands, slotKey);
        case UnitRole::CopilotPfd:
            return Prefixed("sim/GPS/g1000n2_", kG1000Commands, slotKey);
        case UnitRole::Mfd:
            return Prefixed("sim/GPS/g1000n3_", kG1000Commands, slotKey);
        case UnitRole::Pilot:
        case UnitRole::Copilot:
            if (slotKey == kDisplayBackupKey) return std::string(kDisplayReversion);
            return Prefixed(
                role == UnitRole::Pilot ? "sim/audio_panel/" : "sim/audio_panel_copilot/",
                kAudioPanelCommands, slotKey);
        case UnitRole::None:
            break;
    }
    return {};
}

}  // namespace qel
