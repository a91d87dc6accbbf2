#include "dialogs/ini.h"

#include <string>
#include <utility>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QShowEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVariant>

#include "dialogs/bevel.h"
#include "dialogs/formfont.h"
#include "dialogs/key.h"
#include "keymap/bindingslot.h"
#include "translate/units.h"

namespace qel {
namespace {

constexpr int kRowPitch = 25;
constexpr int kLabelTop = 5;
constexpr int kNameLeft = 10;
constexpr int kKeyLeft = 240;
constexpr int kBevelTop = 1;
constexpr int kBevelLeft = 1;
constexpr int kBevelInset = 5;  // the bevel ends this far inside the box's right edge
constexpr int kButtonTop = 1;
constexpr int kButtonFromRight = 140;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 22;

QLabel* MakeRowLabel(QWidget* content, int left, int top) {
    auto* label = new QLabel(content);
    label->move(left, top);
    label->show();
    return label;
}

}  // namespace

TIniForm::TIniForm(KeyCore& core, KeyCapturer& capturer, QWidget* parent)
    : QDialog(parent), Keys(core), Capturer(capturer) {
    CreateComponents();
}

TIniForm::~TIniForm() = default;

void TIniForm::CreateComponents() {
    setWindowTitle(QStringLiteral("QEL1000 Keyboard Commands"));
    setFont(FormFont());
    // A fixed dialog border: the rows are laid out in pixels for this client size.
    setWindowFlags(windowFlags() | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(563, 488);
    move(233, 223);

    Ui.Label2 = new QLabel(QStringLiteral("Function"), this);
    Ui.Label2->move(18, 80);
    Ui.Label2->adjustSize();
    Ui.Label3 = new QLabel(QStringLiteral("Keyboard Command"), this);
    Ui.Label3->move(248, 80);
    Ui.Label3->adjustSize();

    Ui.DefaultSB = new QScrollArea(this);
    Ui.DefaultSB->setGeometry(8, 96, 545, 353);
    Ui.DefaultSB->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Ui.DefaultSB->verticalScrollBar()->setTracking(true);
    Ui.DefaultSB->viewport()->setBackgroundRole(QPalette::Base);
    Ui.DefaultSB->setFocusPolicy(Qt::StrongFocus);
    Ui.DefaultSB->hide();

    Ui.DeviceCB = new QComboBox(this);
    Ui.DeviceCB->setEditable(false);
    for (const UnitNames& unit : kUnits) {
        Ui.DeviceCB->addItem(QString::fromLatin1(unit.SelectorItem.data(),
                                                 static_cast<qsizetype>(unit.SelectorItem.size())));
    }
    Ui.DeviceCB->setGeometry(128, 40, 313, Ui.DeviceCB->sizeHint().height());
    // activated: a choice by the user only, as a change event of the selector should be.
    connect(Ui.DeviceCB, &QComboBox::activated, this, [this](int) { DeviceCBChange(); });

    Ui.Button1 = new QPushButton(QStringLiteral("&Ok"), this);
    Ui.Button1->setGeometry(256, 456, 75, 25);
    Ui.Button1->setDefault(true);
    connect(Ui.Button1, &QPushButton::clicked, this, &QDialog::accept);

    QWidget::setTabOrder(Ui.DefaultSB, Ui.Button1);
    QWidget::setTabOrder(Ui.Button1, Ui.DeviceCB);
}

void TIniForm::WriteKey(int slot, KeyCode code) {
    StoreKey(SelectedUnit, slot, code);
}

void TIniForm::StoreKey(UnitId unit, int slot, KeyCode code) {
    const Status saved = Keys.BindSlot(unit, slot, code);
    // The rows show the new key behind whatever tells the user it was not saved.
    DeviceCBChange();
    if (!saved) {
        emit SaveFailed(saved);
    }
}

void TIniForm::FormActivate() {
    Ui.DeviceCB->setCurrentIndex(0);
    DeviceCBChange();
}

QScrollArea* TIniForm::CreateRowBox() {
    auto* box = new QScrollArea(this);
    box->setGeometry(Ui.DefaultSB->geometry());
    box->viewport()->setBackgroundRole(Ui.DefaultSB->viewport()->backgroundRole());
    box->setFocusPolicy(Ui.DefaultSB->focusPolicy());
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    content->setBackgroundRole(Ui.DefaultSB->viewport()->backgroundRole());
    content->setAutoFillBackground(true);
    box->setWidget(content);
    // Ahead of the template in the tab order, as a box placed first.
    QWidget::setTabOrder(box, Ui.DefaultSB);
    return box;
}

void TIniForm::DeviceCBChange() {
    SelectedUnit = UnitId::FromDeviceIndex(Ui.DeviceCB->currentIndex()).value_or(kUnits.front().Id);
    if (Ui.Bezel.Box == nullptr) {
        Ui.Bezel.Box = CreateRowBox();
        Ui.Bezel.Content = Ui.Bezel.Box->widget();
        Ui.Audio.Box = CreateRowBox();
        Ui.Audio.Content = Ui.Audio.Box->widget();
        QWidget::setTabOrder(Ui.Audio.Box, Ui.Bezel.Box);
    }
    if (SelectedUnit.Kind == UnitKind::Audio) {
        Ui.Bezel.Box->hide();
        Ui.Audio.Box->show();
        Ui.Audio.Box->setFocus();
        ShowRows(Ui.Audio, SelectedUnit);
    } else {
        Ui.Audio.Box->hide();
        Ui.Bezel.Box->show();
        Ui.Bezel.Box->setFocus();
        ShowRows(Ui.Bezel, SelectedUnit);
    }
}

template <std::size_t SlotCount>
void TIniForm::ShowRows(TRowSet<SlotCount>& rows, UnitId unit) {
    const int boxWidth = rows.Box->width();
    QWidget* content = rows.Content;
    QWidget* tabPredecessor = rows.Box;
    int position = 0;
    for (int slot = 0; slot < static_cast<int>(SlotCount); ++slot) {
        // Unnamed audio positions get no row and take no display position.
        if (!IsNamedBindingSlot(unit, slot)) {
            continue;
        }
        const std::size_t index = static_cast<std::size_t>(slot);
        const int top = kRowPitch * position;
        const KeyCode* binding = BindingField(Keys.Units(), unit, slot);
        const QString keyText =
            QString::fromStdString(KeyCodeToText(binding ? *binding : 0, Keys.Layout()));

        if (rows.NameLabels[index] == nullptr) {
            rows.NameLabels[index] = MakeRowLabel(content, kNameLeft, top + kLabelTop);
        }
        rows.NameLabels[index]->setText(QString::fromStdString(BindingRowLabel(unit, slot)));
        rows.NameLabels[index]->adjustSize();

        if (rows.KeyLabels[index] == nullptr) {
            rows.KeyLabels[index] = MakeRowLabel(content, kKeyLeft, top + kLabelTop);
        }
        rows.KeyLabels[index]->setText(keyText);
        rows.KeyLabels[index]->adjustSize();

        if (rows.RowBevels[index] == nullptr) {
            auto* bevel = new TBevel(TBevel::Shape::BottomLine, content);
            bevel->setGeometry(kBevelLeft, top + kBevelTop, boxWidth - kBevelInset, kRowPitch);
            bevel->lower();
            bevel->show();
            rows.RowBevels[index] = bevel;
        }

        if (rows.ChangeButtons[index] == nullptr) {
            auto* button = new QPushButton(QStringLiteral("Change"), content);
            button->setGeometry(boxWidth - kButtonFromRight, top + kButtonTop, kButtonWidth,
                                kButtonHeight);
            button->setProperty("tag", slot);
            connect(button, &QPushButton::clicked, this, [this, slot] { ChangeBtnClick(slot); });
            QWidget::setTabOrder(tabPredecessor, button);
            button->show();
            rows.ChangeButtons[index] = button;
        }
        tabPredecessor = rows.ChangeButtons[index];
        ++position;
    }

    // The scrolled area covers every row made so far; rows are never moved or removed.
    QRect covered;
    for (const QWidget* row : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        covered |= row->geometry();
    }
    content->resize(covered.right() + 1, covered.bottom() + 1);
}

void TIniForm::ChangeBtnClick(int slot) {
    if (!IsNamedBindingSlot(SelectedUnit, slot)) {
        return;
    }
    // The capture closing makes this form active again, which selects unit 0: the key
    // belongs to the unit whose row was clicked.
    const UnitId unit = SelectedUnit;
    const QString rowLabel = QString::fromStdString(BindingRowLabel(unit, slot));
    if (const std::optional<KeyCode> code = Capturer.Capture(rowLabel)) {
        StoreKey(unit, slot, *code);
    }
}

bool TIniForm::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            // Coming back from another application is not an activation of this form.
            if (LeftProgram) {
                LeftProgram = false;
            } else {
                FormActivate();
            }
            break;
        case QEvent::WindowDeactivate:
            // The new active window is already set: none means another application.
            LeftProgram = QApplication::activeWindow() == nullptr;
            break;
        default:
            break;
    }
    return QDialog::event(event);
}

void TIniForm::showEvent(QShowEvent* event) {
    // Opening counts as an activation even where the window system never activates us; a
    // restore from minimised is no opening.
    if (!event->spontaneous()) {
        LeftProgram = false;
        FormActivate();
    }
    QDialog::showEvent(event);
}

}  // namespace qel
