#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// The fixed controls of each unit kind: numbers, names (also the keymap.ini key names)
// and where their state arrives in the input reports.
namespace qel {

// The USB vendor of every panel.
inline constexpr int kPanelVendorId = 0x0D59;  // 3417
inline constexpr int kFirstBezelProductId = 684;
inline constexpr int kBezelUnitCount = 4;
inline constexpr int kAudioUnitCount = 2;
// Device indexes 0-5: bezel units 0-3, then audio units 0-1; the product ID of device index i
// is 684 + i.
inline constexpr int kDeviceCount = kBezelUnitCount + kAudioUnitCount;
inline constexpr int kFirstAudioDeviceIndex = kBezelUnitCount;

inline constexpr int kBezelButtonCount = 40;
inline constexpr int kBezelRotaryCount = 14;
inline constexpr int kPanDirectionCount = 8;
inline constexpr int kAudioButtonCount = 32;
inline constexpr int kAudioRotaryCount = 2;

// Binding slots per unit: bezel 40 buttons + 28 rotary halves + 8 directions + push.
inline constexpr int kBezelSlotCount = 77;
inline constexpr int kAudioSlotCount = 36;

// Report types.
inline constexpr std::uint8_t kReportC1 = 0xC1;
inline constexpr std::uint8_t kReportC2 = 0xC2;
inline constexpr std::uint8_t kReportC3 = 0xC3;

// Bezel 0xC1: payload byte 5 carries the pan push (bit 0) and switches (bits 1-4).
inline constexpr int kPanPayloadByte = 5;
// The pan push logs with this fixed number.
inline constexpr int kPanPushNumber = 40;

// clang-format off
inline constexpr std::array<std::string_view, kBezelButtonCount> kBezelButtonNames{
    "afcs_ias",   "afcs_yd",   "afcs_ap",   "afcs_hdg",        "afcs_fd",        "afcs_apr",
    "afcs_nav",   "afcs_vnv",  "afcs_alt",  "afcs_dn",         "afcs_vs",        "afcs_up",
    "nav_freq_toggle", "softkey_1", "softkey_2", "softkey_3",  "softkey_4",      "softkey_5",
    "softkey_6",  "softkey_7", "softkey_8", "softkey_9",       "softkey_10",     "softkey_11",
    "softkey_12", "com_freq_toggle", "menu", "direct_to",      "proc",           "fpl",
    "ent",        "clr",       "nav_push",  "alt_push",        "com_push",       "crs_push",
    "fms_push",   "sqvol_push", "hdg_push", "idvol_push",
};
// clang-format on

// Rotaries 0-6 arrive in 0xC2 reports, 7-13 in 0xC3 reports, lowest number in payload byte 0.
inline constexpr std::array<std::string_view, kBezelRotaryCount> kBezelRotaryNames{
    "nav_in", "nav_out", "alt_in",  "alt_out", "com_in", "com_out", "crs",
    "baro",   "fms_in",  "fms_out", "sqvol",   "hdg",    "idvol",   "range",
};
inline constexpr int kRotariesPerReport = 7;

// Direction codes 1-8, clockwise from north; code c is element c - 1.
inline constexpr std::array<std::string_view, kPanDirectionCount> kPanDirectionNames{
    "range_pan_n", "range_pan_ne", "range_pan_e", "range_pan_se",
    "range_pan_s", "range_pan_sw", "range_pan_w", "range_pan_nw",
};
inline constexpr std::string_view kPanPushName = "range_push";

// Bits 1-4 of the pan byte, as a 4-bit index, to a direction code (0 = centred).
// clang-format off
inline constexpr std::array<std::int32_t, 16> kPanDirectionTable{
    0, 2, 8, 1, 4, 3, 0, 2, 6, 0, 7, 8, 5, 4, 6, 0,
};
// clang-format on

// Empty names are positions that exist in the reports but carry no control.
// clang-format off
inline constexpr std::array<std::string_view, kAudioButtonCount> kAudioButtonNames{
    "com1_mic", "com2_mic", "com3_mic",   "com_12",     "pa",             "mkr_mute",   "",  "",
    "dme",      "adf",      "aux",        "man_sq",     "crew_pilot",     "com1",       "",  "",
    "com2",     "com3",     "tel",        "spkr",       "hi_sense",       "nav1",       "",  "",
    "nav2",     "play",     "crew_coplt", "display_backup", "pilot_push", "",           "",  "",
};
// clang-format on

// Audio 0xC1 reports carry these counters in payload bytes 0 and 1.
inline constexpr std::array<std::string_view, kAudioRotaryCount> kAudioRotaryNames{"coplt",
                                                                                   "pilot"};

inline constexpr std::string_view kDecrSuffix = "_decr";
inline constexpr std::string_view kIncrSuffix = "_incr";

}  // namespace qel
