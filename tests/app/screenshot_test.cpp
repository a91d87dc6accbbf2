// Pictures of the main window for the user guide: run with QEL_SCREENSHOT_DIR set to the
// folder that receives them (skipped otherwise).

#include <array>
#include <cstdint>

#include <QPixmap>

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

}  // namespace
}  // namespace qel::test
