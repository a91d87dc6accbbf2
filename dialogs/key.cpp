#include "dialogs/key.h"

#include <QEvent>
#include <QShowEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "dialogs/formfont.h"
#include "dialogs/qtkeytranslation.h"

namespace qel {

TKeyForm::TKeyForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("QEL1000 Key"));
    setFont(FormFont());
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(239, 84);
    move(431, 369);
    // The form itself takes the focus, so every key press reaches the capture.
    setFocusPolicy(Qt::ClickFocus);

    Ui.DescriptionLbl = new QLabel(QStringLiteral("Press a key"), this);
    Ui.DescriptionLbl->setGeometry(0, 0, width(), 25);
    Ui.DescriptionLbl->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Ui.ResetBtn = new QPushButton(QStringLiteral("Reset"), this);
    Ui.ResetBtn->setGeometry(88, 48, 75, 25);
    Ui.ResetBtn->setFocusPolicy(Qt::NoFocus);
    // Enter is a key to bind, never a click of this button.
    Ui.ResetBtn->setAutoDefault(false);
    Ui.ResetBtn->installEventFilter(this);
    connect(Ui.ResetBtn, &QPushButton::clicked, this, &TKeyForm::ResetBtnClick);
}

TKeyForm::~TKeyForm() = default;

std::optional<KeyCode> TKeyForm::Capture(const QString& rowLabel) {
    Description = QStringLiteral("Press a key for '") + rowLabel + QLatin1Char('\'');
    Captured.reset();
    // How the dialog ended does not matter: a key or Reset leaves its binding in Captured.
    exec();
    return Captured;
}

void TKeyForm::FormActivate() {
    Ui.DescriptionLbl->setText(Description);
    setFocus();
}

void TKeyForm::FormKeyDown(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const KeyCode code =
        CaptureKeyCode(QtKeyToVirtualKey(event.key(), modifiers), QtModifiersToState(modifiers));
    // Modifiers and lock keys alone: keep waiting for the main key.
    if (code == 0) {
        return;
    }
    Store(code);
}

void TKeyForm::ResetBtnClick() {
    Store(0);
}

void TKeyForm::Store(KeyCode code) {
    Captured = code;
    close();
}

bool TKeyForm::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Claim every key before any shortcut of the program can take it.
            event->accept();
            return true;
        case QEvent::KeyPress:
            // Before the dialog's own handling: Escape, Enter and Tab are keys to bind here,
            // not reject, default button and focus change.
            FormKeyDown(static_cast<const QKeyEvent&>(*event));
            return true;
        case QEvent::WindowActivate:
            FormActivate();
            break;
        default:
            break;
    }
    return QDialog::event(event);
}

bool TKeyForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Ui.ResetBtn) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            FormKeyDown(static_cast<const QKeyEvent&>(*event));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TKeyForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormActivate();
    }
    QDialog::showEvent(event);
}

}  // namespace qel
