#include "panelview/schematic.h"

#include <array>

#include "translate/catalogue.h"

namespace qel {
namespace {

constexpr SchematicControl Button(int index, int column, int row, int columns = 1) {
    return {ControlKind::Button, index, {column, row, columns, 1}};
}
constexpr SchematicControl Knob(int index, int column, int row) {
    return {ControlKind::Rotary, index, {column, row, 2, 1}};
}
constexpr SchematicControl Pan(int direction, int column, int row) {
    return {ControlKind::PanDirection, direction, {column, row, 1, 1}};
}

// Numbers are the catalogue's: buttons as in kBezelButtonNames, knobs as in kBezelRotaryNames,
// pan directions 0-7 from north clockwise.
// clang-format off
constexpr std::array kBezelControls{
    // Left of the screen: volume, NAV and HDG knobs, the autopilot keys, the ALT knob.
    Knob(12, 0, 0),  Button(39, 2, 0),                    // idvol, idvol_push
    Knob(1, 0, 1),   Button(12, 2, 1),                    // nav_out, nav_freq_toggle
    Knob(0, 0, 2),   Button(32, 2, 2),                    // nav_in, nav_push
    Knob(11, 0, 3),  Button(38, 2, 3),                    // hdg, hdg_push
    Button(2, 0, 4), Button(4, 1, 4),  Button(1, 2, 4),   // afcs_ap, afcs_fd, afcs_yd
    Button(3, 0, 5), Button(8, 1, 5),  Button(0, 2, 5),   // afcs_hdg, afcs_alt, afcs_ias
    Button(6, 0, 6), Button(7, 1, 6),  Button(11, 2, 6),  // afcs_nav, afcs_vnv, afcs_up
    Button(5, 0, 7), Button(10, 1, 7), Button(9, 2, 7),   // afcs_apr, afcs_vs, afcs_dn
    Knob(3, 0, 8),   Button(33, 2, 8),                    // alt_out, alt_push
    Knob(2, 0, 9),                                        // alt_in
    // Right of the screen: volume, COM, CRS/BARO and range knobs, the map joystick, the
    // flight plan keys and the FMS knob.
    Knob(10, 8, 0),  Button(37, 10, 0), Button(25, 11, 0),  // sqvol, sqvol_push, com_freq_toggle
    Knob(5, 8, 1),   Button(34, 10, 1),                     // com_out, com_push
    Knob(4, 8, 2),                                          // com_in
    Knob(6, 8, 3),   Button(35, 10, 3),                     // crs, crs_push
    Knob(7, 8, 4),                                          // baro
    Knob(13, 8, 5),                                         // range
    Pan(7, 8, 6),    Pan(0, 9, 6),      Pan(1, 10, 6),     Button(27, 11, 6),  // direct_to
    Pan(6, 8, 7),    SchematicControl{ControlKind::PanPush, 0, {9, 7, 1, 1}},
                                        Pan(2, 10, 7),     Button(26, 11, 7),  // menu
    Pan(5, 8, 8),    Pan(4, 9, 8),      Pan(3, 10, 8),     Button(29, 11, 8),  // fpl
    Button(28, 8, 9), Button(31, 9, 9), Button(30, 10, 9), Button(36, 11, 9),  // proc clr ent fms_push
    Knob(9, 8, 10),  Knob(8, 10, 10),                       // fms_out, fms_in
    // The soft keys in their row below the screen.
    Button(13, 0, 11), Button(14, 1, 11), Button(15, 2, 11), Button(16, 3, 11),
    Button(17, 4, 11), Button(18, 5, 11), Button(19, 6, 11), Button(20, 7, 11),
    Button(21, 8, 11), Button(22, 9, 11), Button(23, 10, 11), Button(24, 11, 11),
};

// Numbers as in kAudioButtonNames (the unnamed positions have no control) and
// kAudioRotaryNames.
constexpr std::array kAudioControls{
    Button(0, 0, 1),  Button(1, 1, 1),  Button(2, 2, 1),  Button(3, 3, 1),  Knob(1, 4, 1),  // mics, com_12, pilot
    Button(13, 0, 2), Button(16, 1, 2), Button(17, 2, 2), Button(18, 3, 2), Button(28, 4, 2),  // com1-3, tel, pilot_push
    Button(4, 0, 3),  Button(19, 1, 3), Button(5, 2, 3),  Button(20, 3, 3), Knob(0, 4, 3),  // pa, spkr, mkr_mute, hi_sense, coplt
    Button(8, 0, 4),  Button(21, 1, 4), Button(9, 2, 4),  Button(24, 3, 4),                 // dme, nav1, adf, nav2
    Button(10, 0, 5), Button(11, 1, 5), Button(25, 2, 5),                                   // aux, man_sq, play
    Button(12, 0, 6), Button(26, 1, 6), Button(27, 4, 6, 2),                                // crew_pilot, crew_coplt, display_backup
};
// clang-format on

constexpr UnitSchematic kBezel{12, 12, {3, 0, 5, 11}, kBezelControls};
constexpr UnitSchematic kAudio{6, 7, {0, 0, 6, 1}, kAudioControls};

}  // namespace

const UnitSchematic& BezelSchematic() {
    return kBezel;
}

const UnitSchematic& AudioSchematic() {
    return kAudio;
}

const UnitSchematic* SchematicOf(int deviceIndex) {
    if (deviceIndex >= 0 && deviceIndex < kFirstAudioDeviceIndex) {
        return &kBezel;
    }
    if (deviceIndex >= kFirstAudioDeviceIndex && deviceIndex < kDeviceCount) {
        return &kAudio;
    }
    return nullptr;
}

}  // namespace qel
