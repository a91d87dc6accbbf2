#include "panelview/panelviewform.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMetaObject>
#include <QShowEvent>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/formfont.h"
#include "keymap/bindingslot.h"
#include "core/hidhook.h"
#include "panelview/controlslot.h"
#include "panelview/schematicwidget.h"

namespace qel {

namespace {

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TPanelViewForm::TPanelViewForm(KeyCore& core, ConnectedQuery connected, QWidget* parent)
    : QWidget(parent, Qt::Window),
      Core(core),
      Connected(std::move(connected)),
      Watch(Activity, [this](int deviceIndex, int slot) {
          // The pick arrives inside the report path: the capture opens once it has returned.
          QMetaObject::invokeMethod(
              this, [this, deviceIndex, slot] { OpenPick(deviceIndex, slot); },
              Qt::QueuedConnection);
      }) {
    setWindowTitle(QStringLiteral("Panel View"));
    setFont(FormFont());

    Ui.UnitTabs = new QTabBar(this);
    Ui.UnitTabs->setExpanding(false);
    for (int i = 0; i < kDeviceCount; ++i) {
        Ui.UnitTabs->addTab(Qs(IdleCaption(i)));
    }
    connect(Ui.UnitTabs, &QTabBar::currentChanged, this, [this](int index) { ShowUnit(index); });

    Ui.Schematic = new TSchematicWidget(Core.Units(), Core.Layout(), Activity, this);
    connect(Ui.Schematic, &TSchematicWidget::BindingClicked, this,
            [this](int deviceIndex, int slot) { BindSlot(deviceIndex, slot); });

    Ui.TouchCB = new QCheckBox(QStringLiteral("&Touch to bind"), this);
    Ui.TouchCB->setToolTip(
        QStringLiteral("The next control moved on a panel is picked and asks for its key. "
                       "Meanwhile the panels type nothing."));
    connect(Ui.TouchCB, &QCheckBox::toggled, this, [this](bool) { TouchCBClick(); });

    Ui.CommandCB = new QCheckBox(QStringLiteral("Bind &commands"), this);
    Ui.CommandCB->setToolTip(
        QStringLiteral("A click or touch names the simulator command the control sends, "
                       "instead of its key."));
    Ui.CommandCB->setVisible(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Ui.TouchCB);
    bottom->addWidget(Ui.CommandCB);
    bottom->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Ui.UnitTabs);
    layout->addWidget(Ui.Schematic, 1);
    layout->addLayout(bottom);
    resize(Ui.Schematic->sizeHint() + QSize(24, Ui.UnitTabs->sizeHint().height() + 56));

    Ui.FrameTimer = new QTimer(this);
    Ui.FrameTimer->setInterval(kFrameInterval);
    connect(Ui.FrameTimer, &QTimer::timeout, this, &TPanelViewForm::FrameTick);
    Clock.start();
    ShowUnit(0);
}

TPanelViewForm::~TPanelViewForm() {
    Watching(false);
}

void TPanelViewForm::Watching(bool on) {
    Core.WatchControls(on ? &Watch : nullptr);
}

void TPanelViewForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Watching(true);
    Ui.FrameTimer->start();
    FrameTick();
}

void TPanelViewForm::hideEvent(QHideEvent* event) {
    // Nothing watches a hidden window: the report path is as it was, and no panel stays
    // silenced by a touch to bind nobody sees.
    Watching(false);
    Ui.FrameTimer->stop();
    Ui.TouchCB->setChecked(false);
    Activity.Clear();
    QWidget::hideEvent(event);
}

void TPanelViewForm::ShowUnit(int deviceIndex) {
    if (deviceIndex < 0 || deviceIndex >= kDeviceCount) {
        return;
    }
    if (Ui.UnitTabs->currentIndex() != deviceIndex) {
        Ui.UnitTabs->setCurrentIndex(deviceIndex);  // comes back here through currentChanged
        return;
    }
    if (Ui.Schematic->Unit() != deviceIndex) {
        Ui.Schematic->SetSelectedSlot(std::nullopt);
    }
    ShownConnected = {};
    ShownBindingsUnit = -1;
    RefreshConnections();  // every tab counts as changed, so this shows the caption too
    BindingsChanged();
}

void TPanelViewForm::ShowCaption() {
    const int unit = Ui.UnitTabs->currentIndex();
    const bool connected = ShownConnected[static_cast<std::size_t>(unit)].value_or(false);
    SchematicCaption caption;
    caption.Title = Qs(connected ? ConnectedCaption(unit) : IdleCaption(unit));
    caption.Detail = Ui.TouchCB->isChecked()
                         ? QStringLiteral("Touch to bind: move a control on the panel")
                         : QStringLiteral("Click a control to bind it");
    Ui.Schematic->ShowUnit(unit, caption, !connected);
}

