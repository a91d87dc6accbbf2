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
#include "translate/units.h"
#include "panelview/controlslot.h"
#include "panelview/schematicwidget.h"

namespace qel {

namespace {

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A unit's caption on its tab and over its drawing.
QString CaptionOf(const UnitNames& unit, bool connected) {
    return Qs(connected ? unit.ConnectedCaption : unit.IdleCaption);
}

}  // namespace

TPanelViewForm::TPanelViewForm(KeyCore& core, ConnectedQuery connected, KeyCapturer& capturer,
                               LinkCommands& commands, QWidget* parent)
    : QWidget(parent, Qt::Window),
      Core(core),
      Connected(std::move(connected)),
      Capturer(capturer),
      Commands(commands),
      AskCommand([this](const QString& row, const std::string& current) {
          bool ok = false;
          const QString text =
              QInputDialog::getText(this, QStringLiteral("Simulator Command"),
                                    row + QStringLiteral(" (empty: the built-in command):"),
                                    QLineEdit::Normal, QString::fromStdString(current), &ok);
          return ok ? std::optional(text.trimmed().toStdString()) : std::nullopt;
      }),
      Watch(Activity, [this](UnitId unit, int slot) {
          // The pick arrives inside the report path: the capture opens once it has returned.
          QMetaObject::invokeMethod(
              this, [this, unit, slot] { OpenPick(unit, slot); }, Qt::QueuedConnection);
      }) {
    setWindowTitle(QStringLiteral("Panel View"));
    setFont(FormFont());

    Ui.UnitTabs = new QTabBar(this);
    Ui.UnitTabs->setExpanding(false);
    // Tab i shows the unit of device index i.
    for (const UnitNames& unit : kUnits) {
        Ui.UnitTabs->addTab(Qs(unit.IdleCaption));
    }
    connect(Ui.UnitTabs, &QTabBar::currentChanged, this, [this](int index) {
        if (const std::optional<UnitId> unit = UnitId::FromDeviceIndex(index)) {
            ShowUnit(*unit);
        }
    });

    Ui.Schematic = new TSchematicWidget(Core.Units(), Core.Layout(), Activity, Commands, this);
    connect(Ui.Schematic, &TSchematicWidget::BindingClicked, this,
            [this](UnitId unit, int slot) { BindSlot(unit, slot); });

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
    ShowUnit(kUnits.front().Id);
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

UnitId TPanelViewForm::CurrentUnit() const {
    return UnitId::FromDeviceIndex(Ui.UnitTabs->currentIndex()).value_or(kUnits.front().Id);
}

void TPanelViewForm::ShowUnit(UnitId unit) {
    if (!unit.IsValid()) {
        return;
    }
    if (CurrentUnit() != unit) {
        // Comes back here through currentChanged.
        Ui.UnitTabs->setCurrentIndex(unit.DeviceIndex());
        return;
    }
    if (Ui.Schematic->Unit() != unit) {
        Ui.Schematic->SetSelectedSlot(std::nullopt);
    }
    ShownConnected = {};
    ShownBindingsUnit.reset();
    RefreshConnections();  // every tab counts as changed, so this shows the caption too
    BindingsChanged();
}

void TPanelViewForm::ShowCaption() {
    const UnitId unit = CurrentUnit();
    const bool connected =
        ShownConnected[static_cast<std::size_t>(unit.DeviceIndex())].value_or(false);
    SchematicCaption caption;
    caption.Title = CaptionOf(NamesOf(unit), connected);
    caption.Detail = Ui.TouchCB->isChecked()
                         ? QStringLiteral("Touch to bind: move a control on the panel")
                         : QStringLiteral("Click a control to bind it");
    Ui.Schematic->ShowUnit(unit, caption, !connected);
}

bool TPanelViewForm::RefreshConnections() {
    bool shownChanged = false;
    for (const UnitNames& unit : kUnits) {
        const int tab = unit.Id.DeviceIndex();
        const bool connected = Connected && Connected(unit.Id);
        std::optional<bool>& shown = ShownConnected[static_cast<std::size_t>(tab)];
        if (shown == connected) {
            continue;
        }
        shown = connected;
        Ui.UnitTabs->setTabText(tab, CaptionOf(unit, connected));
        Ui.UnitTabs->setTabTextColor(
            tab, palette().color(connected ? QPalette::Active : QPalette::Disabled,
                                 QPalette::WindowText));
        shownChanged |= tab == Ui.UnitTabs->currentIndex();
    }
    if (shownChanged) {
        ShowCaption();
    }
    return shownChanged;
}

bool TPanelViewForm::BindingsChanged() {
    const UnitId unit = CurrentUnit();
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

bool TPanelViewForm::LinkChanged() {
    const int revision = Commands.Revision();
    if (revision == ShownLinkRevision) {
        return false;
    }
    ShownLinkRevision = revision;
    Ui.CommandCB->setVisible(Commands.Linked());
    return true;
}

void TPanelViewForm::FrameTick() {
    Activity.Tick(Clock.elapsed());
    bool changed = Activity.TakeChanged();
    changed |= RefreshConnections();
    changed |= BindingsChanged();
    changed |= LinkChanged();
    if (changed) {
        ++Repaints;
        Ui.Schematic->update();
    }
}

void TPanelViewForm::TouchCBClick() {
    Watch.SetTouchToBind(Ui.TouchCB->isChecked());
    ShowCaption();
}

void TPanelViewForm::OpenPick(UnitId unit, int slot) {
    // Turned off, or a capture or another dialog open (the key settings may be asking for a
    // key through the same capture), since the pick: it is dropped.
    if (Watch.TouchToBind() && !Capturing && QApplication::activeModalWidget() == nullptr) {
        ShowUnit(unit);
        BindSlot(unit, slot);
    }
    Watch.PickDone();
}

void TPanelViewForm::BindSlot(UnitId unit, int slot) {
    const bool command = Commands.Linked() && Ui.CommandCB->isChecked();
    if (Capturing || !IsNamedBindingSlot(unit, slot)) {
        return;
    }
    Ui.Schematic->SetSelectedSlot(slot);
    const QString rowLabel = QString::fromStdString(BindingRowLabel(unit, slot));
    Capturing = true;
    std::optional<Status> saved;  // nothing when closed without an answer
    if (command) {
        if (const std::optional<std::string> text =
                AskCommand(rowLabel, Commands.CommandOf(unit, slot))) {
            saved = Commands.SetCommand(unit, slot, *text);
        }
    } else if (const std::optional<KeyCode> code = Capturer.Capture(rowLabel)) {
        saved = Core.BindSlot(unit, slot, *code);
    }
    Capturing = false;
    if (!saved && Ui.TouchCB->isChecked()) {
        // Closed without an answer: a control that keeps moving would reopen the modal
        // question at once, and the tick box cannot be reached past it.
        Ui.TouchCB->setChecked(false);
    }
    FrameTick();
    if (saved && !*saved) {
        emit SaveFailed(*saved);
    }
}

}  // namespace qel
