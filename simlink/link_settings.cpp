#include "simlink/link_settings.h"

#include <charconv>
#include <cstddef>
#include <optional>
#include <span>

#include "base/ascii.h"
#include "keymap/bindingslot.h"
#include "translate/units.h"

namespace qel {
namespace {

template <typename T>
struct Named {
    std::string_view Name;
    T Value;
};

constexpr std::array<Named<SimulatorKind>, 3> kLinkNames{{
    {"none", SimulatorKind::None},
    {"xplane", SimulatorKind::XPlane},
    {"flightgear", SimulatorKind::FlightGear},
}};
constexpr std::array<Named<XPlaneTransport>, 2> kTransportNames{{
    {"udp", XPlaneTransport::Udp},
    {"web", XPlaneTransport::Web},
}};
constexpr std::array<Named<UnitRole>, 4> kBezelRoleNames{{
    {"pfd", UnitRole::Pfd},
    {"mfd", UnitRole::Mfd},
    {"copilot_pfd", UnitRole::CopilotPfd},
    {"none", UnitRole::None},
}};
constexpr std::array<Named<UnitRole>, 3> kAudioRoleNames{{
    {"pilot", UnitRole::Pilot},
    {"copilot", UnitRole::Copilot},
    {"none", UnitRole::None},
}};

// The FG1000 device number keys of the pfd, mfd and copilot_pfd roles, in that order.
constexpr std::array<std::string_view, 3> kFlightGearDeviceKeys{"fg_pfd", "fg_mfd",
                                                                "fg_copilot_pfd"};

template <typename T, std::size_t N>
std::string_view NameOf(const std::array<Named<T>, N>& names, T value) {
    for (const Named<T>& named : names) {
        if (named.Value == value) return named.Name;
    }
    return names.back().Name;
}

// The profile rules strip blanks and one pair of matching quotes from a value as they read it;
// a value that would lose either is stored quoted, so it reads back as written.
std::string Stored(std::string_view value) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (value.empty() || (!quoted && !isBlank(value.front()) && !isBlank(value.back()))) {
        return std::string(value);
    }
    std::string stored = "\"";
    stored += value;
    stored += '"';
    return stored;
}

std::string CommandKey(UnitId unit, std::string_view slotKey) {
    std::string key(NamesOf(unit).Section);
    key += '.';
    key += slotKey;
    return key;
}

// Reads the [simulator] keys; a bad value logs one line and gives the setting's default.
class SettingsReader {
public:
    SettingsReader(const ProfileView& file, LogSink& log) : File(file), Log(log) {}

    // With no link set nothing is logged: the file then means what it meant before the link.
    bool Quiet = false;

    template <typename T, std::size_t N>
    T Choice(std::string_view key, const std::array<Named<T>, N>& names, T fallback) {
        const std::string value = Read(key);
        if (value.empty()) return fallback;
        const std::string lower = AsciiLowered(value);
        for (const Named<T>& named : names) {
            if (named.Name == lower) return named.Value;
        }
        Complain("unknown " + std::string(key) + " '" + value + "', using " +
                 std::string(NameOf(names, fallback)));
        return fallback;
    }

    int Number(std::string_view key, int lowest, int highest, int fallback) {
        const std::string value = Read(key);
        if (value.empty()) return fallback;
        int number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (error == std::errc{} && end == value.data() + value.size() && number >= lowest &&
            number <= highest) {
            return number;
        }
        Complain("bad " + std::string(key) + " '" + value + "' (" + std::to_string(lowest) + "-" +
                 std::to_string(highest) + "), using " + std::to_string(fallback));
        return fallback;
    }

    std::uint16_t Port(std::string_view key, std::uint16_t fallback) {
        return static_cast<std::uint16_t>(Number(key, 1, 65535, fallback));
    }

    std::string Text(std::string_view key, std::string_view fallback) {
        std::string value = Read(key);
        return value.empty() ? std::string(fallback) : value;
    }

private:
    std::string Read(std::string_view key) const {
        return File.GetString(kSimulatorSection, key, "", kProfileValueSize);
    }
    void Complain(const std::string& problem) {
        if (!Quiet) Log.AppendLine("keymap.ini [simulator]: " + problem);
    }