bool TPanelViewForm::RefreshConnections() {
    bool shownChanged = false;
    for (int i = 0; i < kDeviceCount; ++i) {
        const bool connected = Connected && Connected(i);
        std::optional<bool>& shown = ShownConnected[static_cast<std::size_t>(i)];
        if (shown == connected) {
            continue;
        }
        shown = connected;
        Ui.UnitTabs->setTabText(i, Qs(connected ? ConnectedCaption(i) : IdleCaption(i)));
        Ui.UnitTabs->setTabTextColor(
            i, palette().color(connected ? QPalette::Active : QPalette::Disabled,
                               QPalette::WindowText));
        shownChanged |= i == Ui.UnitTabs->currentIndex();
    }
    if (shownChanged) {
        ShowCaption();
    }
    return shownChanged;
}

bool TPanelViewForm::BindingsChanged() {
    const int unit = Ui.UnitTabs->currentIndex();
    std::array<KeyCode, kBezelSlotCount> bindings{};
    for (int slot = 0; slot < BindingSlotCount(unit); ++slot) {
        const KeyCode* field = BindingField(Core.Units(), unit, slot);
        bindings[static_cast<std::size_t>(slot)] = field != nullptr ? *field : 0;
    }
    if (unit == ShownBindingsUnit && bindings == ShownBindings) {
        return false;
    }
    ShownBindingsUnit = unit;
    ShownBindings = bindings;
    return true;
}

void TPanelViewForm::FrameTick() {
    Ui.CommandCB->setVisible(Commands != nullptr && Commands->Linked());
    Activity.Tick(Clock.elapsed());
    bool changed = Activity.TakeChanged();
    changed |= RefreshConnections();
    changed |= BindingsChanged();
    if (changed) {
        ++Repaints;
        Ui.Schematic->update();
    }
}

void TPanelViewForm::TouchCBClick() {
    Watch.SetTouchToBind(Ui.TouchCB->isChecked());
    ShowCaption();
}

void TPanelViewForm::OpenPick(int deviceIndex, int slot) {
    // Turned off, or a capture or another dialog open (the key settings may be asking for a
    // key through the same capture), since the pick: it is dropped.
    if (Watch.TouchToBind() && !Capturing && QApplication::activeModalWidget() == nullptr) {
        ShowUnit(deviceIndex);
        BindSlot(deviceIndex, slot);
    }
    Watch.PickDone();
}

void TPanelViewForm::SetLinkCommands(LinkCommands* commands, CommandAsker asker) {
    Commands = commands;
    AskCommand = asker ? std::move(asker) : [this](const QString& row, const std::string& current) {
        bool ok = false;
        const QString text =
            QInputDialog::getText(this, QStringLiteral("Simulator Command"),
                                  row + QStringLiteral(" (empty: the built-in command):"),
                                  QLineEdit::Normal, QString::fromStdString(current), &ok);
        return ok ? std::optional(text.trimmed().toStdString()) : std::nullopt;
    };
    Ui.Schematic->SetLinkCommands(commands);
}

void TPanelViewForm::BindSlot(int deviceIndex, int slot) {
    const bool command = Commands != nullptr && Commands->Linked() && Ui.CommandCB->isChecked();
    if (Capturing || !IsNamedBindingSlot(deviceIndex, slot) || (!command && Capturer == nullptr)) {
        return;
    }
    Ui.Schematic->SetSelectedSlot(slot);
    const QString rowLabel = QString::fromStdString(BindingRowLabel(deviceIndex, slot));
    Capturing = true;
    std::optional<Status> saved;  // nothing when closed without an answer
    if (command) {
        if (const std::optional<std::string> text =
                AskCommand(rowLabel, Commands->CommandOf(deviceIndex, slot))) {
            saved = Commands->SetCommand(deviceIndex, slot, *text);
        }
    } else if (const std::optional<KeyCode> code = Capturer->Capture(rowLabel)) {
        saved = Core.BindSlot(deviceIndex, slot, *code);
    }
    Capturing = false;
    if (!saved && Ui.TouchCB->isChecked()) {
        // Closed without an answer: a control that keeps moving would reopen the modal
        // question at once, and the tick box cannot be reached past it.
        Ui.TouchCB->setChecked(false);
    }
    // A command shows in place of a key text, which the frame does not compare.
    Ui.Schematic->update();
    FrameTick();
    if (saved && !*saved) {
        emit SaveFailed(*saved);
    }
}

}  // namespace qel
