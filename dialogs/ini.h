#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include <QDialog>

#include "core/keycore.h"
#include "dialogs/keycapturer.h"
#include "translate/catalogue.h"
#include "translate/units.h"
#include "translate/keycode.h"
#include "base/result.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace qel {

class TBevel;

// The rows of one unit kind inside their scroll box, indexed by binding slot number. A slot's
// controls are null until the slot is first shown; then they are kept for the dialog's life.
template <std::size_t SlotCount>
struct TRowSet {
    QScrollArea* Box = nullptr;
    QWidget* Content = nullptr;  // the scrolled widget the rows are placed on
    std::array<QLabel*, SlotCount> NameLabels{};
    std::array<QLabel*, SlotCount> KeyLabels{};
    std::array<TBevel*, SlotCount> RowBevels{};
    std::array<QPushButton*, SlotCount> ChangeButtons{};
};

// The key settings dialog, "QEL1000 Keyboard Commands": one row per bindable control of the
// unit picked in DeviceCB, each with a "Change" button that asks the key capture for a key.
// Shows and changes the key core's bindings. Main thread only; one instance lives as long as
// the program.
class TIniForm final : public QDialog {
    Q_OBJECT

public:
    // core and capturer (where a row asks for its key) must outlive the dialog.
    TIniForm(KeyCore& core, KeyCapturer& capturer, QWidget* parent = nullptr);
    ~TIniForm() override;

    // Full path of keymap.ini, or nothing when the current directory gave none.
    [[nodiscard]] const std::optional<std::string>& IniFileName() const {
        return Keys.KeyMapFileName();
    }

    // Stores one binding of SelectedUnit (unit state and keymap.ini) and rebuilds the rows;
    // SaveFailed follows when keymap.ini could not be written.
    void WriteKey(int slot, KeyCode code);

    // Selects item 0 and rebuilds; runs on every activation of the dialog.
    void FormActivate();
    // Rebuilds the rows for the selector's unit: creates missing row controls, rewrites
    // every shown key text.
    void DeviceCBChange();
    // Asks for a key for binding slot number slot of SelectedUnit and stores what comes back.
    void ChangeBtnClick(int slot);

    // The selector's unit at the last rebuild (item i is device index i). WriteKey stores into
    // this unit.
    UnitId SelectedUnit;

    // The dialog's components; owned by the dialog (Qt parent), valid for its life. The row
    // boxes are made by the first rebuild.
    [[nodiscard]] QLabel* Label2() const { return Ui.Label2; }
    [[nodiscard]] QLabel* Label3() const { return Ui.Label3; }
    [[nodiscard]] QScrollArea* DefaultSB() const { return Ui.DefaultSB; }
    [[nodiscard]] QComboBox* DeviceCB() const { return Ui.DeviceCB; }
    [[nodiscard]] QPushButton* Button1() const { return Ui.Button1; }
    [[nodiscard]] const TRowSet<kBezelSlotCount>& Bezel() const { return Ui.Bezel; }
    [[nodiscard]] const TRowSet<kAudioSlotCount>& Audio() const { return Ui.Audio; }

signals:
    // A binding is in effect but keymap.ini does not hold it; failed names the file and why.
    void SaveFailed(const qel::Status& failed);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The dialog's components; the row boxes are made by the first rebuild.
    struct Components {
        QLabel* Label2 = nullptr;
        QLabel* Label3 = nullptr;
        QScrollArea* DefaultSB = nullptr;
        QComboBox* DeviceCB = nullptr;
        QPushButton* Button1 = nullptr;
        TRowSet<kBezelSlotCount> Bezel;
        TRowSet<kAudioSlotCount> Audio;
    };

    Components Ui;

    void StoreKey(UnitId unit, int slot, KeyCode code);
    QScrollArea* CreateRowBox();
    template <std::size_t SlotCount>
    void ShowRows(TRowSet<SlotCount>& rows, UnitId unit);

    void CreateComponents();

    KeyCore& Keys;
    KeyCapturer& Capturer;
    // Set when the program lost the focus to another application: coming back is not an
    // activation of this form.
    bool LeftProgram = false;
};

}  // namespace qel
