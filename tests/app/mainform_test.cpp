#include <array>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QSpinBox>
#include <QUdpSocket>
#include <QTimer>
#include <QEvent>
#include <QTest>
#include <QTextBlock>

#include "program_fixture.h"
#include "support/memory_file_access.h"

namespace qel::test {
namespace {

constexpr int kSoftkey1 = 13;  // button number of softkey_1 in the bezel catalogue

TEST_F(ProgramTest, Timer1DropsTheOldestLineOnceTheLogHoldsMoreThan25) {
    Start();
    for (int i = 1; i <= 25; ++i) {
        TheProgram->Session.Log().AppendLine("line " + std::to_string(i));
    }
    Form().Timer1Timer();
    EXPECT_EQ(MemoLineCount(*Part<TLogMemo>("Memo1")), 25);
    const QTimer* trim = nullptr;
    for (const QTimer* timer : Form().findChildren<QTimer*>()) {
        trim = timer->interval() == 30 ? timer : trim;
    }
    ASSERT_NE(trim, nullptr);
    EXPECT_FALSE(trim->isActive()) << "nothing to trim: the timer does not tick";

    TheProgram->Session.Log().AppendLine("line 26");
    // The running timer does the trimming: no direct call here.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return MemoLineCount(*Part<TLogMemo>("Memo1")) == 25; }, 5000));
    EXPECT_EQ(Part<TLogMemo>("Memo1")->document()->firstBlock().text(), "line 2");
    EXPECT_EQ(Part<TLogMemo>("Memo1")->document()->lastBlock().text(), "line 26");
}

TEST_F(ProgramTest, Timer2ShowsReportsPerTickAndZeroWithoutUnits) {
    Start();
    Form().Timer2Timer();
    EXPECT_EQ(Part<QLabel>("CountHzLbl")->text(), "- 0Hz");
    EXPECT_EQ(Part<QLabel>("LoopHzLbl")->text(), "- 0Hz");

    Panels->Plug(684);
    Pump();
    const std::array<std::uint8_t, 4> idle{0x00, 0xC1, 0x00, 0x00};
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(Panels->SendReport(684, idle));
    }
    Pump();
    Form().Timer2Timer();
    EXPECT_EQ(Part<QLabel>("CountHzLbl")->text(), "- 7Hz");
    Form().Timer2Timer();
    EXPECT_EQ(Part<QLabel>("CountHzLbl")->text(), "- 0Hz");
    EXPECT_EQ(Part<QLabel>("LoopHzLbl")->text(), "- 0Hz");
    // Nothing ever shows the rates.
    EXPECT_FALSE(Part<QLabel>("CountHzLbl")->isVisible());
}

TEST_F(ProgramTest, DebugModeTogglesCheckAndHeightTheSameFromMenuOrHandler) {
    struct Case {
        const char* Name;
        void (*Choose)(TMainForm&);
    };
    const Case cases[]{
        {"handler", [](TMainForm& form) { form.DebugMode1Click(); }},
        // A menu click toggles the action's own check mark first: it must not cancel out.
        {"menu item", [](TMainForm& form) { form.findChild<QAction*>("DebugMode1")->trigger(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StartAndShow();
        EXPECT_EQ(Form().OuterSize(), QSize(430, 200));
        EXPECT_FALSE(Part<QAction>("DebugMode1")->isChecked());

        c.Choose(Form());
        Pump();
        EXPECT_TRUE(Part<QAction>("DebugMode1")->isChecked());
        EXPECT_EQ(Form().OuterSize(), QSize(430, 577));
        // The log is wider than the window: it keeps its size, and its text ends (and wraps)
        // where the window ends, so no line is cut off unseen.
        const QPlainTextEdit& memo = *Part<TLogMemo>("Memo1");
        EXPECT_EQ(memo.size(), QSize(629, 365));
        EXPECT_LE(memo.x() + memo.viewport()->geometry().right(), Form().width());

        c.Choose(Form());
        Pump();
        EXPECT_FALSE(Part<QAction>("DebugMode1")->isChecked());
        EXPECT_EQ(Form().OuterSize(), QSize(430, 200));
        TheProgram.reset();
    }
}

TEST_F(ProgramTest, FirstActivationSetsVersionTextAndLoadsBindings) {
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n[qel_audio_1]\npilot_incr=SHIFT+X\n");
    Start();
    EXPECT_EQ(Form().windowTitle(), "QEL1000 Keyboard Emulator");
    EXPECT_EQ(StatusPanel(1)->text(), "Software : v");
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0);

    Form().show();
    Pump();
    EXPECT_EQ(Form().windowTitle(), "QEL G1000 keysend");
    EXPECT_EQ(StatusPanel(1)->text(), "QEL G1000 keysend : v1.0");
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0x70);
    EXPECT_EQ(TheProgram->Session.Keys().Units().AudioUnits[1].Rotaries[1].IncrKey, 0x158);
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[3].Buttons[kSoftkey1].Name,
              "softkey_1");
}

TEST_F(ProgramTest, LaterActivationsNeitherReloadBindingsNorStartMoreThreads) {
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n");
    StartAndShow();
    ASSERT_EQ(TheProgram->Session.PollersStarted(), 6);

    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F2\n");
    // What a dialog closing does: the window becomes active again.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&Form(), &activate);
    Form().hide();
    Form().show();
    Pump();

    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0x70);
    EXPECT_EQ(TheProgram->Session.PollersStarted(), 6);
}

