#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "translate/catalogue.h"

namespace qel::test {

// A script for the program's virtual panels: the PFD's and the MFD's bezel units and the
// pilot's audio unit plugged at once, every bezel knob counter primed, then the controls worked
// one report every 40 ms from 3 s on, when the program's link is up. Controls by their
// keymap.ini names; an unknown name is a bug of the test.
class VirtualPanelScript {
public:
    // Device indexes: bezel units 0 and 1, audio unit 0.
    enum Unit : std::uint8_t { Pfd = 0, Mfd = 1, Audio = kFirstAudioDeviceIndex };

    VirtualPanelScript();
    // Steps of a bezel knob (negative: the other way), one report each. A fast turn moves the
    // counter by all of them in its first report; the program takes one step per report.
    VirtualPanelScript& Turn(Unit unit, std::string_view knob, int steps, bool fast = false);
    // Presses a key and releases it after held.
    VirtualPanelScript& Push(Unit unit, std::string_view key,
                             std::chrono::milliseconds held = std::chrono::milliseconds(0));

    [[nodiscard]] const std::string& Text() const { return Lines; }
    // When the last report is played, counted from the program's start.
    [[nodiscard]] std::chrono::milliseconds End() const { return At; }

private:
    void Knobs(Unit unit, std::uint8_t reportType);
    void Report(Unit unit, std::uint8_t reportType, const std::vector<std::uint8_t>& payload);

    std::string Lines;
    std::chrono::milliseconds At{3000};
    std::array<std::array<std::uint8_t, kBezelRotaryCount>, 2> Counters{};
};

}  // namespace qel::test
