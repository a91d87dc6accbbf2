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
#include "translate/units.h"
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

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeLabel(QWidget* parent, const char* name, std::string_view text, int left, int top) {
    auto* label = new QLabel(Latin1(text), parent);
    label->setObjectName(QLatin1String(name));
    label->adjustSize();
    // Wide enough for the connected caption, which is longer than the idle one.
    label->setGeometry(left, top, kStatusLabelWidth, label->height());
    return label;
}

// Named StatusPanel0, 1 and 2: the connected count, the version text, the link's state.
QLabel* MakeStatusPanel(const char* name, const char* text, int width) {
    auto* panel = new QLabel(QString::fromLatin1(text));
    panel->setObjectName(QLatin1String(name));
    panel->setMinimumWidth(width);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

}  // namespace

TMainForm::TMainForm(PanelSession& session, SimulatorLink& link,
                     std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Session(session),
      Link(link),
      Prompts(prompts ? std::move(prompts) : std::make_unique<QtUserPrompts>(this)),
      KeyForm(this),
      IniForm(session.Keys(), KeyForm, this),
      AboutForm(this),
      PanelView(
          session.Keys(), [&session](UnitId unit) { return session.UnitConnected(unit); }, KeyForm,
          link, this),
      LinkForm(
          [&link](const LinkSettings& settings, std::function<void(std::string)> done) {
              link.Test(settings, std::move(done));
          },
          this) {
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

    connect(&IniForm, &TIniForm::SaveFailed, this, &TMainForm::ShowSaveFailure);
    connect(&PanelView, &TPanelViewForm::SaveFailed, this, &TMainForm::ShowSaveFailure);
    connect(&Link, &SimulatorLink::StateChanged, this, &TMainForm::ShowLinkState);
    // The lines the session logged while it was made; every change after that is heard.
    for (const std::string& line : Session.Log().Held()) {
        LineAdded(line);
    }
    Session.Watch(*this);
}

TMainForm::~TMainForm() {
    Session.Unwatch(*this);
}

void TMainForm::CreateComponents() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    // The design-time captions are the idle ones.
    // By device index: bezel units 0-3 down the left, audio units 0-1 beside them.
    Ui.Label1 = MakeLabel(client, "Label1", kUnits[0].IdleCaption, 16, 24);
    Ui.Label2 = MakeLabel(client, "Label2", kUnits[1].IdleCaption, 16, 40);
    Ui.Label3 = MakeLabel(client, "Label3", kUnits[2].IdleCaption, 16, 56);
    Ui.Label4 = MakeLabel(client, "Label4", kUnits[3].IdleCaption, 16, 72);
    Ui.Label5 = MakeLabel(client, "Label5", kUnits[4].IdleCaption, 200, 24);
    Ui.Label7 = MakeLabel(client, "Label7", kUnits[5].IdleCaption, 200, 40);

    Ui.CountLbl = MakeLabel(client, "CountLbl", "Count : 0", 520, 8);
    Ui.LoopLbl = MakeLabel(client, "LoopLbl", "Loop : 0", 520, 24);
    Ui.CountHzLbl = MakeLabel(client, "CountHzLbl", "- 0Hz", 584, 8);
    Ui.LoopHzLbl = MakeLabel(client, "LoopHzLbl", "- 0Hz", 584, 24);
    for (QLabel* hidden : {Ui.CountLbl, Ui.LoopLbl, Ui.CountHzLbl, Ui.LoopHzLbl}) {
        hidden->hide();
    }

    Ui.KeyCB = new QCheckBox(QStringLiteral("Enable keys"), client);
    Ui.KeyCB->move(520, 120);
    Ui.KeyCB->setChecked(true);
    Ui.KeyCB->hide();
    Ui.KeyCB->setObjectName(QStringLiteral("KeyCB"));
    connect(Ui.KeyCB, &QCheckBox::toggled, this, [this](bool on) { Session.SetKeysEnabled(on); });

    Ui.Memo1 = new TLogMemo(client);
    Ui.Memo1->setReadOnly(true);
    Ui.Memo1->setObjectName(QStringLiteral("Memo1"));
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

    const std::pair<QObject*, const char*> names[] = {
        {Ui.MainMenu1, "MainMenu1"},
        {Ui.file1, "file1"},
        {Ui.Exit1, "Exit1"},
        {Ui.Tools1, "Tools1"},
        {Ui.Keysettings1, "Keysettings1"},
        {Ui.ImportMindstar1, "ImportMindstar1"},
        {Ui.DeleteAllKeys1, "DeleteAllKeys1"},
        {Ui.N1, "N1"},
        {Ui.DebugMode1, "DebugMode1"},
        {Ui.N2, "N2"},
        {Ui.PanelView1, "PanelView1"},
        {Ui.PrintBindings1, "PrintBindings1"},
        {Ui.SimulatorLink1, "SimulatorLink1"},
        {Ui.Help1, "Help1"},
        {Ui.About1, "About1"},
    };
    for (const auto& [object, name] : names) {
        object->setObjectName(QLatin1String(name));
    }
}

void TMainForm::CreateStatusBar() {
    Ui.StatusBar = statusBar();
    Ui.StatusBar->setSizeGripEnabled(false);
    Panel0 = MakeStatusPanel("StatusPanel0", "Connected : 0", kStatusPanel0Width);
    Panel0->setFixedWidth(kStatusPanel0Width);
    Panel1 = MakeStatusPanel("StatusPanel1", "Software : v", kStatusPanel1Width);
    // The last panel takes the rest of the bar, so the version text is never cut.
    Ui.StatusBar->addWidget(Panel0, 0);
    Ui.StatusBar->addWidget(Panel1, 1);
}

void TMainForm::LineAdded(std::string_view line) {
    MemoSink->AppendLine(line);
}

void TMainForm::UnitCaptionChanged(UnitId unit, std::string_view caption) {
    // By device index.
    const std::array<QLabel*, kDeviceCount> labels{Ui.Label1, Ui.Label2, Ui.Label3,
                                                   Ui.Label4, Ui.Label5, Ui.Label7};
    if (unit.IsValid()) {
        labels[static_cast<std::size_t>(unit.DeviceIndex())]->setText(Latin1(caption));
    }
}

void TMainForm::ConnectedTextChanged(std::string_view text) {
    Panel0->setText(Latin1(text));
}

void TMainForm::PollerEnded() {
    // A poller that ends by itself leaves its unit unserved: the program closes.
    if (!Closing) {
        close();
    }
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
    const std::unique_ptr<ProfileView> file = Session.Keys().ReadBindings();
    Link.Start(*file);
    Session.StartPollers();
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
    Session.Stop();
    PanelView.close();
}

void TMainForm::Timer1Timer() {
    Session.Log().Trim();
    TrimMemo(*Ui.Memo1, kLogLines);
    if (MemoLineCount(*Ui.Memo1) <= kLogLines) {
        Ui.Timer1->stop();
    }
}

void TMainForm::Timer2Timer() {
    Ui.CountHzLbl->setText(QString::fromStdString(ReadRate.Tick(Session.ReadCount())));
    // Nothing counts loop passes, so LoopHzLbl keeps its "- 0Hz".
}

void TMainForm::ShowLinkState(const QString& text) {
    if (LinkPanel == nullptr) {
        if (text.isEmpty()) {
            return;
        }
        LinkPanel = MakeStatusPanel("StatusPanel2", "", 0);
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
