#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "simlink/link_settings.h"
#include "simlink/preset_entry.h"

namespace qel {

// FlightGear's command line (the text after "run ") for the binding slot key slotKey of a unit
// in role: the FG1000's soft and hard keys of the display's device number (devices: pfd, mfd,
// copilot_pfd, as LinkSettings::FlightGearDevices) for the display roles, the audio panel's
// mixer switches for the seats. Two commands sent together (a joystick diagonal) are separated
// by '\n'. Empty where the FG1000 has nothing (the control keeps its key), for role None, and
// for a key of the other unit kind.
[[nodiscard]] std::string FlightGearPresetCommand(UnitRole role, const std::array<int, 3>& devices,
                                                  std::string_view slotKey);

// The FG1000's held form of the slot's key (CLR, the COM frequency transfer) and how long the
// key must be held for it; nothing for every other slot.
[[nodiscard]] std::optional<HeldCommand> FlightGearHeldCommand(UnitRole role,
                                                               const std::array<int, 3>& devices,
                                                               std::string_view slotKey);

}  // namespace qel