TEST_F(ProgramTest, MenuDialogsOpenModallyAndClosingThemChangesNothing) {
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n");
    StartAndShow();
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F2\n");

    struct Case {
        const char* Name;
        QAction* Item;
        QDialog* Expected;
    };
    const Case cases[]{
        {"About", Part<QAction>("About1"), Window<TAboutForm>()},
        {"Key Settings", Part<QAction>("Keysettings1"), Window<TIniForm>()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget();
            if (shown != nullptr) {
                shown->close();
            }
        });
        c.Item->trigger();
        EXPECT_EQ(shown, c.Expected);
        Pump();
        EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0x70);
        EXPECT_EQ(TheProgram->Session.PollersStarted(), 6);
    }
}

TEST_F(ProgramTest, PlugUnplugAndChangedEventsShowOnLabelsAndPanel0) {
    StartAndShow();
    const std::array<QLabel*, 6> labels{Part<QLabel>("Label1"), Part<QLabel>("Label2"),
                                        Part<QLabel>("Label3"), Part<QLabel>("Label4"),
                                        Part<QLabel>("Label5"), Part<QLabel>("Label7")};
    auto captions = [&] {
        std::string all;
        for (QLabel* label : labels) {
            all += label->text().toStdString() + "|";
        }
        return all + StatusPanel(0)->text().toStdString();
    };
    EXPECT_EQ(captions(),
              "QEL1000-0:|QEL1000-1:|QEL1000-2:|QEL1000-3:|QELAudio-0:|QELAudio-1:|"
              "Connected : 0");

    Panels->Plug(684);
    Panels->Plug(689);
    Panels->Plug(687);
    Pump();
    EXPECT_EQ(captions(),
              "QEL1000-0: Connected|QEL1000-1:|QEL1000-2:|QEL1000-3: Connected|"
              "QELAudio-0:|QELAudio-1: Connected|Connected : 3");

    Panels->Unplug(687);
    // Another vendor's device and a product that is no panel change nothing.
    Panels->PlugOther(0x1234, 684);
    Panels->PlugOther(kPanelVendorId, 690);
    Pump();
    EXPECT_EQ(captions(),
              "QEL1000-0: Connected|QEL1000-1:|QEL1000-2:|QEL1000-3:|"
              "QELAudio-0:|QELAudio-1: Connected|Connected : 2");

    Panels->Unplug(684);
    Panels->Unplug(689);
    Pump();
    EXPECT_EQ(captions(),
              "QEL1000-0:|QEL1000-1:|QEL1000-2:|QEL1000-3:|QELAudio-0:|QELAudio-1:|"
              "Connected : 0");
}

TEST_F(ProgramTest, ReportOfAPluggedUnitTypesItsBindingOnlyWhileKeysAreEnabled) {
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n");
    StartAndShow();
    Panels->Plug(684);
    Pump();
    const std::array<std::uint8_t, 4> pressed{0x00, 0xC1, 0x00, 0x20};
    const std::array<std::uint8_t, 4> released{0x00, 0xC1, 0x00, 0x00};

    ASSERT_TRUE(Panels->SendReport(684, pressed));
    ASSERT_TRUE(Panels->SendReport(684, released));
    Pump();
    EXPECT_EQ(Keys->Events, (std::vector<KeyEventRecord>{Down(0x70), Up(0x70)}));
    EXPECT_NE(LogText().find("softkey_1"), std::string::npos);

    Part<QCheckBox>("KeyCB")->setChecked(false);
    ASSERT_TRUE(Panels->SendReport(684, pressed));
    ASSERT_TRUE(Panels->SendReport(684, released));
    Pump();
    EXPECT_EQ(Keys->Events.size(), 2U);
    // No simulator link set: nothing of it shows, and the file stays as it was.
    EXPECT_EQ(StatusPanel(2), nullptr);
    EXPECT_EQ(ReadText(KeyMapPath()), "[qel_1000_0]\nsoftkey_1=F1\n");
}

