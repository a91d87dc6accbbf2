#include "panelview/schematic.h"

#include <array>

#include "translate/catalogue.h"

namespace qel {
namespace {

constexpr SchematicControl Button(int index, int column, int row, int columns, int rows) {
    return {ControlKind::Button, index, {column, row, columns, rows}};
}
// A key: 110 x 50 of the painter's units, five to a cell.
constexpr SchematicControl Key(int index, int column, int row) {
    return Button(index, column, row, 22, 10);
}
constexpr SchematicControl KnobPush(int index, int column, int row) {
    return Button(index, column, row, 30, 7);
}
constexpr SchematicControl Pan(int direction, int column, int row) {
    return {ControlKind::PanDirection, direction, {column, row, 22, 10}};
}
// A single knob between two 22-cell bindings; a dual knob, its rings one above the other.
constexpr SchematicControl Knob(int index, int column, int row) {
    return {ControlKind::Rotary, index, {column, row, 44 + kKnobColumns, kKnobRingRows}};
}
constexpr SchematicControl DualKnob(int outer, int inner, int column, int row) {
    return {
        ControlKind::Rotary, outer, {column, row, 44 + kDualKnobColumns, 2 * kKnobRingRows}, inner};
}

// Numbers are the catalogue's: buttons as in kBezelButtonNames, knobs as in kBezelRotaryNames,
// pan directions 0-7 from north clockwise. Pushes sit centred under their knobs.
// clang-format off
constexpr std::array kBezelControls{
    // Left: the NAV volume knob, the dual NAV knob, the heading knob, the autopilot keys, the
    // dual altitude knob.
    Knob(12, 2, 5),             KnobPush(39, 14, 15),   // idvol, idvol_push
    DualKnob(1, 0, 2, 22),      KnobPush(32, 18, 42),   // nav_out around nav_in, nav_push
    Knob(11, 2, 49),            KnobPush(38, 14, 59),   // hdg, hdg_push
    Key(2, 2, 67),  Key(4, 24, 67),  Key(1, 46, 67),    // afcs_ap, afcs_fd, afcs_yd
    Key(3, 2, 77),  Key(8, 24, 77),  Key(0, 46, 77),    // afcs_hdg, afcs_alt, afcs_ias
    Key(6, 2, 87),  Key(7, 24, 87),  Key(11, 46, 87),   // afcs_nav, afcs_vnv, afcs_up
    Key(5, 2, 97),  Key(10, 24, 97), Key(9, 46, 97),    // afcs_apr, afcs_vs, afcs_dn
    DualKnob(3, 2, 2, 111),     KnobPush(33, 18, 131),  // alt_out around alt_in, alt_push
    // The frequency transfer keys above the screen's corners, the flight plan keys beside its
    // foot.
    Button(12, 70, 2, 30, 10),  Button(25, 140, 2, 30, 10),  // nav_freq_toggle, com_freq_toggle
    Key(27, 126, 116), Key(26, 148, 116),   // direct_to, menu
    Key(29, 126, 126), Key(28, 148, 126),   // fpl, proc
    Key(31, 126, 136), Key(30, 148, 136),   // clr, ent
    // Right: the COM volume knob, the dual COM knob, CRS inside BARO, the range knob over the
    // map joystick (its push in the middle), the dual FMS knob.
    Knob(10, 184, 5),           KnobPush(37, 196, 15),  // sqvol, sqvol_push
    DualKnob(5, 4, 176, 22),    KnobPush(34, 192, 42),  // com_out around com_in, com_push
    DualKnob(7, 6, 176, 49),    KnobPush(35, 192, 69),  // baro around crs, crs_push
    Knob(13, 178, 76),                                  // range
    Pan(7, 172, 86),  Pan(0, 194, 86),  Pan(1, 216, 86),
    Pan(6, 172, 96),  SchematicControl{ControlKind::PanPush, 0, {194, 96, 22, 10}},  Pan(2, 216, 96),
    Pan(5, 172, 106), Pan(4, 194, 106), Pan(3, 216, 106),
    DualKnob(9, 8, 176, 119),   KnobPush(36, 192, 139), // fms_out around fms_in, fms_push
    // The soft keys in their row along the foot.
    Button(13, 6, 148, 19, 10),   Button(14, 25, 148, 19, 10),  Button(15, 44, 148, 19, 10),
    Button(16, 63, 148, 19, 10),  Button(17, 82, 148, 19, 10),  Button(18, 101, 148, 19, 10),
    Button(19, 120, 148, 19, 10), Button(20, 139, 148, 19, 10), Button(21, 158, 148, 19, 10),
    Button(22, 177, 148, 19, 10), Button(23, 196, 148, 19, 10), Button(24, 215, 148, 19, 10),
};

// Numbers as in kAudioButtonNames (the unnamed positions have no control) and
// kAudioRotaryNames. The unit is a tall strip of key pairs; drawn here as two columns of
// pairs side by side, then the crew keys over the volume knob and the display backup key.
constexpr SchematicControl AudioKey(int index, int column, int row) {
    return Button(index, column, row, 24, 12);
}
constexpr std::array kAudioControls{
    AudioKey(0, 2, 14),  AudioKey(13, 26, 14),   AudioKey(5, 54, 14),  AudioKey(20, 78, 14),  // com1_mic com1 | mkr_mute hi_sense
    AudioKey(1, 2, 26),  AudioKey(16, 26, 26),   AudioKey(8, 54, 26),  AudioKey(21, 78, 26),  // com2_mic com2 | dme nav1
    AudioKey(2, 2, 38),  AudioKey(17, 26, 38),   AudioKey(9, 54, 38),  AudioKey(24, 78, 38),  // com3_mic com3 | adf nav2
    AudioKey(3, 2, 50),  AudioKey(18, 26, 50),   AudioKey(10, 54, 50),                        // com_12 tel | aux
    AudioKey(4, 2, 62),  AudioKey(19, 26, 62),   AudioKey(11, 54, 62), AudioKey(25, 78, 62),  // pa spkr | man_sq play
    AudioKey(12, 114, 14), AudioKey(26, 138, 14),                                             // crew_pilot, crew_coplt
    DualKnob(0, 1, 107, 30),   KnobPush(28, 123, 50),  // coplt around pilot, pilot_push
    Button(27, 114, 62, 48, 12),                       // display_backup
};
// clang-format on

constexpr UnitSchematic kBezel{240, 160, {70, 13, 100, 102}, kBezelControls};
constexpr UnitSchematic kAudio{172, 76, {2, 2, 168, 10}, kAudioControls};

}  // namespace

const UnitSchematic& BezelSchematic() {
    return kBezel;
}

const UnitSchematic& AudioSchematic() {
    return kAudio;
}

const UnitSchematic* SchematicOf(UnitId unit) {
    if (!unit.IsValid()) {
        return nullptr;
    }
    return unit.Kind == UnitKind::Bezel ? &kBezel : &kAudio;
}

}  // namespace qel
