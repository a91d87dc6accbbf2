#include "simlink/command_table.h"

#include <cstddef>
#include <unordered_set>

#include "keymap/bindingslot.h"
#include "simlink/flightgear_preset.h"
#include "simlink/xplane_preset.h"

namespace qel {
namespace {

// A bezel unit shows a display, an audio unit serves a seat; a role of the other kind (only a
// caller that skipped the settings reader can give one) has no preset.
bool FitsUnit(UnitRole role, UnitId unit) {
    const bool bezel = unit.Kind == UnitKind::Bezel;
    switch (role) {
        case UnitRole::Pfd:
        case UnitRole::Mfd:
        case UnitRole::CopilotPfd:
            return bezel;
        case UnitRole::Pilot:
        case UnitRole::Copilot:
            return !bezel;
        case UnitRole::None:
            break;
    }
    return false;
}

}  // namespace

std::string_view CommandArgument(std::string_view command, std::string_view name) {
    // Only a whole word counts: "offset=" must not be found inside "xoffset=".
    for (std::size_t at = command.find(name); at != std::string_view::npos;
         at = command.find(name, at + 1)) {
        const std::size_t equals = at + name.size();
        if (at > 0 && command[at - 1] == ' ' && equals < command.size() && command[equals] == '=') {
            const std::string_view value = command.substr(equals + 1);
            return value.substr(0, value.find(' '));
        }
    }
    return {};
}

CommandTable::CommandTable(const LinkSettings& settings) : Kind(settings.Link) {
    for (const UnitNames& unit : kUnits) {
        const auto device = static_cast<std::size_t>(unit.Id.DeviceIndex());
        std::vector<SlotCommand>& slots = Slots[device];
        slots.resize(static_cast<std::size_t>(BindingSlotCount(unit.Id)));
        const UnitRole role = settings.Roles[device];
        if (!FitsUnit(role, unit.Id)) continue;
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            const std::string key = BindingKeyName(unit.Id, static_cast<int>(slot));
            if (key.empty()) continue;
            switch (Kind) {
                case SimulatorKind::XPlane:
                    slots[slot].Command = XPlanePresetCommand(role, key);
                    break;
                case SimulatorKind::FlightGear:
                    slots[slot].Command =
                        FlightGearPresetCommand(role, settings.FlightGearDevices, key);
                    slots[slot].Held = FlightGearHeldCommand(role, settings.FlightGearDevices, key);
                    break;
                case SimulatorKind::None:
                    break;
            }
        }
    }
    if (Kind == SimulatorKind::None) return;
    for (const CustomCommand& custom : settings.Commands) {
        if (!custom.Unit.IsValid()) continue;
        std::vector<SlotCommand>& slots =
            Slots[static_cast<std::size_t>(custom.Unit.DeviceIndex())];
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            if (BindingKeyName(custom.Unit, static_cast<int>(slot)) == custom.SlotKey) {
                // The user's command is sent as it is, held or not.
                slots[slot] = SlotCommand{custom.Command, std::nullopt};
                break;
            }
        }
    }
}

const CommandTable::SlotCommand* CommandTable::SlotAt(UnitId unit, int slot) const {
    if (!unit.IsValid() || slot < 0) return nullptr;
    const std::vector<SlotCommand>& slots = Slots[static_cast<std::size_t>(unit.DeviceIndex())];
    return static_cast<std::size_t>(slot) < slots.size() ? &slots[static_cast<std::size_t>(slot)]
                                                         : nullptr;
}

std::string_view CommandTable::Command(UnitId unit, int slot) const {
    const SlotCommand* found = SlotAt(unit, slot);
    return found ? std::string_view(found->Command) : std::string_view();
}

const HeldCommand* CommandTable::Held(UnitId unit, int slot) const {
    const SlotCommand* found = SlotAt(unit, slot);
    return found && found->Held ? &*found->Held : nullptr;
}

std::vector<std::string> CommandTable::Distinct() const {
    std::vector<std::string> distinct;
    std::unordered_set<std::string_view> seen;
    auto add = [&distinct, &seen](std::string_view command) {
        if (seen.insert(command).second) distinct.emplace_back(command);
    };
    for (const std::vector<SlotCommand>& slots : Slots) {
        for (const SlotCommand& slot : slots) {
            ForEachCommand(slot.Command, add);
            if (slot.Held) ForEachCommand(slot.Held->Command, add);
        }
    }
    return distinct;
}

}  // namespace qel
