#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fgfs_session.h"
#include "simnet/flightgear_transport.h"
#include "support/memory_log.h"
#include "../simnet/fake_props_server.h"

// The FlightGear link against the real FlightGear: commands go through the transport, and the
// test reads back through its own props client what they changed in the FG1000.
namespace qel {
namespace {

using namespace std::chrono_literals;
using test::RunUntil;

std::string HardKey(int device, const std::string& name, int offset = 1) {
    return "FG1000HardKeyPushed device=" + std::to_string(device) + " notification=" + name +
           " offset=" + std::to_string(offset);
}

class FlightGearLink : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Fg = std::make_unique<test::FgfsSession>();
        const auto started = std::chrono::steady_clock::now();
        StartError = Fg->Start(240s);
        std::printf(
            "fgfs and the FG1000 up in %.1f s\n",
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (StartError.empty()) {
            // A loaded machine may run fgfs at a few frames a second.
            Link = std::make_unique<FlightGearTransport>("127.0.0.1", Fg->Port(), *Log,
                                                         FlightGearTiming{.TestReply = 20s});
            Link->Start();
            RunUntil([] { return Link->State() == LinkState::Connected; }, 10s);
        }
    }
    static void TearDownTestSuite() {
        Link.reset();
        Fg.reset();
    }
    void SetUp() override {
        // fgfs must start where the test runs: a missing one is a failure, never a skip.
        ASSERT_EQ(StartError, "");
        ASSERT_TRUE(Link != nullptr && Link->State() == LinkState::Connected);
    }

    static void Press(const std::vector<std::string>& commands) {
        for (const std::string& command : commands) {
            Link->Press(command);
        }
    }
    using Values = std::vector<std::pair<std::string, std::string>>;
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
    static inline std::unique_ptr<test::MemoryLog> Log = std::make_unique<test::MemoryLog>();
    static inline std::unique_ptr<FlightGearTransport> Link;
    static inline std::string StartError;
};

TEST_F(FlightGearLink, KnobsMoveTheirValuesByExactlyTheStepsGiven) {
    Fg->Set({{"/autopilot/settings/heading-bug-deg", "100"},
             {"/instrumentation/nav-selected", "1"},
             {"/instrumentation/nav/radials/selected-deg", "40"},
             {"/autopilot/settings/target-alt-ft", "5000"},
             {"/instrumentation/altimeter/setting-inhg", "29.92"}});
    // The FG1000 learns the altimeter setting at its next refresh.
    RunUntil([] { return false; }, 500ms);
    std::vector<std::string> steps;
    for (int i = 0; i < 7; ++i) {
        steps.push_back(HardKey(1, "HEADING"));
        steps.push_back(HardKey(1, "CRS", i < 5 ? 1 : -1));
    }
    steps.insert(steps.end(), 2, HardKey(1, "HEADING", -1));
    steps.insert(steps.end(), 2, HardKey(1, "ALT_OUTER"));
    steps.insert(steps.end(), 3, HardKey(1, "ALT_INNER"));
    // A fast turn: ten steps at once.
    steps.insert(steps.end(), 10, HardKey(1, "BARO"));
    Press(steps);
    EXPECT_TRUE(Settle({{"/autopilot/settings/heading-bug-deg", "105"},
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
    std::vector<std::string> steps(2, HardKey(1, "NAV_OUTER"));
    steps.insert(steps.end(), 3, HardKey(1, "NAV_INNER"));
    steps.push_back(HardKey(1, "NAV_FREQ_TRANSFER"));
    // 8.33 kHz channels: .500 .505 .510 .515 .525.
    steps.insert(steps.end(), 4, HardKey(1, "COM_INNER"));
    steps.push_back(HardKey(1, "COM_OUTER"));
    steps.push_back(HardKey(1, "COM_FREQ_TRANSFER"));
    Press(steps);
    EXPECT_TRUE(Settle({{"/instrumentation/nav/frequencies/selected-mhz", "112.575"},
                        {"/instrumentation/nav/frequencies/standby-mhz", "108"},
                        {"/instrumentation/comm/frequencies/selected-mhz", "122.525"},
                        {"/instrumentation/comm/frequencies/standby-mhz", "118"}}));
    Press({HardKey(1, "COM_FREQ_TRANSFER_HOLD")});
    EXPECT_TRUE(Settle({{"/instrumentation/comm/frequencies/selected-mhz", "121"}}));
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
    Press(
        {HardKey(1, "HDG"), "FG1000SoftKeyPushed device=1 offset=8",
         "FG1000SoftKeyPushed device=1 offset=3", HardKey(2, "FMS_OUTER"), HardKey(2, "FMS_OUTER"),
         HardKey(2, "FMS_INNER"), "property-toggle property=" + mixer + "com1mic",
         "property-toggle property=" + mixer + "nav1", "property-toggle property=" + mixer + "nav1",
         "property-toggle property=" + mixer + "dme"});
    EXPECT_TRUE(Settle({{"/autopilot/annunciator/lateral-mode", "HDG"},
                        {"/instrumentation/transponder/inputs/knob-mode", "1"},
                        {"/test/mfd-page", "IntersectionInfo"},
                        {mixer + "com1mic", "true"},
                        {mixer + "nav1", "false"},
                        {mixer + "dme", "true"}}));
}

TEST_F(FlightGearLink, ComesBackWhenFlightGearRestarts) {
    const std::uint16_t port = Fg->Port();
    const std::string at = "127.0.0.1:" + std::to_string(port);
    static_cast<void>(Fg->Exit(60s));
    ASSERT_TRUE(RunUntil([] { return Link->State() == LinkState::NoAnswer; }, 30s));
    Fg = std::make_unique<test::FgfsSession>(port);
    ASSERT_EQ(Fg->Start(240s), "");
    ASSERT_TRUE(RunUntil([] { return Link->State() == LinkState::Connected; }, 30s));
    Fg->Set({{"/autopilot/settings/heading-bug-deg", "200"}});
    Press({HardKey(1, "HEADING")});
    EXPECT_TRUE(Settle({{"/autopilot/settings/heading-bug-deg", "201"}}));
    EXPECT_EQ(Log->Lines, (std::vector<std::string>{"FlightGear: connected (" + at + ")",
                                                    "FlightGear: no answer at " + at +
                                                        " (The remote host closed the connection)",
                                                    "FlightGear: connected (" + at + ")"}));
}

TEST_F(FlightGearLink, AnswersTheTestAndLeavesFlightGearToExitCleanly) {
    std::optional<std::string> answer;
    Link->Test([&answer](std::string text) { answer = std::move(text); });
    RunUntil([&answer] { return answer.has_value(); }, 20s);
    EXPECT_EQ(answer.value_or(""), "FlightGear 2020.3.16");
    // fgfs 2020.3 crashes on exit after a client left without saying quit.
    Link.reset();
    EXPECT_EQ(Fg->Exit(60s), 0);
}

}  // namespace
}  // namespace qel