TEST_F(ProgramTest, SimulatorLinkSetInTheDialogIsTestedStoredShownAndUsedEvenIfNotStored) {
    QUdpSocket simulator;
    ASSERT_TRUE(simulator.bind(QHostAddress::LocalHost, 0));
    const std::string where = "127.0.0.1:" + std::to_string(simulator.localPort());
    auto received = [&simulator] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return simulator.hasPendingDatagrams(); }, 5000));
        const QByteArray datagram = simulator.receiveDatagram().data();
        return std::string(datagram.constData(), static_cast<std::size_t>(datagram.size()));
    };
    using namespace std::string_literals;
    const std::string units =
        "[qel_1000_0]\r\nsoftkey_1=F1\r\n\r\n[qel_audio_1]\r\npilot_incr=X\r\n";
    // Written before any link was set: choosing X-Plane must keep it, and use it.
    const std::string mine = "[xplane_commands]\r\nqel_1000_0.softkey_1=sim/mine\r\n";
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only keymap.ini" : "writable keymap.ini");
        auto files = std::make_unique<MemoryFileAccess>();
        MemoryFileAccess& disk = *files;
        FilesForNextStart = std::move(files);
        Start();
        const std::string path = TheProgram->Session.Keys().KeyMapFileName().value();
        disk.Files[path] = units + mine;
        if (readOnly) {
            disk.FailWrites(path, "Read-only file system");
        }
        Form().show();
        Pump();
        Panels->Plug(684);
        Pump();

        std::string tested;
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            auto* dialog = qobject_cast<SimulatorLinkDialog*>(shown);
            if (dialog == nullptr) {
                ADD_FAILURE() << "no Simulator Link dialog";
                if (shown != nullptr) shown->close();
                return;
            }
            QStringList rows;  // the unit rows name the units as the other windows do
            for (const QLabel* label : dialog->findChildren<QLabel*>()) rows << label->text();
            EXPECT_TRUE(rows.contains("QEL1000 - 0:") && rows.contains("QEL Audio - 1:"));
            QComboBox& link = *dialog->LinkBox();
            link.setCurrentIndex(link.findData(static_cast<int>(SimulatorKind::XPlane)));
            dialog->HostEdit()->setText(QStringLiteral("127.0.0.1"));
            dialog->PortBox()->setValue(simulator.localPort());
            dialog->TestButton()->click();
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return dialog->TestResult()->text() != "Testing..."; }, 5000));
            tested = dialog->TestResult()->text().toStdString();
            dialog->accept();
        });
        Part<QAction>("SimulatorLink1")->trigger();
        EXPECT_EQ(tested, "sent to " + where);
        EXPECT_EQ(received(), "CMND\0sim/none/none"s);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return StatusPanel(2) != nullptr && StatusPanel(2)->isVisible(); }, 5000));
        EXPECT_EQ(StatusPanel(2)->text().toStdString(), "X-Plane: connected (UDP " + where + ")");
        if (readOnly) {
            EXPECT_EQ(Prompts.Shown, std::vector<std::string>{
                                         "error: " + path +
                                         ": cannot write (Read-only file system)\n\nThe change "
                                         "was not saved: it lasts only until the program closes."});
            EXPECT_EQ(disk.Files[path], units + mine);
        } else {
            EXPECT_TRUE(Prompts.Shown.empty());
            // The unit sections stay byte for byte; the commands section is written anew.
            EXPECT_EQ(disk.Files[path],
                      units + "[simulator]\r\nlink=xplane\r\nhost=127.0.0.1\r\nport=" +
                          where.substr(where.find(':') + 1) +
                          "\r\ntransport=udp\r\nweb_port=8086\r\nqel_1000_0=pfd\r\n"
                          "qel_1000_1=mfd\r\nqel_1000_2=copilot_pfd\r\nqel_1000_3=none\r\n"
                          "qel_audio_0=pilot\r\nqel_audio_1=copilot\r\nfg_pfd=1\r\nfg_mfd=2\r\n"
                          "fg_copilot_pfd=3\r\n" +
                          mine);
        }

        // Stored or not, the link is in use: the soft key sends its command, typing nothing.
        ASSERT_TRUE(Panels->SendReport(684, std::array<std::uint8_t, 4>{0x00, 0xC1, 0x00, 0x20}));
        Pump();
        EXPECT_EQ(received(), "CMND\0sim/mine"s);
        EXPECT_TRUE(Keys->Events.empty());
        TheProgram.reset();
        Prompts.Shown.clear();
    }
}

