#include "app/main.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QShowEvent>

#include "app/simulator_link.h"
#include "core/unit_threads.h"
#include "dialogs/formfont.h"
#include "keymap/keymapfile.h"
#include "core/device.h"
#include "core/hidhook.h"
#include "qel/version.h"

namespace qel {

namespace {

// The designed client area (below the menu bar, status bar included) and its place on screen.
constexpr int kClientWidth = 629;
constexpr int kClientHeight = 531;
constexpr QPoint kDesignPosition{178, 202};
constexpr int kStatusPanel0Width = 130;
constexpr int kStatusPanel1Width = 50;
constexpr int kStatusLabelWidth = 180;
constexpr int kTimer1Interval = 30;
constexpr int kTimer2Interval = 1000;

QLabel* MakeLabel(QWidget* parent, std::string_view text, int left, int top) {
    auto* label =
        new QLabel(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), parent);
    label->adjustSize();
    // Wide enough for the connected caption, which is longer than the idle one.
    label->setGeometry(left, top, kStatusLabelWidth, label->height());
    return label;
}

QLabel* MakeStatusPanel(const char* text, int width) {
    auto* panel = new QLabel(QString::fromLatin1(text));
    panel->setMinimumWidth(width);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

}  // namespace

TMainForm::TMainForm(std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Prompts(prompts ? std::move(prompts) : std::make_unique<QtUserPrompts>(this)) {
    setWindowTitle(QStringLiteral("QEL1000 Keyboard Emulator"));
    setFont(FormFont());
    CreateComponents();
    CreateMenu();
    CreateStatusBar();
    // The status bar sits inside the designed client area; the menu bar sits above it.
    setFixedSize(kClientWidth, Ui.MainMenu1->sizeHint().height() + kClientHeight);
    move(kDesignPosition);

    Ui.Timer1 = new QTimer(this);
    Ui.Timer1->setInterval(kTimer1Interval);
    connect(Ui.Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    // The trim timer runs only while the log holds more lines than it keeps: ticking every
    // 30 ms with nothing to trim would wake an idle program some 33 times a second.
    connect(Ui.Memo1, &QPlainTextEdit::blockCountChanged, this, [this](int lines) {
        if (lines > kLogLines && !Ui.Timer1->isActive()) {
            Ui.Timer1->start();
        }
    });
    Ui.Timer2 = new QTimer(this);
    Ui.Timer2->setInterval(kTimer2Interval);
    connect(Ui.Timer2, &QTimer::timeout, this, &TMainForm::Timer2Timer);
    Ui.Timer2->start();
}

TMainForm::~TMainForm() {
    // Normally done at close; a window destroyed without closing must not leave threads
    // writing through a device module that is about to go.
    StopWorkerThreads();
}

void TMainForm::CreateComponents() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    // The design-time captions are the idle ones.
    Ui.Label1 = MakeLabel(client, IdleCaption(0), 16, 24);
    Ui.Label2 = MakeLabel(client, IdleCaption(1), 16, 40);
    Ui.Label3 = MakeLabel(client, IdleCaption(2), 16, 56);
    Ui.Label4 = MakeLabel(client, IdleCaption(3), 16, 72);
    Ui.Label5 = MakeLabel(client, IdleCaption(4), 200, 24);
    Ui.Label7 = MakeLabel(client, IdleCaption(5), 200, 40);

    Ui.CountLbl = MakeLabel(client, "Count : 0", 520, 8);
    Ui.LoopLbl = MakeLabel(client, "Loop : 0", 520, 24);
    Ui.CountHzLbl = MakeLabel(client, "- 0Hz", 584, 8);
    Ui.LoopHzLbl = MakeLabel(client, "- 0Hz", 584, 24);
    for (QLabel* hidden : {Ui.CountLbl, Ui.LoopLbl, Ui.CountHzLbl, Ui.LoopHzLbl}) {
        hidden->hide();
    }

    Ui.KeyCB = new QCheckBox(QStringLiteral("Enable keys"), client);
    Ui.KeyCB->move(520, 120);
    Ui.KeyCB->setChecked(true);
    Ui.KeyCB->hide();
    KeyGateView = std::make_unique<CheckBoxGate>(*Ui.KeyCB);

    Ui.Memo1 = new TLogMemo(client);
    Ui.Memo1->setReadOnly(true);
    MemoSink = std::make_unique<MemoLog>(*Ui.Memo1);
    Ui.Memo1->setGeometry(0, 145, kClientWidth, 365);
    // MindstarOD is made on first use: a file dialog starts listing its folder, with icons
    // and file types, as soon as it exists, which would slow every start.
}

void TMainForm::CreateMenu() {
    Ui.MainMenu1 = menuBar();
    Ui.file1 = Ui.MainMenu1->addMenu(QStringLiteral("&File"));
    Ui.Exit1 = Ui.file1->addAction(QStringLiteral("E&xit"), this, &TMainForm::Exit1Click);

    Ui.Tools1 = Ui.MainMenu1->addMenu(QStringLiteral("&Tools"));
    Ui.Keysettings1 = Ui.Tools1->addAction(QStringLiteral("&Key Settings..."), this,
                                           &TMainForm::Keysettings1Click);
    Ui.ImportMindstar1 = Ui.Tools1->addAction(QStringLiteral("Import &Mindstar..."), this,
                                              &TMainForm::ImportMindstar1Click);
    Ui.DeleteAllKeys1 = Ui.Tools1->addAction(QStringLiteral("Delete &All Keys"), this,
                                             &TMainForm::DeleteAllKeys1Click);
    Ui.N1 = Ui.Tools1->addSeparator();
    Ui.DebugMode1 =
        Ui.Tools1->addAction(QStringLiteral("&Debug Mode"), this, &TMainForm::DebugMode1Click);
    Ui.DebugMode1->setCheckable(true);
    Ui.N2 = Ui.Tools1->addSeparator();
    Ui.PanelView1 =
        Ui.Tools1->addAction(QStringLiteral("Panel &View"), this, &TMainForm::PanelView1Click);
    // No function or plain letter keys: panels type those, and the program's own window may
    // have the focus.
    Ui.PanelView1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    Ui.PrintBindings1 = Ui.Tools1->addAction(QStringLiteral("&Print Bindings..."), this,
                                             &TMainForm::PrintBindings1Click);
    Ui.SimulatorLink1 = Ui.Tools1->addAction(QStringLiteral("&Simulator Link..."), this,
                                             &TMainForm::SimulatorLink1Click);

    Ui.Help1 = Ui.MainMenu1->addMenu(QStringLiteral("&Help"));
    Ui.About1 = Ui.Help1->addAction(QStringLiteral("A&bout..."), this, &TMainForm::About1Click);
}

void TMainForm::CreateStatusBar() {
    Ui.StatusBar = statusBar();
    Ui.StatusBar->setSizeGripEnabled(false);
    Panel0 = MakeStatusPanel("Connected : 0", kStatusPanel0Width);
    Panel0->setFixedWidth(kStatusPanel0Width);
    Panel1 = MakeStatusPanel("Software : v", kStatusPanel1Width);
    // The last panel takes the rest of the bar, so the version text is never cut.
    Ui.StatusBar->addWidget(Panel0, 0);
    Ui.StatusBar->addWidget(Panel1, 1);
    UnitStatus = std::make_unique<LabelStatusView>(
        std::array<QLabel*, kDeviceCount>{Ui.Label1, Ui.Label2, Ui.Label3, Ui.Label4, Ui.Label5,
                                          Ui.Label7},
        *Panel0);
}

QLabel* TMainForm::StatusPanel(int index) const {
    switch (index) {
        case 0:
            return Panel0;
        case 2:
            return LinkPanel;
        default:
            return Panel1;
    }
}

void TMainForm::Link(const Links& links) {
    Linked = links;
}

bool TMainForm::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            FormActivate();
            ApplyOuterSize();
            break;
        // The window manager frames the window after it is shown, and moves it when it does.
        case QEvent::Move:
        case QEvent::Show:
            ApplyOuterSize();
            break;
        default:
            break;
    }
    return QMainWindow::event(event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Without a window manager the window may never be activated; being shown is enough.
    if (!event->spontaneous()) {
        QMetaObject::invokeMethod(this, &TMainForm::FormActivate, Qt::QueuedConnection);
    }
}

void TMainForm::FormActivate() {
    // Dialogs closing reactivate the window: only the first activation does the steps.
    if (ActivationDone || Closing) {
        return;
    }
    ActivationDone = true;

    QLocale::setDefault(QLocale::c());
    setWindowTitle(QString::fromUtf8(kProductName));
    Panel1->setText(QString::fromUtf8(kProductName) + QStringLiteral(" : v") +
                    QString::fromUtf8(kProductVersion));
    SetOuterSize(kOuterWidth, kNormalHeight);
    if (Linked.KeyMap != nullptr) {
        const std::unique_ptr<ProfileView> file = Linked.KeyMap->ReadAllKeys();
        if (Linked.SimLink != nullptr) {
            Linked.SimLink->Start(*file);
        }
    }
    StartWorkerThreads();
}

void TMainForm::StartWorkerThreads() {
    if (Linked.DeviceDM == nullptr) {
        return;
    }
    StartUnitThreads(*Linked.DeviceDM, AudioThreads, G1000Threads, [this] {
        QMetaObject::invokeMethod(this, &TMainForm::WorkerThreadEnded, Qt::QueuedConnection);
    });
}

void TMainForm::StopWorkerThreads() {
    StopUnitThreads(AudioThreads, G1000Threads);
}

void TMainForm::WorkerThreadEnded() {
    // Every thread ends at shutdown and asks for a close: only one that ends by itself
    // closes the program.
    if (!Closing) {
        close();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TMainForm::FormClose() {
    if (Closing) {
        return;
    }
    Closing = true;
    Ui.Timer1->stop();
    Ui.Timer2->stop();
    // No thread may write through the library once it is disconnected.
    StopWorkerThreads();
    if (Linked.PanelView != nullptr) {
        Linked.PanelView->close();
    }
    if (Linked.DeviceDM != nullptr) {
        Linked.DeviceDM->Disconnect();
    }
}

void TMainForm::Timer1Timer() {
    TrimMemo(*Ui.Memo1, kLogLines);
    if (MemoLineCount(*Ui.Memo1) <= kLogLines) {
        Ui.Timer1->stop();
    }
}

void TMainForm::Timer2Timer() {
    const std::int32_t readCount = Linked.Hook != nullptr ? Linked.Hook->ReadCount : 0;
    Ui.CountHzLbl->setText(QString::fromStdString(ReadRate.Tick(readCount)));
    // Nothing counts loop passes, so LoopHzLbl keeps its "- 0Hz".
}

void TMainForm::ShowLinkState(const QString& text) {
    if (LinkPanel == nullptr) {
        if (text.isEmpty()) {
            return;
        }
        LinkPanel = MakeStatusPanel("", 0);
        Ui.StatusBar->addPermanentWidget(LinkPanel);
    }
    LinkPanel->setText(text);
    LinkPanel->setVisible(!text.isEmpty());
}

void TMainForm::DebugMode1Click() {
    // The action has toggled its own check mark by the time a menu click gets here; the
    // form's own flag keeps a click and a direct call in agreement.
    DebugMode = !DebugMode;
    Ui.DebugMode1->setChecked(DebugMode);
    SetOuterHeight(DebugMode ? kDebugHeight : kNormalHeight);
}

QSize TMainForm::OuterSize() const {
    return frameGeometry().size();
}

void TMainForm::SetOuterSize(int width, int height) {
    WantedOuterSize = QSize(width, height);
    ApplyOuterSize();
}

void TMainForm::ApplyOuterSize() {
    if (!WantedOuterSize) {
        return;
    }
    // The frame is known only once the window manager has framed the window; before that
    // (and with no window manager) the outer size is the window's own size.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize inner = *WantedOuterSize - frame;
    if (size() != inner || minimumSize() != inner || maximumSize() != inner) {
        setFixedSize(inner);
    }
    // The log is wider than the window: its lines wrap where the window ends.
    Ui.Memo1->WrapWithin(inner.width() - Ui.Memo1->x());
}

void TMainForm::SetOuterHeight(int height) {
    SetOuterSize(WantedOuterSize ? WantedOuterSize->width() : OuterSize().width(), height);
}

}  // namespace qel
