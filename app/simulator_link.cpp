#include "app/simulator_link.h"

#include <chrono>

#include "keymap/bindingslot.h"
#include "simlink/command_label.h"
#include "simnet/link_status.h"
#include "simnet/sim_transport_factory.h"

namespace qel {

namespace {
// How long "Test" waits for the simulator before it says nothing answered.
constexpr std::chrono::milliseconds kTestTimeout{5000};

std::string Where(const LinkSettings& settings) {
    return HostAndPort(settings.Host, LinkPort(settings));
}
}  // namespace

// The link in use: its commands, the transport (never null for a simulator) and the output
// the translator sends through.
struct SimulatorLink::Connection {
    Connection(const LinkSettings& settings, LogSink& log, Scheduler& tasks)
        : Table(settings),
          Transport(MakeSimTransport(settings, Table, log)),
          Output(Table, *Transport, tasks) {}
    CommandTable Table;
    std::unique_ptr<SimTransport> Transport;
    SimCommandOutput Output;
};

// One "Test" of settings that may not be the ones in use. It sends nothing but its question,
// so its transport looks up no commands (an empty table).
struct SimulatorLink::Probe {
    Probe(const LinkSettings& settings, LogSink& log, int number)
        : Transport(MakeSimTransport(settings, CommandTable(LinkSettings{}), log)),
          Number(number) {}
    std::unique_ptr<SimTransport> Transport;
    int Number;
    bool Answered = false;
};

SimulatorLink::SimulatorLink(KeyCore& keys, ProfileStore& store,
                             std::optional<std::string> keyMapFile, LogSink& log)
    : Keys(keys), Store(store), KeyMapFile(std::move(keyMapFile)), Log(log) {}

SimulatorLink::~SimulatorLink() {
    Keys.SendCommandsThrough(nullptr);
}

void SimulatorLink::Start(const ProfileView& file) {
    Current = ReadLinkSettings(file, Log);
    Connect();
}

Status SimulatorLink::Apply(const LinkSettings& settings) {
    LinkSettings applied = settings;
    // Commands the caller left as they were are the file's own as it stands now: the section
    // is replaced whole, so a copy from the start would undo edits made by hand since, and a
    // change of simulator would carry the other simulator's commands over its own.
    if (applied.Commands == Current.Commands) {
        applied.Commands = CommandsInFile(applied.Link);
    }
    return Use(std::move(applied));
}

Status SimulatorLink::Use(LinkSettings applied) {
    // Settings as they were keep the link as it is: no reconnection, no look-ups again.
    if (applied != Current) {
        Current = applied;
        Connect();
    }
    if (!KeyMapFile) {
        return Failure{"keymap.ini: no location for the file"};
    }
    const std::vector<ProfileEdit> edits = LinkSettingsEdits(applied);
    return Store.Write(*KeyMapFile, edits);
}

std::vector<CustomCommand> SimulatorLink::CommandsInFile(SimulatorKind simulator) {
    if (!KeyMapFile) {
        return {};
    }
    Result<std::unique_ptr<ProfileView>> file = Store.Read(*KeyMapFile);
    // An unreadable file cannot be written either: the write that follows says why.
    return file ? ReadCustomCommands(*file.Value(), simulator) : std::vector<CustomCommand>{};
}

void SimulatorLink::Connect() {
    ++Revisions;
    // The old output goes first: no control may reach a transport being torn down.
    Keys.SendCommandsThrough(nullptr);
    Live.reset();
    if (Current.Link == SimulatorKind::None) {
        emit StateChanged(QString());
        return;
    }
    Live = std::make_unique<Connection>(Current, Log, Tasks);
    Live->Transport->SetStateListener([this](LinkState, std::string_view text) {
        emit StateChanged(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    });
    Keys.SendCommandsThrough(&Live->Output);
    Live->Transport->Start();
}

void SimulatorLink::Test(const LinkSettings& settings, std::function<void(std::string)> done) {
    if (settings.Link == SimulatorKind::None) {
        done("No simulator link is set: the panels type keys.");
        return;
    }
    Testing = std::make_unique<Probe>(settings, Log, ++TestCount);
    Probe* probe = Testing.get();
    auto answer = [this, probe, done](std::string text) {
        if (probe->Answered) {
            return;
        }
        probe->Answered = true;
        done(std::move(text));
        // The probe has served: its connection goes, but only once the transport that
        // answered (perhaps from inside its own socket handling) has returned.
        Tasks.After(std::chrono::milliseconds(0), [this, number = probe->Number] {
            if (Testing != nullptr && Testing->Number == number) {
                Testing.reset();
            }
        });
    };
    probe->Transport->SetStateListener([probe, answer](LinkState state, std::string_view) {
        if (state == LinkState::Connected) {
            probe->Transport->Test(answer);
        }
    });
    probe->Transport->Start();
    const std::string where = Where(settings);
    Tasks.After(kTestTimeout, [this, number = probe->Number, answer, where] {
        // Only if this probe is still the one under test.
        if (Testing != nullptr && Testing->Number == number) {
            answer("No answer from " + where + " within 5 seconds.");
        }
    });
}

std::string SimulatorLink::CommandOf(UnitId unit, int slot) const {
    return Live ? std::string(Live->Table.Command(unit, slot)) : std::string{};
}

std::string SimulatorLink::LabelOf(UnitId unit, int slot) const {
    return CommandLabel(CommandOf(unit, slot));
}

Status SimulatorLink::SetCommand(UnitId unit, int slot, const std::string& command) {
    LinkSettings settings = Current;
    // Over the commands of the file as it stands, as the dialog's OK does.
    settings.Commands = CommandsInFile(settings.Link);
    const std::string key = BindingKeyName(unit, slot);
    std::erase_if(settings.Commands,
                  [&](const CustomCommand& own) { return own.Unit == unit && own.SlotKey == key; });
    if (!command.empty()) {
        settings.Commands.push_back({unit, key, command});
    }
    return Use(std::move(settings));
}

}  // namespace qel
