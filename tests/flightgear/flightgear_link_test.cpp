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
    // The property ends at the value (numbers compared as numbers) and stays there.
    static testing::AssertionResult Settles(const std::string& path, const std::string& expected) {
        auto equal = [&expected](const std::string& value) {
            char* end = nullptr;
            const double number = std::strtod(value.c_str(), &end);
            return value == expected ||
                   (end != value.c_str() && *end == '\0' &&
                    std::abs(number - std::strtod(expected.c_str(), nullptr)) < 1e-6);
        };
        std::string value;
        RunUntil([&] { return equal(value = Fg->Get(path)); }, 30s);
        RunUntil([] { return false; }, 400ms);
        if (equal(value = Fg->Get(path))) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << path << " is " << value << ", not " << expected;
    }

    static inline std::unique_ptr<test::FgfsSession> Fg;
    static inline std::unique_ptr<test::MemoryLog> Log = std::make_unique<test::MemoryLog>();
    static inline std::unique_ptr<FlightGearTransport> Link;
    static inline std::string StartError;
};

TEST_F(FlightGearLink, KnobsMoveTheirValuesByExactlyTheStepsGiven) {
    Fg->Set("/autopilot/settings/heading-bug-deg", "100");
    Fg->Set("/instrumentation/nav-selected", "1");
    Fg->Set("/instrumentation/nav/radials/selected-deg", "40");
    Fg->Set("/autopilot/settings/target-alt-ft", "5000");
    Fg->Set("/instrumentation/altimeter/setting-inhg", "29.92");
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
    EXPECT_TRUE(Settles("/autopilot/settings/heading-bug-deg", "105"));
    EXPECT_TRUE(Settles("/instrumentation/nav/radials/selected-deg", "43"));
    EXPECT_TRUE(Settles("/autopilot/settings/target-alt-ft", "7300"));
    EXPECT_TRUE(Settles("/instrumentation/altimeter/setting-inhg", "30.02"));
}

TEST_F(FlightGearLink, FrequenciesTuneAndTransfer) {
    Fg->Set("/instrumentation/nav-selected", "1");
    Fg->Set("/instrumentation/nav/frequencies/selected-mhz", "108.00");
    Fg->Set("/instrumentation/nav/frequencies/standby-mhz", "110.50");
    Fg->Set("/instrumentation/com-selected", "1");
    Fg->Set("/instrumentation/comm/frequencies/selected-mhz", "118.00");
    Fg->Set("/instrumentation/comm/frequencies/standby-mhz", "121.50");
    std::vector<std::string> steps(2, HardKey(1, "NAV_OUTER"));
    steps.insert(steps.end(), 3, HardKey(1, "NAV_INNER"));
    steps.push_back(HardKey(1, "NAV_FREQ_TRANSFER"));
    // 8.33 kHz channels: .500 .505 .510 .515 .525.
    steps.insert(steps.end(), 4, HardKey(1, "COM_INNER"));
    steps.push_back(HardKey(1, "COM_OUTER"));
    steps.push_back(HardKey(1, "COM_FREQ_TRANSFER"));
    Press(steps);
    EXPECT_TRUE(Settles("/instrumentation/nav/frequencies/selected-mhz", "112.575"));
    EXPECT_TRUE(Settles("/instrumentation/nav/frequencies/standby-mhz", "108"));
    EXPECT_TRUE(Settles("/instrumentation/comm/frequencies/selected-mhz", "122.525"));
    EXPECT_TRUE(Settles("/instrumentation/comm/frequencies/standby-mhz", "118"));
    Press({HardKey(1, "COM_FREQ_TRANSFER_HOLD")});
    EXPECT_TRUE(Settles("/instrumentation/comm/frequencies/selected-mhz", "121"));
}

TEST_F(FlightGearLink, KeysSetTheAutopilotTransponderMfdPageAndAudioPanel) {
    Fg->Set("/instrumentation/transponder/inputs/knob-mode", "4");
    for (const char* name : {"com1mic", "nav1", "dme"}) {
        Fg->Set(std::string("/controls/switches/mixer/") + name, "0");
    }
    const std::string page = Fg->Get("/test/mfd-page");
    Press({HardKey(1, "HDG"), "FG1000SoftKeyPushed device=1 offset=8",
           "FG1000SoftKeyPushed device=1 offset=3", HardKey(2, "FMS_OUTER"),
           HardKey(2, "FMS_OUTER"), HardKey(2, "FMS_INNER"),
           "property-toggle property=/controls/switches/mixer/com1mic",
           "property-toggle property=/controls/switches/mixer/nav1",
           "property-toggle property=/controls/switches/mixer/nav1",
           "property-toggle property=/controls/switches/mixer/dme"});
    EXPECT_TRUE(Settles("/autopilot/annunciator/lateral-mode", "HDG"));
    EXPECT_TRUE(Settles("/instrumentation/transponder/inputs/knob-mode", "1"));
    EXPECT_TRUE(Settles("/controls/switches/mixer/com1mic", "true"));
    EXPECT_TRUE(Settles("/controls/switches/mixer/nav1", "false"));
    EXPECT_TRUE(Settles("/controls/switches/mixer/dme", "true"));
    EXPECT_EQ(page, "NavigationMap");
    EXPECT_TRUE(Settles("/test/mfd-page", "IntersectionInfo"));
}

TEST_F(FlightGearLink, AnswersTheTestAndLeavesFlightGearToExitCleanly) {
    std::optional<std::string> answer;
    Link->Test([&answer](std::string text) { answer = std::move(text); });
    RunUntil([&answer] { return answer.has_value(); }, 10s);
    EXPECT_EQ(answer.value_or(""), "FlightGear 2020.3.16");
    EXPECT_EQ(Log->Lines, std::vector<std::string>{"FlightGear: connected (127.0.0.1:" +
                                                   std::to_string(Fg->Port()) + ")"});
    // fgfs 2020.3 crashes on exit after a client left without saying quit.
    Link.reset();
    EXPECT_EQ(Fg->Exit(60s), 0);
}

}  // namespace
}  // namespace qel
