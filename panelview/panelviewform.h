#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QElapsedTimer>
#include <QWidget>

#include "core/keycore.h"
#include "dialogs/keycapturer.h"
#include "panelview/link_commands.h"
#include "panelview/panelactivity.h"
#include "panelview/panelwatch.h"
#include "translate/catalogue.h"
#include "base/result.h"

class QCheckBox;
class QTabBar;
class QTimer;

namespace qel {

class TSchematicWidget;

// The "Panel View" window: one tab per unit, the chosen unit drawn live as a schematic of its
// controls with their key texts; a click on a control, or with "Touch to bind" on the next
// control moved on a panel, asks the key capture for its key and stores it as the key settings
// dialog does. Watches the translator only while shown. Main thread only; one instance lives
// as long as the program.
class TPanelViewForm final : public QWidget {
    Q_OBJECT

public:
    // A repaint at most once per frame, however fast the panels report.
    static constexpr int kFrameInterval = 30;  // milliseconds

    // Whether the unit is connected now.
    using ConnectedQuery = std::function<bool(UnitId unit)>;

    // core, capturer (where a binding asks for its key) and commands (the simulator link's
    // commands, shown in place of key texts and bound instead of keys while "Bind commands" is
    // ticked, which shows only while a link is set) must outlive the window.
    TPanelViewForm(KeyCore& core, ConnectedQuery connected, KeyCapturer& capturer,
                   LinkCommands& commands, QWidget* parent = nullptr);
    ~TPanelViewForm() override;

    // Asks the user for a simulator command for a control, showing the current one; nothing
    // when cancelled. A plain input dialog until another is set.
    using CommandAsker =
        std::function<std::optional<std::string>(const QString& row, const std::string& current)>;
    void SetCommandAsker(CommandAsker asker) { AskCommand = std::move(asker); }

    // One frame: the clock, connections, bindings, the link and activity; repaints when any
    // changed.
    void FrameTick();
    // Shows the unit (an id that names no unit is ignored).
    void ShowUnit(UnitId unit);
    // Asks for a key for binding slot of the unit and stores what comes back: unit state,
    // keymap.ini and log, through the key map as the key settings rows do; SaveFailed follows
    // when keymap.ini could not be written. With "Bind commands" ticked it asks for the
    // slot's simulator command instead. A question closed without an answer turns touch to
    // bind off. Does nothing while a question is open.
    void BindSlot(UnitId unit, int slot);
    void TouchCBClick();

    // Repaints asked for by frames, counted.
    [[nodiscard]] int FrameRepaints() const { return Repaints; }

    // Components; owned by the window (Qt parent), valid for its life.
    [[nodiscard]] QTabBar* UnitTabs() const { return Ui.UnitTabs; }
    [[nodiscard]] TSchematicWidget* Schematic() const { return Ui.Schematic; }
    [[nodiscard]] QCheckBox* TouchCB() const { return Ui.TouchCB; }
    [[nodiscard]] QCheckBox* CommandCB() const { return Ui.CommandCB; }
    [[nodiscard]] QTimer* FrameTimer() const { return Ui.FrameTimer; }

signals:
    // A binding is in effect but keymap.ini does not hold it; failed names the file and why.
    void SaveFailed(const qel::Status& failed);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // A movement picked slot with touch to bind on; runs after the report that picked it.
    void OpenPick(UnitId unit, int slot);
    // The unit of the current tab (tab i shows device index i).
    [[nodiscard]] UnitId CurrentUnit() const;
    // Tab captions and the shown unit's caption; true when the shown unit's changed.
    bool RefreshConnections();
    // True when the shown unit's bindings differ from the last frame's.
    bool BindingsChanged();
    // "Bind commands" shown while a link is set; true when the link changed since the last
    // frame.
    bool LinkChanged();
    void ShowCaption();
    void Watching(bool on);

    // The window's components, made by the constructor.
    struct Components {
        QTabBar* UnitTabs = nullptr;
        TSchematicWidget* Schematic = nullptr;
        QCheckBox* TouchCB = nullptr;
        QCheckBox* CommandCB = nullptr;  // "Bind commands", shown while a link is set
        QTimer* FrameTimer = nullptr;
    };

    Components Ui;
    KeyCore& Core;
    ConnectedQuery Connected;
    KeyCapturer& Capturer;
    LinkCommands& Commands;
    CommandAsker AskCommand;
    PanelActivity Activity;
    PanelWatch Watch;
    QElapsedTimer Clock;
    std::array<std::optional<bool>, kDeviceCount> ShownConnected{};  // by device index
    std::array<KeyCode, kBezelSlotCount> ShownBindings{};
    std::optional<UnitId> ShownBindingsUnit;
    std::optional<int> ShownLinkRevision;
    bool Capturing = false;
    int Repaints = 0;
};

}  // namespace qel
