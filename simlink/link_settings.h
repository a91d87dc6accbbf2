#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keymap/profilestore.h"
#include "translate/catalogue.h"
#include "translate/units.h"
#include "base/logsink.h"

namespace qel {

// The [simulator] section of keymap.ini, which a reader of the six unit sections ignores.
inline constexpr std::string_view kSimulatorSection = "simulator";
// The user's own commands of each simulator, also ignored by that reader, one key per binding
// slot: "<unit section>.<slot key>", e.g. "qel_1000_0.softkey_3=sim/GPS/g1000n1_softkey3".
// Clearing all keys leaves them: they are not key bindings.
inline constexpr std::string_view kXPlaneCommandsSection = "xplane_commands";
inline constexpr std::string_view kFlightGearCommandsSection = "flightgear_commands";

enum class SimulatorKind : std::uint8_t { None, XPlane, FlightGear };
enum class XPlaneTransport : std::uint8_t { Udp, Web };
// A bezel unit shows a display (or nothing); an audio unit serves a seat (or nothing).
enum class UnitRole : std::uint8_t { None, Pfd, Mfd, CopilotPfd, Pilot, Copilot };

inline constexpr std::uint16_t kXPlaneUdpPort = 49000;
inline constexpr std::uint16_t kXPlaneWebPort = 8086;
inline constexpr std::uint16_t kFlightGearPort = 5401;
// FG1000 device numbers run from 0 (what FlightGear gives the first display it opens itself).
inline constexpr int kLargestFlightGearDevice = 999;

// A command the user named for one binding slot, in place of the preset's.
struct CustomCommand {
    UnitId Unit;
    std::string SlotKey;  // the binding's keymap.ini key, e.g. "softkey_3", "hdg_incr"
    std::string Command;  // an X-Plane command path, or a FlightGear command line

    bool operator==(const CustomCommand&) const = default;
};

struct LinkSettings {
    SimulatorKind Link = SimulatorKind::None;
    std::string Host = "127.0.0.1";
    std::uint16_t Port = kXPlaneUdpPort;  // X-Plane's UDP port, or FlightGear's props port
    XPlaneTransport Transport = XPlaneTransport::Udp;
    std::uint16_t WebPort = kXPlaneWebPort;
    // By device index: bezel units 0-3, audio units 0-1.
    std::array<UnitRole, kDeviceCount> Roles{UnitRole::Pfd,  UnitRole::Mfd,   UnitRole::CopilotPfd,
                                             UnitRole::None, UnitRole::Pilot, UnitRole::Copilot};
    // FlightGear's FG1000 device number of the pfd, mfd and copilot_pfd roles.
    std::array<int, 3> FlightGearDevices{1, 2, 3};
    // The user's own commands for the chosen simulator.
    std::vector<CustomCommand> Commands;

    bool operator==(const LinkSettings&) const = default;
};

// The port the link talks to: X-Plane's Web API port over its Web API, else Port.
[[nodiscard]] std::uint16_t LinkPort(const LinkSettings& settings);

// Reads the link settings, names in any letter case. A missing section means no link. A bad
// value (unknown link, transport or role, port 0 or over 65535, FG1000 device number outside
// 0-999) logs one line naming the key and the value and takes that setting's default; nothing
// else is affected. With no link set only an unknown link is reported (the rest then means
// nothing). Commands come from the chosen simulator's section only.
[[nodiscard]] LinkSettings ReadLinkSettings(const ProfileView& file, LogSink& log);

// The user's own commands of one simulator as the file holds them; none for SimulatorKind::None.
[[nodiscard]] std::vector<CustomCommand> ReadCustomCommands(const ProfileView& file,
                                                            SimulatorKind simulator);

// The edits that store settings (applied as one atomic replacement of keymap.ini): every
// [simulator] key, and the chosen simulator's commands section replaced whole (an empty command
// is left out). The unit sections and the other simulator's commands are not touched.
[[nodiscard]] std::vector<ProfileEdit> LinkSettingsEdits(const LinkSettings& settings);

}  // namespace qel
