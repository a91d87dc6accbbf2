#include "virtual_panel_script.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace qel::test {

namespace {

using namespace std::chrono_literals;

std::size_t IndexOf(std::span<const std::string_view> names, std::string_view name) {
    const auto found = std::find(names.begin(), names.end(), name);
    assert(found != names.end() && "a control of the catalogue");
    return static_cast<std::size_t>(found - names.begin());
}

}  // namespace

VirtualPanelScript::VirtualPanelScript() : Lines("at 0 plug 684\nat 0 plug 685\nat 0 plug 688\n") {
    for (const Unit unit : {Pfd, Mfd}) {
        Knobs(unit, kReportC2);
        Knobs(unit, kReportC3);
    }
}

VirtualPanelScript& VirtualPanelScript::Turn(Unit unit, std::string_view knob, int steps,
                                             bool fast) {
    const std::size_t rotary = IndexOf(kBezelRotaryNames, knob);
    std::uint8_t& counter = Counters.at(unit)[rotary];
    const int counts = 2 * (fast ? steps : (steps < 0 ? -1 : 1));  // two counts a step
    for (int i = 0; i < std::abs(steps); ++i) {
        if (!fast || i == 0) {
            counter = static_cast<std::uint8_t>(counter + counts);
        }
        Knobs(unit, rotary < kRotariesPerReport ? kReportC2 : kReportC3);
    }
    return *this;
}

VirtualPanelScript& VirtualPanelScript::Push(Unit unit, std::string_view key,
                                             std::chrono::milliseconds held) {
    const bool audio = unit == Audio;
    const std::size_t button =
        audio ? IndexOf(kAudioButtonNames, key) : IndexOf(kBezelButtonNames, key);
    // Bezel keys and the joystick byte in 0xC1 reports, audio keys in 0xC2 reports.
    std::vector<std::uint8_t> payload(audio ? kAudioButtonCount / 8 : kPanPayloadByte + 1);
    const std::uint8_t type = audio ? kReportC2 : kReportC1;
    payload[button / 8] = static_cast<std::uint8_t>(1U << (button % 8));
    Report(unit, type, payload);
    At += held;
    Report(unit, type, std::vector<std::uint8_t>(payload.size()));
    return *this;
}

void VirtualPanelScript::Knobs(Unit unit, std::uint8_t reportType) {
    const auto first =
        Counters.at(unit).begin() + (reportType == kReportC2 ? 0 : kRotariesPerReport);
    Report(unit, reportType, {first, first + kRotariesPerReport});
}

void VirtualPanelScript::Report(Unit unit, std::uint8_t reportType,
                                const std::vector<std::uint8_t>& payload) {
    Lines += "at " + std::to_string(At.count()) + " report " +
             std::to_string(kFirstBezelProductId + unit) + " 00";
    char byte[4];
    std::snprintf(byte, sizeof byte, " %02X", reportType);
    Lines += byte;
    for (const std::uint8_t value : payload) {
        std::snprintf(byte, sizeof byte, " %02X", value);
        Lines += byte;
    }
    Lines += '\n';
    At += 40ms;
}

}  // namespace qel::test
