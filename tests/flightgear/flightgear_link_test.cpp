#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QProcess>
#include <QTemporaryDir>

#include "fgfs_session.h"
#include "virtual_panel_script.h"
#include "../simnet/event_loop.h"

// The FlightGear link against the real FlightGear: the real program, its panels virtual and its
// link set to fgfs, works the FG1000's controls, and the test reads back through its own props
// client what they changed.
namespace qel {
namespace {

using namespace std::chrono_literals;
using test::RunUntil;
using Panels = test::VirtualPanelScript;

class FlightGearLink : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Fg = std::make_unique<test::FgfsSession>();
        const auto started = std::chrono::steady_clock::now();
        StartError = Fg->Start(240s);
        std::printf(
            "fgfs and the FG1000 up in %.1f s\n",
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
    static void TearDownTestSuite() { Fg.reset(); }
    void SetUp() override {
        // fgfs must start where the test runs: a missing one is a failure, never a skip.
        ASSERT_EQ(StartError, "");
        ASSERT_NE(std::getenv("QEL1000KEYSEND"), nullptr) << "names the program under test";
    }

    using Values = std::vector<std::pair<std::string, std::string>>;
    // Runs the program in a folder of its own with the link to fgfs and the panels playing
    // script; once it is over, waits for expected (Settle), then ends the program as the system
    // does at shutdown, which it must survive.
    static testing::AssertionResult Play(const Panels& script, const Values& expected) {
        const QTemporaryDir folder;
        std::ofstream(folder.filePath("keymap.ini").toStdString())
            << "[simulator]\nlink=flightgear\nhost=127.0.0.1\nport=" << Fg->Port() << '\n';
        std::ofstream(folder.filePath("panels.script").toStdString()) << script.Text();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QEL1000_VIRTUAL_PANELS", folder.filePath("panels.script"));
        // No window system: the link needs none, and no keystroke may reach a desktop.
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(folder.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QString::fromLocal8Bit(std::getenv("QEL1000KEYSEND")), {});
        RunUntil([] { return false; }, script.End());
        testing::AssertionResult settled = Settle(expected);
        program.terminate();
        if (!program.waitForFinished(15000) || program.exitStatus() != QProcess::NormalExit ||
            program.exitCode() != 0) {
            program.kill();
            program.waitForFinished(5000);
            return testing::AssertionFailure() << "the program did not end cleanly ("
                                               << program.errorString().toStdString() << "):\n"
                                               << program.readAll().toStdString();
        }
        return settled;
    }
    // Every property ends at its value (numbers compared as numbers) and stays there.
    static testing::AssertionResult Settle(const Values& expected) {
        std::vector<std::string> paths;
        for (const auto& [path, value] : expected) {
            paths.push_back(path);
        }
        auto mismatches = [&] {
            std::string text;
            const std::vector<std::string> values = Fg->Get(paths);
            for (std::size_t i = 0; i < values.size(); ++i) {
                const std::string& want = expected[i].second;
                char* end = nullptr;
                const double number = std::strtod(values[i].c_str(), &end);
                if (values[i] != want &&
                    (end == values[i].c_str() || *end != '\0' ||
                     std::abs(number - std::strtod(want.c_str(), nullptr)) > 1e-6)) {
                    text += "\n  " + paths[i] + " is " + values[i] + ", not " + want;
                }
            }
            return text;
        };
        RunUntil([&] { return mismatches().empty(); }, 30s);
        // Then no step more may come.
        RunUntil([] { return false; }, 500ms);
        const std::string text = mismatches();
        return text.empty() ? testing::AssertionSuccess() : testing::AssertionFailure() << text;
    }

    static inline std::unique_ptr<test::FgfsSession> Fg;
    static inline std::string StartError;
};

TEST_F(FlightGearLink, KnobsMoveTheirValuesByExactlyTheStepsGiven) {
    Fg->Set({{"/autopilot/settings/heading-bug-deg", "100"},
             {"/instrumentation/nav-selected", "1"},
             {"/instrumentation/nav/radials/selected-deg", "40"},
             {"/autopilot/settings/target-alt-ft", "5000"},
             {"/instrumentation/altimeter/setting-inhg", "29.92"}});
    Panels script;
    for (int i = 0; i < 7; ++i) {
        script.Turn(Panels::Pfd, "hdg", 1).Turn(Panels::Pfd, "crs", i < 5 ? 1 : -1);
    }
    script.Turn(Panels::Pfd, "hdg", -2)
        .Turn(Panels::Pfd, "alt_out", 2)
        .Turn(Panels::Pfd, "alt_in", 3);
    script.Turn(Panels::Pfd, "baro", 10, true);
    EXPECT_TRUE(Play(script, {{"/autopilot/settings/heading-bug-deg", "105"},
                              {"/instrumentation/nav/radials/selected-deg", "43"},
                              {"/autopilot/settings/target-alt-ft", "7300"},
                              {"/instrumentation/altimeter/setting-inhg", "30.02"}}));
}

TEST_F(FlightGearLink, FrequenciesTuneAndTransfer) {
    Fg->Set({{"/instrumentation/nav-selected", "1"},
             {"/instrumentation/nav/frequencies/selected-mhz", "108.00"},
             {"/instrumentation/nav/frequencies/standby-mhz", "110.50"},
             {"/instrumentation/com-selected", "1"},
             {"/instrumentation/comm/frequencies/selected-mhz", "118.00"},
             {"/instrumentation/comm/frequencies/standby-mhz", "121.50"}});
    // 8.33 kHz channels: .500 .505 .510 .515 .525. Then the COM transfer held two seconds: the
    // emergency frequency, and no transfer back.
    Panels script;
    script.Turn(Panels::Pfd, "nav_out", 2).Turn(Panels::Pfd, "nav_in", 3);
    script.Push(Panels::Pfd, "nav_freq_toggle");
    script.Turn(Panels::Pfd, "com_in", 4).Turn(Panels::Pfd, "com_out", 1);
    script.Push(Panels::Pfd, "com_freq_toggle").Push(Panels::Pfd, "com_freq_toggle", 2500ms);
    EXPECT_TRUE(Play(script, {{"/instrumentation/nav/frequencies/selected-mhz", "112.575"},
                              {"/instrumentation/nav/frequencies/standby-mhz", "108"},
                              {"/instrumentation/comm/frequencies/selected-mhz", "121"},
                              {"/instrumentation/comm/frequencies/standby-mhz", "118"}}));
}

TEST_F(FlightGearLink, KeysSetTheAutopilotTransponderMfdPageAndAudioPanel) {
    const std::string mixer = "/controls/switches/mixer/";
    Fg->Set({{"/instrumentation/transponder/inputs/knob-mode", "4"},
             {mixer + "com1mic", "0"},
             {mixer + "nav1", "0"},
             {mixer + "dme", "0"}});
    EXPECT_EQ(Fg->Get("/test/mfd-page"), "NavigationMap");
    // XPDR, then STBY; the MFD's first FMS outer step shows the page groups, the second
    // moves to the next group, the inner knob to its second page.
    Panels script;
    script.Push(Panels::Pfd, "afcs_hdg")
        .Push(Panels::Pfd, "softkey_8")
        .Push(Panels::Pfd, "softkey_3");
    script.Turn(Panels::Mfd, "fms_out", 2).Turn(Panels::Mfd, "fms_in", 1);
    script.Push(Panels::Audio, "com1_mic").Push(Panels::Audio, "nav1").Push(Panels::Audio, "nav1");
    script.Push(Panels::Audio, "dme");
    EXPECT_TRUE(Play(script, {{"/autopilot/annunciator/lateral-mode", "HDG"},
                              {"/instrumentation/transponder/inputs/knob-mode", "1"},
                              {"/test/mfd-page", "IntersectionInfo"},
                              {mixer + "com1mic", "true"},
                              {mixer + "nav1", "false"},
                              {mixer + "dme", "true"}}));
    // CLR held a second brings the MFD back to the map.
    EXPECT_TRUE(
        Play(Panels().Push(Panels::Mfd, "clr", 1500ms), {{"/test/mfd-page", "NavigationMap"}}));
}

// Last: fgfs 2020.3 crashes on exit after a client left without saying quit, so its clean
// exit shows that every session of the program said it.
TEST_F(FlightGearLink, FlightGearExitsCleanlyAfterTheProgramsSessions) {
    EXPECT_EQ(Fg->Exit(60s), 0);
}

}  // namespace
}  // namespace qel
