#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>

#include "keymap/keylayout.h"
#include "keymap/keymapfile.h"
#include "keymap/keymappath.h"
#include "keymap/profilestore.h"
#include "translate/catalogue.h"
#include "translate/keycode.h"
#include "translate/logsink.h"
#include "translate/unitstate.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

namespace qel {

class TBevel;
class TKeyForm;

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
// unit picked in DeviceCB, each with a "Change" button that opens the key capture dialog.
// It also owns the program's keymap.ini, whose path its creation fixes from the current
// directory. Main thread only; one instance lives as long as the program.
class TIniForm final : public QDialog {
    Q_OBJECT

public:
    // units, store, layout and log must outlive the dialog.
    TIniForm(UnitStates& units, ProfileStore& store, const KeyLayout& layout, LogSink& log,
             QWidget* parent = nullptr);
    ~TIniForm() override;

    // The key map file of the program, with the path fixed at creation.
    [[nodiscard]] KeyMapFile& KeyMap() { return *OwnedKeyMap; }
    // Full path of keymap.ini, or nothing when the current directory gave none.
    [[nodiscard]] const std::optional<std::string>& IniFileName() const {
        return OwnedKeyMap->IniFileName();
    }

    // The capture dialog the "Change" buttons open; TKeyForm's constructor registers itself.
    void SetKeyForm(TKeyForm* keyForm) { KeyForm = keyForm; }

    // Stores one binding of SelectedUnit (unit state and keymap.ini) and rebuilds the rows.
    void WriteKey(int slot, KeyCode code);

    // Selects item 0 and rebuilds; runs on every activation of the dialog.
    void FormActivate();
    // Rebuilds the rows for the selector's unit: creates missing row controls, rewrites
    // every shown key text.
    void DeviceCBChange();
    // Opens the capture dialog for the slot in sender's "tag" property.
    void ChangeBtnClick(QObject* sender);

    // Device index of the selector at the last rebuild: 0-3 bezel units, 4-5 audio units.
    // WriteKey stores into this unit.
    int SelectedUnit = 0;

    // The dialog's components; owned by the dialog (Qt parent), valid for its life.
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QScrollArea* DefaultSB = nullptr;  // invisible template of the two row boxes
    QComboBox* DeviceCB = nullptr;
    QPushButton* Button1 = nullptr;
    // The row boxes, created by the first rebuild.
    TRowSet<kBezelSlotCount> Bezel;
    TRowSet<kAudioSlotCount> Audio;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Fixes IniFileName from the current directory and makes the key map file.
    void FormCreate(UnitStates& units, ProfileStore& store, const KeyLayout& layout, LogSink& log);
    QScrollArea* CreateRowBox();
    template <std::size_t SlotCount>
    void ShowRows(TRowSet<SlotCount>& rows, int deviceIndex);

    void CreateComponents();

    // The program's one key map path buffer: IniFileName never moves after creation.
    KeyMapPathBuffer PathBuffer;
    std::unique_ptr<KeyMapFile> OwnedKeyMap;
    const UnitStates& Units;
    TKeyForm* KeyForm = nullptr;
    // Set when the program lost the focus to another application: coming back is not an
    // activation of this form.
    bool LeftProgram = false;
};

}  // namespace qel
