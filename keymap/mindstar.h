#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "keymap/profilestore.h"

// How the key file of Mindstar's G1000 simulator (G1000.ini) maps onto keymap.ini keys.
namespace qel {

struct MindstarRow {
    std::string_view Command;  // key in the Mindstar file's KEYBOARD section
    std::string_view Key;      // keymap.ini key the value is copied to
};

inline constexpr std::string_view kMindstarSection = "KEYBOARD";
inline constexpr std::string_view kMindstarPfdPrefix = "PFD_";
inline constexpr std::string_view kMindstarMfdPrefix = "MFD_";

// Once per display: "PFD_" + command goes to bezel unit 0, "MFD_" + command to bezel unit 1.
inline constexpr std::array<MindstarRow, 30> kMindstarDisplayCommands{{
    {"RANGE_INCR", "range_incr"},
    {"RANGE_DECR", "range_decr"},
    {"RANGE_PRESS", "range_push"},
    {"RANGE_PAN_UP", "range_pan_n"},
    {"RANGE_PAN_DOWN", "range_pan_s"},
    {"RANGE_PAN_LEFT", "range_pan_w"},
    {"RANGE_PAN_RIGHT", "range_pan_e"},
    {"DIRECT_TO", "direct_to"},
    {"MENU", "menu"},
    {"FPL", "fpl"},
    {"PROC", "proc"},
    {"CLR", "clr"},
    {"ENT", "ent"},
    {"LARGE_FMS_INCR", "fms_out_incr"},
    {"LARGE_FMS_DECR", "fms_out_decr"},
    {"SMALL_FMS_INCR", "fms_in_incr"},
    {"SMALL_FMS_DECR", "fms_in_decr"},
    {"SMALL_FMS_PRESS", "fms_push"},
    {"SOFTKEY_1", "softkey_1"},
    {"SOFTKEY_2", "softkey_2"},
    {"SOFTKEY_3", "softkey_3"},
    {"SOFTKEY_4", "softkey_4"},
    {"SOFTKEY_5", "softkey_5"},
    {"SOFTKEY_6", "softkey_6"},
    {"SOFTKEY_7", "softkey_7"},
    {"SOFTKEY_8", "softkey_8"},
    {"SOFTKEY_9", "softkey_9"},
    {"SOFTKEY_10", "softkey_10"},
    {"SOFTKEY_11", "softkey_11"},
    {"SOFTKEY_12", "softkey_12"},
}};

// Audio panel commands: copied to both audio units.
inline constexpr std::array<MindstarRow, 6> kMindstarAudioCommands{{
    {"AUDIO_TRANSMIT_COM1", "com1_mic"},
    {"AUDIO_MONITOR_COM1", "com1"},
    {"AUDIO_TRANSMIT_COM2", "com2_mic"},
    {"AUDIO_MONITOR_COM2", "com2"},
    {"AUDIO_MARKER_MUTE", "mkr_mute"},
    // Spelled with the final R, as Mindstar's file spells it.
    {"AUDIO_ACTIVATE_REVERSIONAR", "com_12"},
}};

// Shared bezel commands: copied to all four bezel units.
inline constexpr std::array<MindstarRow, 37> kMindstarBezelCommands{{
    {"NAV_FREQ_TOGGLE", "nav_freq_toggle"},
    {"LARGE_NAV_INCR", "nav_out_incr"},
    {"LARGE_NAV_DECR", "nav_out_decr"},
    {"SMALL_NAV_INCR", "nav_in_incr"},
    {"SMALL_NAV_DECR", "nav_in_decr"},
    {"SMALL_NAV_PRESS", "nav_push"},
    {"HDG_INCR", "hdg_incr"},
    {"HDG_DECR", "hdg_decr"},
    {"HDG_PRESS", "hdg_push"},
    {"LARGE_ALT_INCR", "alt_out_incr"},
    {"LARGE_ALT_DECR", "alt_out_decr"},
    {"SMALL_ALT_INCR", "alt_in_incr"},
    {"SMALL_ALT_DECR", "alt_in_decr"},
    {"SMALL_ALT_PRESS", "alt_push"},
    {"COM_FREQ_TOGGLE", "com_freq_toggle"},
    {"LARGE_COM_INCR", "com_out_incr"},
    {"LARGE_COM_DECR", "com_out_decr"},
    {"SMALL_COM_INCR", "com_in_incr"},
    {"SMALL_COM_DECR", "com_in_decr"},
    {"SMALL_COM_PRESS", "com_push"},
    {"CRS_INCR", "crs_incr"},
    {"CRS_DECR", "crs_decr"},
    {"CRS_PRESS", "crs_push"},
    {"BARO_INCR", "baro_incr"},
    {"BARO_DECR", "baro_decr"},
    {"AFCS_1", "afcs_ias"},
    {"AFCS_2", "afcs_yd"},
    {"AFCS_3", "afcs_ap"},
    {"AFCS_4", "afcs_hdg"},
    {"AFCS_5", "afcs_fd"},
    {"AFCS_6", "afcs_apr"},
    {"AFCS_7", "afcs_nav"},
    {"AFCS_8", "afcs_vnv"},
    {"AFCS_9", "afcs_alt"},
    {"AFCS_10", "afcs_dn"},
    {"AFCS_11", "afcs_vs"},
    {"AFCS_12", "afcs_up"},
}};

// The 220 keymap.ini edits an import makes, in order: display commands (PFD to unit 0,
// then MFD to unit 1, row by row), audio commands (audio unit 0, then 1), shared bezel
// commands (units 0 to 3). Values are copied verbatim; a missing command gives "".
[[nodiscard]] std::vector<ProfileEdit> MindstarEdits(const ProfileView& mindstarFile);

}  // namespace qel
