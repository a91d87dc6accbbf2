#include <string>
#include <vector>

#include "translator_fixture.h"

namespace qel::test {
namespace {

constexpr KeyCode kF1 = 0x70;
constexpr KeyCode kF2 = 0x71;

class RotaryRule : public TranslatorTest {
protected:
    // Primes every bezel rotary of unit 0 at counter 0 and every audio rotary of unit 1.
    void PrimeAll() {
        Send(BezelUnit(0), kReportC2, {});
        Send(BezelUnit(0), kReportC3, {});
        Send(AudioUnit(1), kReportC1, {});
        Clear();
    }
};

TEST_F(RotaryRule, FirstReportSendsAndLogsNothingWhateverTheCounter) {
    Bezel(0).Rotaries[0].IncrKey = kF1;
    Send(BezelUnit(0), kReportC2, {200, 17, 255, 3, 99, 1, 128});
    Send(AudioUnit(0), kReportC1, {77, 201});
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(RotaryRule, StepLogsIncrementBindingFirstAndTypesOneKeyPerDirection) {
    Bezel(0).Rotaries[0].IncrKey = kF1;
    Bezel(0).Rotaries[0].DecrKey = kF2;
    PrimeAll();
    Send(BezelUnit(0), kReportC2, {2});
    Send(BezelUnit(0), kReportC2, {0});
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"G1000-0 Rotary 'nav_in' (#0), Key=('F1/F2')",
                                                   "G1000-0 Rotary 'nav_in' (#0), Key=('F1/F2')"}));
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x70), Up(0x70), Down(0x71), Up(0x71)}));
}

TEST_F(RotaryRule, EachRotaryArrivesOnlyInItsOwnReportTypeAndByte) {
    PrimeAll();
    for (int number = 0; number < kBezelRotaryCount; ++number) {
        SCOPED_TRACE(testing::Message() << "rotary " << number);
        Clear();
        const bool second = number >= kRotariesPerReport;
        ReportBytes report = MakeReport(second ? kReportC3 : kReportC2, {});
        report[kPayloadOffset + static_cast<std::size_t>(number % kRotariesPerReport)] = 2;
        Translator.DecodeReport(BezelUnit(0), report);
        // The same byte in the other report type must not move it.
        ReportBytes other = MakeReport(second ? kReportC2 : kReportC3, {});
        other[kPayloadOffset + static_cast<std::size_t>(number % kRotariesPerReport)] = 40;
        Translator.DecodeReport(BezelUnit(0), other);
        Translator.DecodeReport(BezelUnit(0), MakeReport(second ? kReportC2 : kReportC3, {}));
        ASSERT_EQ(Log.Lines.size(), 3U);
        EXPECT_EQ(Log.Lines[0], "G1000-0 Rotary '" + std::string(kBezelRotaryNames[number]) +
                                    "' (#" + std::to_string(number) + "), Key=('/')");
        EXPECT_EQ(Bezel(0).Rotaries[number].Previous, 2);
        // Put it back for the next round.
        Translator.DecodeReport(BezelUnit(0), MakeReport(second ? kReportC3 : kReportC2, {}));
    }
}

TEST_F(RotaryRule, FastTurnIsSpreadOverFollowingReportsAndCutToTen) {
    Bezel(0).Rotaries[7].IncrKey = kF1;  // baro
    PrimeAll();
    for (int report = 0; report < 12; ++report) {
        Send(BezelUnit(0), kReportC3, {30});  // 15 steps at once
    }
    EXPECT_EQ(Log.Lines.size(), 1U);
    EXPECT_EQ(Injector.Events.size(), 2U * 10U);
    EXPECT_EQ(Bezel(0).Rotaries[7].Pending, 0);
}

TEST_F(RotaryRule, StepsTakenWhileKeysAreDisabledAreNotSentLater) {
    Bezel(0).Rotaries[1].IncrKey = kF1;
    PrimeAll();
    Gate.Enabled = false;
    for (int report = 0; report < 3; ++report) {
        Send(BezelUnit(0), kReportC2, {0, 6});  // 3 steps
    }
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"G1000-0 Rotary 'nav_out' (#1), Key=('F1/')"});
    Gate.Enabled = true;
    Send(BezelUnit(0), kReportC2, {0, 6});
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(RotaryRule, AudioRotariesLogWithAudioPrefixAndUnitIndex) {
    Audio(1).Rotaries[1].IncrKey = 0x41;
    Audio(1).Rotaries[1].DecrKey = 0x42;
    PrimeAll();
    Send(AudioUnit(1), kReportC1, {0, 4});
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"Audio-1 Rotary 'pilot' (#1), Key=('A/B')"});
    // Two steps: one now, the queued one on the next report.
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x41), Up(0x41)}));
    Send(AudioUnit(1), kReportC1, {0, 4});
    EXPECT_EQ(Injector.Events.size(), 4U);
    EXPECT_EQ(Log.Lines.size(), 1U);
}

TEST_F(RotaryRule, AudioReportOfThirdTypeIsIgnored) {
    PrimeAll();
    Send(AudioUnit(1), kReportC3, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(Audio(1).Rotaries[0].Current, 0);
    EXPECT_EQ(Audio(1).Buttons[0].Current, 0);
    EXPECT_TRUE(Log.Lines.empty());
}

}  // namespace
}  // namespace qel::test
