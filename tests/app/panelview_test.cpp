#include <array>
#include <functional>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "panelview/schematicwidget.h"
#include "program_fixture.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

constexpr int kSoftkey3 = 15;  // binding slot (and button number) of softkey_3
constexpr int kNavInDecr = 40;
constexpr int kNavInIncr = 41;

// Answers the key capture once it is up, from inside its event loop; after 5 s every modal
// window is closed, so a capture that never opens or never closes fails instead of hanging.
class CaptureScript {
public:
    CaptureScript(TKeyForm& form, std::function<void(TKeyForm&)> answer) {
        QObject::connect(&Poll, &QTimer::timeout, [this, &form, answer = std::move(answer)] {
            if (!form.isVisible()) {
                return;
            }
            Poll.stop();
            Descriptions.push_back(form.Description.toStdString());
            answer(form);
        });
        Poll.start(5);
        Watchdog.setSingleShot(true);
        QObject::connect(&Watchdog, &QTimer::timeout, [this] {
            TimedOut = true;
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
        Watchdog.start(5000);
    }
    std::vector<std::string> Descriptions;
    bool TimedOut = false;

private:
    QTimer Poll;
    QTimer Watchdog;
};

class PanelViewTest : public ProgramTest {
protected:
    TPanelViewForm& View() { return *Window<TPanelViewForm>(); }
    TKeyForm& Capture() { return *Window<TKeyForm>(); }

    // Starts with keymap.ini as given, plugs the units, opens the view from the menu.
    void StartWithView(const std::string& keyMap, std::initializer_list<int> products) {
        WriteText(KeyMapPath(), keyMap);
        StartAndShow();
        for (const int product : products) {
            Panels->Plug(product);
        }
        Pump();
        Part<QAction>("PanelView1")->trigger();
        Pump();
        ASSERT_TRUE(View().isVisible());
    }

    void Send(int product, std::vector<std::uint8_t> report) {
        ASSERT_TRUE(Panels->SendReport(product, report));
    }

    // The line of key in section of keymap.ini, or "(none)".
    std::string IniLine(const std::string& section, const std::string& key) {
        const std::string text = ReadText(KeyMapPath());
        const auto start = text.find("[" + section + "]");
        if (start == std::string::npos) return "(none)";
        const auto end = text.find("\n[", start + 1);
        const auto line = text.find("\n" + key + "=", start);
        if (line == std::string::npos || line > end) return "(none)";
        return text.substr(line + 1, text.find_first_of("\r\n", line + 1) - line - 1);
    }

    std::string ShownKey(int slot) {
        const UnitScene scene = View().Schematic()->Scene();
        const SceneCell* cell = scene.CellOf(slot);
        return cell != nullptr ? cell->KeyText : "(no cell)";
    }
    bool Lit(int slot) {
        const UnitScene scene = View().Schematic()->Scene();
        const SceneCell* cell = scene.CellOf(slot);
        return cell != nullptr && cell->Lit;
    }
};

TEST_F(PanelViewTest, TouchingSoftkey3OfUnit1CapturesExactlyThatBindingAndTypesNothing) {
    StartWithView("[qel_1000_1]\nsoftkey_3=F3\n", {684, 685});
    View().TouchCB()->setChecked(true);

    CaptureScript script(Capture(), [](TKeyForm& form) { QTest::keyClick(&form, Qt::Key_F5); });
    Send(685, {0x00, 0xC1, 0x00, 0x80});  // softkey_3 down
    Pump();
    Send(685, {0x00, 0xC1, 0x00, 0x00});
    Pump();

    EXPECT_FALSE(script.TimedOut);
    EXPECT_EQ(script.Descriptions, std::vector<std::string>{"Press a key for 'SOFTKEY_3'"});
    EXPECT_TRUE(Keys->Events.empty()) << "the touch that picks types nothing";
    EXPECT_NE(LogText().find("G1000-1 Button 'softkey_3' (#15), Key=('F3')"), std::string::npos)
        << "the log line is the usual one";
    EXPECT_EQ(IniLine("qel_1000_1", "softkey_3"), "softkey_3=F5");
    EXPECT_EQ(IniLine("qel_1000_0", "softkey_3"), "(none)") << "no other unit is touched";
    EXPECT_EQ(TheProgram->Session.Keys().Units().BezelUnits[1].Buttons[kSoftkey3].Key, 0x74);
    EXPECT_EQ(View().UnitTabs()->currentIndex(), 1);
    EXPECT_EQ(View().Schematic()->SelectedSlot(), kSoftkey3);
    EXPECT_EQ(ShownKey(kSoftkey3), "F5");

    // Touch to bind off: the panel types its new binding again.
    View().TouchCB()->setChecked(false);
    Send(685, {0x00, 0xC1, 0x00, 0x80});
    Pump();
    EXPECT_EQ(Keys->Events, (std::vector{Down(0x74), Up(0x74)}));
}

TEST_F(PanelViewTest, TouchingAKnobPicksTheHalfItWasTurnedTowardsAndSwallowsTheWholeTurn) {
    struct Case {
        const char* Label;
        std::uint8_t Counter;  // from 0: up is an increment, below 0 a decrement
        std::string Description;
        int Slot;
    };
    const Case cases[]{
        {"turned up", 6, "Press a key for 'NAV_IN_INCR'", kNavInIncr},
        {"turned down", 250, "Press a key for 'NAV_IN_DECR'", kNavInDecr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        StartWithView("[qel_1000_0]\nnav_in_decr=A\nnav_in_incr=B\n", {684});
        Send(684, {0x00, 0xC2, 0x00});  // primes the knobs
        Pump();
        View().TouchCB()->setChecked(true);
        CaptureScript script(Capture(), [](TKeyForm& form) { QTest::keyClick(&form, Qt::Key_X); });
        // Three steps at once, then more reports: nothing of the turn may be typed, before
        // or after the capture.
        for (int report = 0; report < 4; ++report) {
            Send(684, {0x00, 0xC2, c.Counter});
        }
        Pump();
        EXPECT_FALSE(script.TimedOut);
        EXPECT_EQ(script.Descriptions, std::vector<std::string>{c.Description});
        EXPECT_TRUE(Keys->Events.empty());
        EXPECT_EQ(ShownKey(c.Slot), "X");
        TheProgram.reset();
    }
}

TEST_F(PanelViewTest, ATouchWhileAnotherDialogIsOpenPicksNothingAndTheNextTouchDoes) {
    StartWithView("[qel_1000_0]\nsoftkey_3=F3\n", {684});
    View().TouchCB()->setChecked(true);
    {
        // The key settings dialog is up (it may be capturing through the same key capture).
        CaptureScript unwanted(Capture(), [](TKeyForm& form) { form.close(); });
        QTimer::singleShot(0, [&] {
            Send(684, {0x00, 0xC1, 0x00, 0x80});
            Pump();
            Send(684, {0x00, 0xC1, 0x00, 0x00});
            Pump();
            Window<TIniForm>()->close();
        });
        Part<QAction>("Keysettings1")->trigger();
        EXPECT_TRUE(unwanted.Descriptions.empty()) << "no capture over another dialog";
        EXPECT_TRUE(Keys->Events.empty()) << "still swallowed";
    }

    CaptureScript script(Capture(), [](TKeyForm& form) { QTest::keyClick(&form, Qt::Key_F6); });
    Send(684, {0x00, 0xC1, 0x00, 0x80});
    Pump();
    EXPECT_EQ(script.Descriptions, std::vector<std::string>{"Press a key for 'SOFTKEY_3'"});
    EXPECT_EQ(ShownKey(kSoftkey3), "F6");
}

TEST_F(PanelViewTest, ClickingAControlCapturesItsBindingAsTheKeySettingsRowDoes) {
    struct Case {
        const char* Label;
        int Unit;
        int Slot;
        std::string Description;
        std::string Section;
        std::string Line;
    };
    const Case cases[]{
        {"softkey", 1, kSoftkey3, "Press a key for 'SOFTKEY_3'", "qel_1000_1", "softkey_3=Q"},
        {"knob, left half", 0, kNavInDecr, "Press a key for 'NAV_IN_DECR'", "qel_1000_0",
         "nav_in_decr=Q"},
        {"knob, right half", 2, kNavInIncr, "Press a key for 'NAV_IN_INCR'", "qel_1000_2",
         "nav_in_incr=Q"},
        {"joystick", 3, 68 + 7, "Press a key for 'RANGE_PAN_NW'", "qel_1000_3", "range_pan_nw=Q"},
        {"audio button", 5, 28, "Press a key for 'PILOT_PUSH'", "qel_audio_1", "pilot_push=Q"},
        {"audio knob", 4, 32, "Press a key for 'COPLT_DECR'", "qel_audio_0", "coplt_decr=Q"},
    };
    StartWithView("", {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        View().ShowUnit(DeviceUnit(c.Unit));
        Pump();
        const QRectF where = View().Schematic()->BindingRect(c.Slot);
        ASSERT_FALSE(where.isEmpty());
        CaptureScript script(Capture(), [](TKeyForm& form) { QTest::keyClick(&form, Qt::Key_Q); });
        QTest::mouseClick(View().Schematic(), Qt::LeftButton, {}, where.center().toPoint());
        EXPECT_FALSE(script.TimedOut);
        EXPECT_EQ(script.Descriptions, std::vector<std::string>{c.Description});
        EXPECT_EQ(IniLine(c.Section, c.Line.substr(0, c.Line.find('='))), c.Line);
        EXPECT_EQ(ShownKey(c.Slot), "Q");
    }
}

TEST_F(PanelViewTest, WithALinkCellsShowCommandsAndAClickCanNameTheControlsOwnCommand) {
    StartWithView("[simulator]\nlink=xplane\nport=49999\n", {});
    std::vector<std::string> asked;
    View().SetCommandAsker([&](const QString& row, const std::string& now) {
        asked.push_back(row.toStdString() + " " + now);
        return std::optional<std::string>("sim/mine");
    });
    Pump();
    ASSERT_TRUE(View().CommandCB()->isVisible());
    EXPECT_EQ(ShownKey(kSoftkey3), "softkey3");
    EXPECT_EQ(ShownKey(kNavInIncr), "nav_inner_up");

    View().CommandCB()->setChecked(true);
    View().FrameTimer()->stop();  // frames by hand from here
    const int before = View().FrameRepaints();
    const QRectF where = View().Schematic()->BindingRect(kSoftkey3);
    QTest::mouseClick(View().Schematic(), Qt::LeftButton, {}, where.center().toPoint());
    EXPECT_EQ(asked, std::vector<std::string>{"SOFTKEY_3 sim/GPS/g1000n1_softkey3"});
    EXPECT_EQ(IniLine("xplane_commands", "qel_1000_0.softkey_3"), "qel_1000_0.softkey_3=sim/mine");
    EXPECT_EQ(ShownKey(kSoftkey3), "mine");
    EXPECT_EQ(IniLine("qel_1000_0", "softkey_3"), "(none)") << "the key binding is untouched";

    // The new command is drawn, and so is the link unset as its dialog's OK does.
    EXPECT_EQ(View().FrameRepaints(), before + 1);
    ASSERT_TRUE(TheProgram->Link.Apply(LinkSettings{}));
    View().FrameTick();
    EXPECT_EQ(View().FrameRepaints(), before + 2);
    EXPECT_FALSE(View().CommandCB()->isVisible());
}

TEST_F(PanelViewTest, ClosingTheCaptureWithoutAKeyChangesNothingAndEndsTouchToBind) {
    StartWithView("[qel_1000_0]\nsoftkey_3=F3\nnav_in_incr=B\n", {684});
    const std::string before = ReadText(KeyMapPath());
    CaptureScript script(Capture(), [](TKeyForm& form) { form.close(); });
    View().BindSlot(BezelUnit(0), kSoftkey3);
    EXPECT_EQ(script.Descriptions.size(), 1U);
    EXPECT_EQ(ReadText(KeyMapPath()), before);
    EXPECT_EQ(ShownKey(kSoftkey3), "F3");

    // A knob that keeps turning must not reopen the modal capture, with the tick box past it.
    View().TouchCB()->setChecked(true);
    CaptureScript touched(Capture(), [](TKeyForm& form) { form.close(); });
    for (const std::uint8_t counter : {0, 2, 4}) {  // primes, picks, then steps again
        Send(684, {0x00, 0xC2, counter});
        Pump();
    }
    EXPECT_FALSE(View().TouchCB()->isChecked());
    EXPECT_EQ(Keys->Events, (std::vector{Down('B'), Up('B')}));
}

TEST_F(PanelViewTest, AChangeKeymapIniCannotHoldIsShownAtOnceWithTheFileAndTheReason) {
    StartWithView("", {});
    std::filesystem::remove(KeyMapPath());
    std::filesystem::create_directory(KeyMapPath());
    // The system's own words for a folder where a file should be.
#ifdef _WIN32
    const std::string reason = "Is a folder";
#else
    const std::string reason = "Is a directory";
#endif
    const std::string box = "error: " + TheProgram->Session.Keys().KeyMapFileName().value() +
                            ": cannot write (cannot read it first: " + reason +
                            ")\n\nThe change was not saved: it lasts only until the program "
                            "closes.";
    Window<TIniForm>()->WriteKey(kSoftkey3, 'A');
    CaptureScript script(Capture(), [](TKeyForm& form) { QTest::keyClick(&form, Qt::Key_B); });
    View().BindSlot(BezelUnit(0), kSoftkey3);
    Prompts.ConfirmAnswers = {true};
    Part<QAction>("DeleteAllKeys1")->trigger();
    EXPECT_EQ(Prompts.Shown,
              (std::vector<std::string>{
                  box, box, "confirm: Are you sure you want to delete all settings ?", box}));
}

TEST_F(PanelViewTest, ShowsWhatThePanelsDoWithKeysDisabledAndRepaintsOncePerFrame) {
    StartWithView("[qel_1000_0]\nsoftkey_3=F3\n", {684});
    View().FrameTimer()->stop();  // frames by hand from here
    Part<QCheckBox>("KeyCB")->setChecked(false);
    View().FrameTick();

    const int before = View().FrameRepaints();
    Send(684, {0x00, 0xC1, 0x00, 0x80});
    Pump();
    EXPECT_TRUE(Lit(kSoftkey3));
    EXPECT_TRUE(Keys->Events.empty());
    // A burst of reports between two frames: one repaint.
    for (int i = 0; i < 200; ++i) {
        Send(684, {0x00, 0xC1, 0x00, static_cast<std::uint8_t>(i % 2 == 0 ? 0x00 : 0x80)});
    }
    Pump();
    View().FrameTick();
    View().FrameTick();
    EXPECT_EQ(View().FrameRepaints(), before + 1);

    Send(684, {0x00, 0xC1, 0x00, 0x00});
    Pump();
    EXPECT_FALSE(Lit(kSoftkey3));
}

TEST_F(PanelViewTest, AConnectedUnitIsLiveAndTheOthersShowTheirIdleCaption) {
    StartWithView("", {685});
    View().FrameTick();
    EXPECT_EQ(View().UnitTabs()->tabText(0), "QEL1000-0:");
    EXPECT_EQ(View().UnitTabs()->tabText(1), "QEL1000-1: Connected");
    Panels->Unplug(685);
    Panels->Plug(688);
    Pump();
    View().FrameTick();
    EXPECT_EQ(View().UnitTabs()->tabText(1), "QEL1000-1:");
    EXPECT_EQ(View().UnitTabs()->tabText(4), "QELAudio-0: Connected");
}

TEST_F(PanelViewTest, HidingTheViewEndsTouchToBindAndStopsWatching) {
    StartWithView("[qel_1000_0]\nsoftkey_3=F3\n", {684});
    View().TouchCB()->setChecked(true);
    View().close();
    Pump();
    EXPECT_FALSE(View().TouchCB()->isChecked());
    Send(684, {0x00, 0xC1, 0x00, 0x80});
    Pump();
    EXPECT_EQ(Keys->Events, (std::vector{Down(0x72), Up(0x72)}));
    EXPECT_FALSE(Capture().isVisible());
}

TEST_F(PanelViewTest, MenusKeepTheirItemsAndOrderWithTheNewOnesAfter) {
    Start();
    const auto captions = [](const QList<QAction*>& actions) {
        std::vector<std::string> all;
        for (const QAction* action : actions) {
            all.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return all;
    };
    EXPECT_EQ(captions(Part<QMenuBar>("MainMenu1")->actions()),
              (std::vector<std::string>{"&File", "&Tools", "&Help"}));
    EXPECT_EQ(captions(Part<QMenu>("file1")->actions()), std::vector<std::string>{"E&xit"});
    EXPECT_EQ(captions(Part<QMenu>("Tools1")->actions()),
              (std::vector<std::string>{"&Key Settings...", "Import &Mindstar...",
                                        "Delete &All Keys", "-", "&Debug Mode", "-", "Panel &View",
                                        "&Print Bindings...", "&Simulator Link..."}));
    EXPECT_EQ(captions(Part<QMenu>("Help1")->actions()), std::vector<std::string>{"A&bout..."});
    EXPECT_EQ(Part<QAction>("PanelView1")->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+V")));
}

}  // namespace
}  // namespace qel::test
