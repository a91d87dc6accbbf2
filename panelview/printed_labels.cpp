#include "panelview/printed_labels.h"

#include <algorithm>
#include <array>

#include "translate/catalogue.h"

namespace qel {
namespace {

struct PrintedLabelEntry {
    bool Audio = false;
    ControlKind Kind = ControlKind::Button;
    int Index = 0;  // catalogue number, as in ControlEvent
    std::string_view Text;
};

constexpr PrintedLabelEntry Bezel(ControlKind kind, int index, std::string_view text) {
    return {false, kind, index, text};
}
constexpr PrintedLabelEntry Audio(ControlKind kind, int index, std::string_view text) {
    return {true, kind, index, text};
}

using K = ControlKind;

// The bezel's print: the autopilot keys, the frequency transfer keys (a two-headed arrow), the
// knobs named once per knob (a dual knob's two rings share the name, but CRS/BARO's), and what
// pushing a knob does. The soft keys carry nothing: the screen above them names them.
// clang-format off
constexpr std::array kPrintedLabels{
    Bezel(K::Button, 0, "FLC"),     Bezel(K::Button, 1, "YD"),       Bezel(K::Button, 2, "AP"),
    Bezel(K::Button, 3, "HDG"),     Bezel(K::Button, 4, "FD"),       Bezel(K::Button, 5, "APR"),
    Bezel(K::Button, 6, "NAV"),     Bezel(K::Button, 7, "VNV"),      Bezel(K::Button, 8, "ALT"),
    Bezel(K::Button, 9, "NOSE DN"), Bezel(K::Button, 10, "VS"),      Bezel(K::Button, 11, "NOSE UP"),
    Bezel(K::Button, 12, "\u2194"), Bezel(K::Button, 25, "\u2194"),  Bezel(K::Button, 26, "MENU"),
    Bezel(K::Button, 27, "D\u2192"), Bezel(K::Button, 28, "PROC"),   Bezel(K::Button, 29, "FPL"),
    Bezel(K::Button, 30, "ENT"),    Bezel(K::Button, 31, "CLR"),
    Bezel(K::Button, 32, "PUSH 1-2"),     Bezel(K::Button, 33, "PUSH"),
    Bezel(K::Button, 34, "PUSH 1-2"),     Bezel(K::Button, 35, "PUSH CRS CTR"),
    Bezel(K::Button, 36, "PUSH CRSR"),    Bezel(K::Button, 37, "PUSH SQ"),
    Bezel(K::Button, 38, "PUSH HDG SYNC"), Bezel(K::Button, 39, "PUSH ID"),
    Bezel(K::Rotary, 0, "NAV"),     Bezel(K::Rotary, 1, "NAV"),      Bezel(K::Rotary, 2, "ALT"),
    Bezel(K::Rotary, 3, "ALT"),     Bezel(K::Rotary, 4, "COM"),      Bezel(K::Rotary, 5, "COM"),
    Bezel(K::Rotary, 6, "CRS"),     Bezel(K::Rotary, 7, "BARO"),     Bezel(K::Rotary, 8, "FMS"),
    Bezel(K::Rotary, 9, "FMS"),     Bezel(K::Rotary, 10, "VOL"),     Bezel(K::Rotary, 11, "HDG"),
    Bezel(K::Rotary, 12, "VOL"),    Bezel(K::Rotary, 13, "RANGE"),
    // The map joystick: an arrow per direction, north first, clockwise.
    Bezel(K::PanDirection, 0, "\u2191"), Bezel(K::PanDirection, 1, "\u2197"),
    Bezel(K::PanDirection, 2, "\u2192"), Bezel(K::PanDirection, 3, "\u2198"),
    Bezel(K::PanDirection, 4, "\u2193"), Bezel(K::PanDirection, 5, "\u2199"),
    Bezel(K::PanDirection, 6, "\u2190"), Bezel(K::PanDirection, 7, "\u2196"),
    Bezel(K::PanPush, 0, "PUSH PAN"),
    // The audio unit's keys; its volume knob has the pilot's inner ring and the copilot's outer.
    Audio(K::Button, 0, "COM1 MIC"),  Audio(K::Button, 1, "COM2 MIC"), Audio(K::Button, 2, "COM3 MIC"),
    Audio(K::Button, 3, "COM 1/2"),   Audio(K::Button, 4, "PA"),       Audio(K::Button, 5, "MKR MUTE"),
    Audio(K::Button, 8, "DME"),       Audio(K::Button, 9, "ADF"),      Audio(K::Button, 10, "AUX"),
    Audio(K::Button, 11, "MAN SQ"),   Audio(K::Button, 12, "PILOT"),   Audio(K::Button, 13, "COM1"),
    Audio(K::Button, 16, "COM2"),     Audio(K::Button, 17, "COM3"),    Audio(K::Button, 18, "TEL"),
    Audio(K::Button, 19, "SPKR"),     Audio(K::Button, 20, "HI SENS"), Audio(K::Button, 21, "NAV1"),
    Audio(K::Button, 24, "NAV2"),     Audio(K::Button, 25, "PLAY"),    Audio(K::Button, 26, "COPLT"),
    Audio(K::Button, 27, "DISPLAY BACKUP"), Audio(K::Button, 28, "PUSH"),
    Audio(K::Rotary, 0, "COPLT"),     Audio(K::Rotary, 1, "PILOT"),
};
// clang-format on

}  // namespace

std::string_view PrintedLabel(UnitId unit, ControlKind kind, int index) {
    if (!unit.IsValid()) {
        return {};
    }
    const bool audio = unit.Kind == UnitKind::Audio;
    const auto* found = std::find_if(
        kPrintedLabels.begin(), kPrintedLabels.end(), [&](const PrintedLabelEntry& entry) {
            return entry.Audio == audio && entry.Kind == kind && entry.Index == index;
        });
    return found == kPrintedLabels.end() ? std::string_view{} : found->Text;
}

std::string KnobLabel(UnitId unit, int outer, int inner) {
    const std::string_view outerLabel = PrintedLabel(unit, ControlKind::Rotary, outer);
    const std::string_view innerLabel =
        inner >= 0 ? PrintedLabel(unit, ControlKind::Rotary, inner) : outerLabel;
    if (innerLabel == outerLabel) {
        return std::string(outerLabel);
    }
    return std::string(innerLabel) + "/" + std::string(outerLabel);
}

}  // namespace qel
