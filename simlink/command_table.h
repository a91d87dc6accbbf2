#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simlink/link_settings.h"
#include "simlink/preset_entry.h"

namespace qel {

// Calls send(command) for each command of a slot's text, in order (two are separated by '\n').
template <typename Send>
void ForEachCommand(std::string_view commands, Send&& send) {
    while (!commands.empty()) {
        const std::size_t end = commands.find('\n');
        if (end != 0) send(commands.substr(0, end));
        if (end == std::string_view::npos) break;
        commands.remove_prefix(end + 1);
    }
}

// The value of argument `name` in a FlightGear command line (its name, then "key=value" words
// separated by spaces), e.g. "HEADING" for "notification" in "FG1000HardKeyPushed device=2
// notification=HEADING offset=-1"; empty when the line has no such word.
[[nodiscard]] std::string_view CommandArgument(std::string_view command, std::string_view name);

// The command of every binding slot of every unit for one link: the built-in preset of the
// chosen simulator for the unit's role, with the user's own commands over it (a command for a
// slot or unit that does not exist is ignored). An empty command means the slot types
// its key. Built once per change of the settings.
class CommandTable {
public:
    explicit CommandTable(const LinkSettings& settings);

    [[nodiscard]] SimulatorKind Simulator() const { return Kind; }
    // The command of binding slot `slot` of a unit (see keymap/bindingslot.h); empty when it
    // has none or the unit or slot is out of range.
    [[nodiscard]] std::string_view Command(UnitId unit, int slot) const;
    // What the slot sends instead when held down long enough (FlightGear's CLR and COM
    // transfer); null for every other slot and for a slot the user gave a command of their own.
    [[nodiscard]] const HeldCommand* Held(UnitId unit, int slot) const;
    // Every distinct command, in slot order (X-Plane's Web API looks their ids up on connect);
    // two commands of one slot count as two.
    [[nodiscard]] std::vector<std::string> Distinct() const;

private:
    struct SlotCommand {
        std::string Command;  // one command, or two separated by '\n'
        std::optional<HeldCommand> Held;
    };
    [[nodiscard]] const SlotCommand* SlotAt(UnitId unit, int slot) const;

    SimulatorKind Kind = SimulatorKind::None;
    std::array<std::vector<SlotCommand>, kDeviceCount> Slots;  // by device index
};

}  // namespace qel