TEST_F(ProgramTest, DeleteAllKeysClearsOnlyAfterOk) {
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n");
    StartAndShow();
    const std::string before = ReadText(KeyMapPath());

    Prompts.ConfirmAnswers = {false};
    Part<QAction>("DeleteAllKeys1")->trigger();
    EXPECT_EQ(
        Prompts.Shown,
        (std::vector<std::string>{"confirm: Are you sure you want to delete all settings ?"}));
    EXPECT_EQ(ReadText(KeyMapPath()), before);
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0x70);

    Prompts.ConfirmAnswers = {true};
    Part<QAction>("DeleteAllKeys1")->trigger();
    EXPECT_EQ(Prompts.Shown.size(), 2U) << "no message follows the confirmation";
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0);
    const std::string after = ReadText(KeyMapPath());
    EXPECT_NE(after.find("softkey_1="), std::string::npos);
    EXPECT_EQ(after.find("F1"), std::string::npos);
    EXPECT_NE(after.find("[qel_audio_1]"), std::string::npos);
}

TEST_F(ProgramTest, ImportMindstarAsksForTheFileAndReportsEachOutcome) {
    const std::filesystem::path mindstarDir = Directory / "mindstar";
    std::filesystem::create_directories(mindstarDir / "G1000.ini");  // a folder by that name
    std::filesystem::create_directories(mindstarDir / "sim");
    const std::filesystem::path mindstarFile = mindstarDir / "sim" / "G1000.ini";
    WriteText(mindstarFile, "[KEYBOARD]\nPFD_SOFTKEY_1=F5\nMFD_SOFTKEY_1=F6\n");
    WriteText(KeyMapPath(), "[qel_1000_0]\nsoftkey_1=F1\n");
    const std::string keyMapBefore = ReadText(KeyMapPath());

    struct Case {
        const char* Name;
        std::optional<QString> Choice;
        std::vector<std::string> ExpectedShown;
        bool Imports;
    };
    const std::string dialog =
        "file dialog: Search Mindstar INI File [Mindstar INI File (G1000.ini)]";
    const Case cases[]{
        {"cancelled", std::nullopt, {dialog}, false},
        {"name that does not exist",
         QString::fromStdString((mindstarDir / "none.ini").string()),
         {dialog, "message: Error reading file!"},
         false},
        {"a folder, not a file",
         QString::fromStdString((mindstarDir / "G1000.ini").string()),
         {dialog, "message: Error reading file!"},
         false},
        {"the key file",
         QString::fromStdString(mindstarFile.string()),
         {dialog, "message: Mindstar INI file imported."},
         true},
    };
    StartAndShow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Prompts.Shown.clear();
        Prompts.FileChoices = {c.Choice};
        Part<QAction>("ImportMindstar1")->trigger();
        EXPECT_EQ(Prompts.Shown, c.ExpectedShown);
        if (!c.Imports) {
            EXPECT_EQ(ReadText(KeyMapPath()), keyMapBefore);
        }
    }
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[0].Buttons[kSoftkey1].Key, 0x74);  // F5
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[1].Buttons[kSoftkey1].Key, 0x75);  // F6
    // The key map stays where the program started, whatever folder the dialog was in.
    EXPECT_FALSE(std::filesystem::exists(mindstarDir / "sim" / "keymap.ini"));
    EXPECT_EQ(ReadText(mindstarFile), "[KEYBOARD]\nPFD_SOFTKEY_1=F5\nMFD_SOFTKEY_1=F6\n");
}

TEST_F(ProgramTest, CloseStopsEveryWorkerThreadAndTheirCloseRequestsDoNoHarm) {
    StartAndShow();
    // A thread is running once its cycle has begun, a moment after it was resumed.
    ASSERT_TRUE(QTest::qWaitFor([&] { return TheProgram->Session.PollersRunning(); }, 5000));
    Panels->Plug(685);
    Pump();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Panels->WriteCount() > 0; }, 5000))
        << "the threads poll the plugged unit";

    Part<QAction>("Exit1")->trigger();
    EXPECT_FALSE(TheProgram->Session.PollersRunning());
    EXPECT_FALSE(Form().isVisible());
    const std::uint64_t writes = Panels->WriteCount();
    // The six close requests arrive now; so might late notifications.
    Pump();
    EXPECT_FALSE(Form().isVisible());
    EXPECT_EQ(Panels->WriteCount(), writes);
}

TEST_F(ProgramTest, WithoutTheHidLibraryTheUserIsToldAndTheProgramRunsOn) {
    testing::internal::CaptureStderr();
    StartAndShow(false);
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("qel1000keysend: no back end\n", 0), 0U)
        << "whoever started the program learns why at once";
    EXPECT_EQ(Prompts.Shown, (std::vector<std::string>{"error: Error loading dll"}));
    EXPECT_EQ(StatusPanel(0)->text(), "Connected : 0");
    EXPECT_TRUE(QTest::qWaitFor([&] { return TheProgram->Session.PollersRunning(); }, 5000));
    Form().close();
    EXPECT_FALSE(TheProgram->Session.PollersRunning());
}

}  // namespace
}  // namespace qel::test
