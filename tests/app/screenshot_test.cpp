// Pictures of the main window for the user guide: run with QEL_SCREENSHOT_DIR set to the
// folder that receives them (skipped otherwise).

#include <array>
#include <cstdint>

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "panelview/bindingsheet.h"
#include "panelview/schematicwidget.h"

#include "program_fixture.h"

namespace qel::test {
namespace {

TEST_F(ProgramTest, ScreenshotsOfTheMainWindow) {
    const QString folder = qEnvironmentVariable("QEL_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set QEL_SCREENSHOT_DIR to take the pictures";
    }
    WriteText(KeyMapPath(),
              "[qel_1000_0]\nsoftkey_1=F1\nsoftkey_2=F2\nnav_in_decr=NUMPAD4\n"
              "nav_in_incr=NUMPAD6\nrange_pan_n=UP\nclr=shift+xyz\n"
              "[qel_audio_0]\ncom1_mic=ALT+1\n");
    StartAndShow();
    Panels->Plug(684);
    Panels->Plug(685);
    Panels->Plug(688);
    Pump();
    const std::array<std::array<std::uint8_t, 8>, 10> reports{{
        {0x00, 0xC1, 0x00, 0x20, 0, 0, 0, 0},
        {0x00, 0xC1, 0x00, 0x00, 0, 0, 0, 0},
        {0x00, 0xC1, 0x00, 0x40, 0, 0, 0, 0},
        {0x00, 0xC1, 0x00, 0x00, 0, 0, 0, 0},
        {0x00, 0xC2, 0x10, 0, 0, 0, 0, 0},
        {0x00, 0xC2, 0x12, 0, 0, 0, 0, 0},
        {0x00, 0xC2, 0x14, 0, 0, 0, 0, 0},
        {0x00, 0xC2, 0x14, 0, 0, 0, 0, 0},
        {0x00, 0xC1, 0x00, 0x00, 0, 0, 0, 0x06},
        {0x00, 0xC1, 0x00, 0x00, 0, 0, 0, 0x00},
    }};
    for (const auto& report : reports) {
        ASSERT_TRUE(Panels->SendReport(684, report));
    }
    const std::array<std::uint8_t, 3> micDown{0x00, 0xC2, 0x01};
    const std::array<std::uint8_t, 3> micUp{0x00, 0xC2, 0x00};
    ASSERT_TRUE(Panels->SendReport(688, micDown));
    ASSERT_TRUE(Panels->SendReport(688, micUp));
    Pump();

    EXPECT_TRUE(Form().grab().save(folder + "/main-window.png"));
    Form().DebugMode1Click();
    Pump();
    EXPECT_TRUE(Form().grab().save(folder + "/main-window-debug.png"));
}

TEST_F(ProgramTest, ScreenshotsOfThePanelViewAndABindingSheetPage) {
    const QString folder = qEnvironmentVariable("QEL_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set QEL_SCREENSHOT_DIR to take the pictures";
    }
    WriteText(KeyMapPath(),
              "[qel_1000_0]\nafcs_ap=A\nafcs_hdg=H\nafcs_alt=SHIFT+A\nafcs_nav=N\n"
              "afcs_fd=F\nafcs_vs=V\nafcs_up=PAGEUP\nafcs_dn=PAGEDOWN\n"
              "softkey_1=F1\nsoftkey_2=F2\nsoftkey_3=F3\nsoftkey_4=F4\nsoftkey_5=F5\n"
              "softkey_6=F6\nsoftkey_7=F7\nsoftkey_8=F8\nsoftkey_9=F9\nsoftkey_10=F10\n"
              "softkey_11=F11\nsoftkey_12=F12\nnav_freq_toggle=CTRL+N\ncom_freq_toggle=SHIFT+CTRL+"
              "ALT+PAGEDOWN\n"
              "nav_in_decr=NUMPAD4\nnav_in_incr=NUMPAD6\nnav_out_decr=SHIFT+NUMPAD4\n"
              "nav_out_incr=SHIFT+NUMPAD6\nhdg_decr=CTRL+LEFT\nhdg_incr=CTRL+RIGHT\n"
              "hdg_push=CTRL+H\nalt_in_decr=DOWN\nalt_in_incr=UP\ncrs_decr=ALT+LEFT\n"
              "crs_incr=ALT+RIGHT\nrange_decr=DASH\nrange_incr=PLUS\nrange_pan_n=UP\n"
              "range_pan_s=DOWN\nrange_pan_e=RIGHT\nrange_pan_w=LEFT\nrange_push=ENTER\n"
              "direct_to=D\nmenu=M\nfpl=P\nproc=O\nclr=DELETE\nent=ENTER\n"
              "fms_in_decr=NUMPAD1\nfms_in_incr=NUMPAD3\nfms_out_decr=NUMPAD7\n"
              "fms_out_incr=NUMPAD9\nfms_push=NUMPAD5\n"
              "[qel_audio_0]\ncom1_mic=ALT+1\ncom2_mic=ALT+2\ncom1=CTRL+1\ncom2=CTRL+2\n"
              "pilot_decr=SHIFT+DASH\npilot_incr=SHIFT+PLUS\n");
    StartAndShow();
    Panels->Plug(684);
    Panels->Plug(688);
    Pump();
    TPanelViewForm& view = *Window<TPanelViewForm>();
    Part<QAction>("PanelView1")->trigger();
    Pump();
    view.FrameTimer()->stop();
    // Soft key 3 held, the heading knob turned three steps up.
    const std::array<std::array<std::uint8_t, 8>, 3> reports{{
        {0x00, 0xC3, 0, 0, 0, 0, 0, 0},
        {0x00, 0xC1, 0x00, 0x80, 0, 0, 0, 0},
        {0x00, 0xC3, 0, 0, 0, 0, 6, 0},
    }};
    for (const auto& report : reports) {
        ASSERT_TRUE(Panels->SendReport(684, report));
    }
    Pump();
    view.FrameTick();
    Pump();
    EXPECT_TRUE(view.grab().save(folder + "/panel-view.png"));

    const QString pdf = QString::fromStdString((Directory / "bindings.pdf").string());
    SheetContent content{&TheProgram->Session.Keys().Units(), &TheProgram->Session.Keys().Layout(),
                         QStringLiteral("/home/pilot/sim/keymap.ini"), QDate(2024, 5, 1),
                         QPageSize(QPageSize::A4)};
    ASSERT_TRUE(WriteSheetPdf(pdf, content).Written);
    QProcess render;
    render.start(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-f"),
         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
         QStringLiteral("-singlefile"), pdf, folder + QStringLiteral("/binding-sheet")});
    EXPECT_TRUE(render.waitForFinished(30000) && render.exitCode() == 0)
        << "pdftoppm (poppler-utils) renders the page";
}

TEST_F(ProgramTest, ScreenshotOfTheSimulatorLinkDialog) {
    const QString folder = qEnvironmentVariable("QEL_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set QEL_SCREENSHOT_DIR to take the picture";
    }
    StartAndShow();
    LinkSettings settings;
    settings.Link = SimulatorKind::XPlane;
    SimulatorLinkDialog& dialog = *Window<SimulatorLinkDialog>();
    dialog.SetSettings(settings);
    dialog.show();
    // A real test: UDP sends whether or not anything listens, and says where it went.
    dialog.TestButton()->click();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return dialog.TestResult()->text().startsWith("sent"); }, 5000));
    EXPECT_TRUE(dialog.grab().save(folder + "/simulator-link.png"));
}

}  // namespace
}  // namespace qel::test
