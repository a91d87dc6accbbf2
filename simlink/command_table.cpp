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
bool FitsUnit(UnitRole role, int deviceIndex) {
    const bool bezel = deviceIndex < kFirstAudioDeviceIndex;
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

CommandTable::CommandTable(const LinkSettings& settings) : Kind(settings.Link) {
    for (int device = 0; device < kDeviceCount; ++device) {
        std::vector<SlotCommand>& slots = Slots[static_cast<std::size_t>(device)];
        slots.resize(static_cast<std::size_t>(BindingSlotCount(device)));
        const UnitRole role = settings.Roles[static_cast<std::size_t>(device)];
        if (!FitsUnit(role, device)) continue;
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            const std::string key = BindingKeyName(device, static_cast<int>(slot));
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
        if (custom.DeviceIndex < 0 || custom.DeviceIndex >= kDeviceCount) continue;
        std::vector<SlotCommand>& slots = Slots[static_cast<std::size_t>(custom.DeviceIndex)];
        for (std::size_t slot = 0; slot < slots.size(); ++slot) {
            if (BindingKeyName(custom.DeviceIndex, static_cast<int>(slot)) == custom.SlotKey) {
                // The user's command is sent as it is, held or not.
                slots[slot] = SlotCommand{custom.Command, std::nullopt};
                break;
            }
        }
    }
}

const CommandTable::SlotCommand* CommandTable::SlotAt(int deviceIndex, int slot) const {
    if (deviceIndex < 0 || deviceIndex >= kDeviceCount || slot < 0) return nullptr;
    const std::vector<SlotCommand>& slots = Slots[static_cast<std::size_t>(deviceIndex)];
    return static_cast<std::size_t>(slot) < slots.size() ? &slots[static_cast<std::size_t>(slot)]
                                                         : nullptr;
}

std::string_view CommandTable::Command(int deviceIndex, int slot) const {
    const SlotCommand* found = SlotAt(deviceIndex, slot);
    return found ? std::string_view(found->Command) : std::string_view();
}

const HeldCommand* CommandTable::Held(int deviceIndex, int slot) const {
    const SlotCommand* found = SlotAt(deviceIndex, slot);
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