    const ProfileView& File;
    LogSink& Log;
};

std::optional<std::string_view> CommandSectionOf(SimulatorKind kind) {
    switch (kind) {
        case SimulatorKind::XPlane:
            return kXPlaneCommandsSection;
        case SimulatorKind::FlightGear:
            return kFlightGearCommandsSection;
        case SimulatorKind::None:
            break;
    }
    return std::nullopt;
}

std::vector<CustomCommand> ReadCommands(const ProfileView& file, std::string_view section) {
    std::vector<CustomCommand> commands;
    for (const UnitNames& unit : kUnits) {
        for (int slot = 0; slot < BindingSlotCount(unit.Id); ++slot) {
            if (!IsNamedBindingSlot(unit.Id, slot)) continue;
            std::string slotKey = BindingKeyName(unit.Id, slot);
            std::string command =
                file.GetString(section, CommandKey(unit.Id, slotKey), "", kProfileValueSize);
            if (!command.empty()) {
                commands.push_back({unit.Id, std::move(slotKey), std::move(command)});
            }
        }
    }
    return commands;
}

}  // namespace

std::uint16_t LinkPort(const LinkSettings& settings) {
    const bool web =
        settings.Link == SimulatorKind::XPlane && settings.Transport == XPlaneTransport::Web;
    return web ? settings.WebPort : settings.Port;
}

LinkSettings ReadLinkSettings(const ProfileView& file, LogSink& log) {
    SettingsReader reader(file, log);
    const LinkSettings defaults;
    LinkSettings settings;
    settings.Link = reader.Choice("link", kLinkNames, SimulatorKind::None);
    reader.Quiet = settings.Link == SimulatorKind::None;
    settings.Host = reader.Text("host", defaults.Host);
    settings.Port = reader.Port(
        "port", settings.Link == SimulatorKind::FlightGear ? kFlightGearPort : kXPlaneUdpPort);
    settings.Transport = reader.Choice("transport", kTransportNames, defaults.Transport);
    settings.WebPort = reader.Port("web_port", defaults.WebPort);
    for (const UnitNames& unit : kUnits) {
        const auto device = static_cast<std::size_t>(unit.Id.DeviceIndex());
        const UnitRole fallback = defaults.Roles[device];
        settings.Roles[device] = unit.Id.Kind == UnitKind::Bezel
                                     ? reader.Choice(unit.Section, kBezelRoleNames, fallback)
                                     : reader.Choice(unit.Section, kAudioRoleNames, fallback);
    }
    for (std::size_t role = 0; role < kFlightGearDeviceKeys.size(); ++role) {
        settings.FlightGearDevices[role] =
            reader.Number(kFlightGearDeviceKeys[role], 0, kLargestFlightGearDevice,
                          defaults.FlightGearDevices[role]);
    }
    settings.Commands = ReadCustomCommands(file, settings.Link);
    return settings;
}

std::vector<CustomCommand> ReadCustomCommands(const ProfileView& file, SimulatorKind simulator) {
    const auto section = CommandSectionOf(simulator);
    return section ? ReadCommands(file, *section) : std::vector<CustomCommand>{};
}

std::vector<ProfileEdit> LinkSettingsEdits(const LinkSettings& settings) {
    std::vector<ProfileEdit> edits;
    auto write = [&edits](std::string_view section, std::string key, std::string value) {
        edits.push_back({std::string(section), std::move(key), std::move(value)});
    };
    write(kSimulatorSection, "link", std::string(NameOf(kLinkNames, settings.Link)));
    write(kSimulatorSection, "host", Stored(settings.Host));
    write(kSimulatorSection, "port", std::to_string(settings.Port));
    write(kSimulatorSection, "transport", std::string(NameOf(kTransportNames, settings.Transport)));
    write(kSimulatorSection, "web_port", std::to_string(settings.WebPort));
    for (const UnitNames& unit : kUnits) {
        const UnitRole role = settings.Roles[static_cast<std::size_t>(unit.Id.DeviceIndex())];
        write(kSimulatorSection, std::string(unit.Section),
              std::string(unit.Id.Kind == UnitKind::Bezel ? NameOf(kBezelRoleNames, role)
                                                          : NameOf(kAudioRoleNames, role)));
    }
    for (std::size_t role = 0; role < kFlightGearDeviceKeys.size(); ++role) {
        write(kSimulatorSection, std::string(kFlightGearDeviceKeys[role]),
              std::to_string(settings.FlightGearDevices[role]));
    }
    // The section is replaced whole, so a command the user removed does not linger.
    if (const auto section = CommandSectionOf(settings.Link)) {
        edits.push_back({std::string(*section), {}, {}, ProfileEditKind::DeleteSection});
        for (const CustomCommand& custom : settings.Commands) {
            if (!custom.Unit.IsValid() || custom.Command.empty()) {
                continue;
            }
            write(*section, CommandKey(custom.Unit, custom.SlotKey), Stored(custom.Command));
        }
    }
    return edits;
}

}  // namespace qel
