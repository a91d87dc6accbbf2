#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "keymap/profilestore.h"
#include "panelview/link_commands.h"
#include "simlink/command_table.h"
#include "simlink/link_settings.h"
#include "simlink/sim_command_output.h"
#include "simlink/sim_transport.h"
#include "simnet/qt_scheduler.h"
#include "base/logsink.h"
#include "base/result.h"
#include "core/keycore.h"

namespace qel {

// The simulator link of the running program: the settings of keymap.ini's [simulator] section,
// the transport they name and the command output the key core sends claimed controls through. With
// no link set it holds nothing, opens no socket and the translator types keys as ever. Main thread
// only.
class SimulatorLink final : public QObject, public LinkCommands {
    Q_OBJECT

public:
    // keyMapFile is the path of keymap.ini for the whole run (none: nothing is read or stored).
    SimulatorLink(KeyCore& keys, ProfileStore& store, std::optional<std::string> keyMapFile,
                  LogSink& log);
    ~SimulatorLink() override;

    SimulatorLink(const SimulatorLink&) = delete;
    SimulatorLink& operator=(const SimulatorLink&) = delete;

    // Takes the settings from keymap.ini as start-up read it, and connects when a link is set.
    void Start(const ProfileView& file);
    [[nodiscard]] const LinkSettings& Settings() const { return Current; }
    // Stores settings in keymap.ini and connects as they say. The settings apply even when
    // storing fails (until the program closes); the failure says why. Commands equal to the
    // ones in use are taken from keymap.ini as it is now, for the simulator the settings name.
    Status Apply(const LinkSettings& settings);
    // Asks the simulator the settings name something harmless; done gets the answer.
    void Test(const LinkSettings& settings, std::function<void(std::string)> done);

    // The panel view's questions: what each binding sends, and the user's own command for one.
    [[nodiscard]] bool Linked() const override { return Current.Link != SimulatorKind::None; }
    [[nodiscard]] int Revision() const override { return Revisions; }
    [[nodiscard]] std::string CommandOf(UnitId unit, int slot) const override;
    [[nodiscard]] std::string LabelOf(UnitId unit, int slot) const override;
    Status SetCommand(UnitId unit, int slot, const std::string& command) override;

signals:
    // The link's state as the status bar shows it; an empty text when there is no link.
    void StateChanged(const QString& text);

private:
    struct Connection;
    struct Probe;
    void Connect();
    // Connects as applied says and stores it, commands and all.
    Status Use(LinkSettings applied);
    [[nodiscard]] std::vector<CustomCommand> CommandsInFile(SimulatorKind simulator);

    KeyCore& Keys;
    ProfileStore& Store;
    std::optional<std::string> KeyMapFile;
    LogSink& Log;
    QtScheduler Tasks;
    LinkSettings Current;
    std::unique_ptr<Connection> Live;
    std::unique_ptr<Probe> Testing;
    int TestCount = 0;
    int Revisions = 0;  // counts Connect(): every change of the settings in use
};

}  // namespace qel
