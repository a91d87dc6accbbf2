#pragma once

#include <optional>

#include <QDialog>
#include <QString>

#include "dialogs/keycapturer.h"
#include "translate/keycode.h"

class QKeyEvent;
class QLabel;
class QPushButton;

namespace qel {

// The key capture dialog, "QEL1000 Key": names the control being edited and waits for one
// key press; Reset unbinds. Every key, Escape included, is captured: none cancels. The title
// bar's close button captures nothing. Main thread only; one instance lives as long as the
// program.
class TKeyForm final : public QDialog, public KeyCapturer {
    Q_OBJECT

public:
    explicit TKeyForm(QWidget* parent = nullptr);
    ~TKeyForm() override;

    std::optional<KeyCode> Capture(const QString& rowLabel) override;

    // Set by each Capture; kept between showings.
    QString Description;  // e.g. "Press a key for 'NAV_IN_INCR'"

    // Shows Description and takes the keyboard focus; runs on every activation.
    void FormActivate();
    // The capture: modifiers and lock keys alone keep the dialog waiting; any other key is
    // stored with the modifiers held and closes the dialog.
    void FormKeyDown(const QKeyEvent& event);
    // Captures 0 (unbound) and closes.
    void ResetBtnClick();

    // Components; owned by the dialog.
    [[nodiscard]] QLabel* DescriptionLbl() const { return Ui.DescriptionLbl; }
    [[nodiscard]] QPushButton* ResetBtn() const { return Ui.ResetBtn; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The dialog's components.
    struct Components {
        QLabel* DescriptionLbl = nullptr;
        QPushButton* ResetBtn = nullptr;
    };

    Components Ui;

    void Store(KeyCode code);

    std::optional<KeyCode> Captured;
};

}  // namespace qel
