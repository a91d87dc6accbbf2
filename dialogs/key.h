#pragma once

#include <QDialog>
#include <QString>

#include "translate/keycode.h"

class QKeyEvent;
class QLabel;
class QPushButton;

namespace qel {

class TIniForm;

// The key capture dialog, "QEL1000 Key": names the control being edited, waits for one key
// press and binds it through the key settings dialog's WriteKey; Reset unbinds. Every key,
// Escape included, is bound: none cancels. The title bar's close button changes nothing.
// Main thread only; one instance lives as long as the program.
class TKeyForm final : public QDialog {
    Q_OBJECT

public:
    // Registers itself with iniForm as the dialog its "Change" buttons open; iniForm must
    // outlive this dialog.
    explicit TKeyForm(TIniForm& iniForm, QWidget* parent = nullptr);
    ~TKeyForm() override;

    // Set by the key settings dialog before each showing; kept between showings.
    QString Description;  // e.g. "Press a key for 'NAV_IN_INCR'"
    int BindingSlot = 0;

    // Shows Description and takes the keyboard focus; runs on every activation.
    void FormActivate();
    // The capture: modifiers and lock keys alone keep the dialog waiting; any other key is
    // stored with the modifiers held and closes the dialog.
    void FormKeyDown(const QKeyEvent& event);
    // Stores 0 (unbound) and closes.
    void ResetBtnClick();

    // Components; owned by the dialog.
    QLabel* DescriptionLbl = nullptr;
    QPushButton* ResetBtn = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Store(KeyCode code);

    TIniForm& IniForm;
};

}  // namespace qel
