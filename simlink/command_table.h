#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "simlink/link_settings.h"

namespace qel {

// The command of every binding slot of every unit for one link: the built-in preset of the
// chosen simulator for the unit's role, with the user's own commands over it. An empty
// command means the slot types its key. Built once per change of the settings.
class CommandTable {
public:
    explicit CommandTable(const LinkSettings& settings);

    [[nodiscard]] SimulatorKind Simulator() const { return Kind; }
    // The command of binding slot `slot` of device index 0-5 (see keymap/bindingslot.h);
    // empty when it has none or the slot is out of range.
    [[nodiscard]] std::string_view Command(int deviceIndex, int slot) const;
    // Every distinct command, in slot order (X-Plane's Web API looks their ids up on connect).
    [[nodiscard]] std::vector<std::string> Distinct() const;

private:
    SimulatorKind Kind = SimulatorKind::None;
    std::array<std::vector<std::string>, kDeviceCount> Slots;
};

}  // namespace qel
