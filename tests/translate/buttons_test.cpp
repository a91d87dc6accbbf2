#include <string>
#include <vector>

#include "translator_fixture.h"

namespace qel::test {
namespace {

constexpr KeyCode kF3 = 0x72;

using ButtonRule = TranslatorTest;

TEST_F(ButtonRule, PressTypesBindingAndLogsUnitNameNumberAndKey) {
    Bezel(1).Buttons[15].Key = kF3;
    Send(BezelUnit(1), kReportC1, {0x00, 0x80});  // button 15: byte 1 bit 7
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"G1000-1 Button 'softkey_3' (#15), Key=('F3')"});
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x72), Up(0x72)}));
}

TEST_F(ButtonRule, HeldButtonTypesAndLogsOnceAndReleaseSendsNothing) {
    Bezel(0).Buttons[13].Key = 0x0141;
    for (int report = 0; report < 5; ++report) {
        Send(BezelUnit(0), kReportC1, {0x00, 0x20});
    }
    EXPECT_EQ(Log.Lines.size(), 1U);
    EXPECT_EQ(Injector.Events.size(), 4U);
    Clear();
    Send(BezelUnit(0), kReportC1, {});
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_TRUE(Injector.Events.empty());
    // Pressed again after the release: a new press.
    Send(BezelUnit(0), kReportC1, {0x00, 0x20});
    EXPECT_EQ(Log.Lines.size(), 1U);
}

TEST_F(ButtonRule, TwoPressesInOneReportGoInAscendingNumber) {
    Bezel(0).Buttons[2].Key = 0x41;
    Bezel(0).Buttons[30].Key = 0x42;
    Send(BezelUnit(0), kReportC1, {0x04, 0x00, 0x00, 0x40});
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x41), Up(0x41), Down(0x42), Up(0x42)}));
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"G1000-0 Button 'afcs_ap' (#2), Key=('A')",
                                                   "G1000-0 Button 'ent' (#30), Key=('B')"}));
}

TEST_F(ButtonRule, UnboundOrGatedPressIsLoggedButSendsNothing) {
    Gate.Enabled = false;
    Bezel(2).Buttons[1].Key = kF3;
    Send(BezelUnit(2), kReportC1, {0x03});
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"G1000-2 Button 'afcs_ias' (#0), Key=('')",
                                                   "G1000-2 Button 'afcs_yd' (#1), Key=('F3')"}));
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(ButtonRule, EveryBitReachesItsOwnButton) {
    struct Kind {
        const char* Label;
        UnitId Product;
        std::uint8_t Type;
        std::span<const std::string_view> Names;
        std::string Prefix;
    };
    const Kind kinds[] = {
        {"bezel", BezelUnit(3), kReportC1, kBezelButtonNames, "G1000-3 Button '"},
        {"audio", AudioUnit(0), kReportC2, kAudioButtonNames, "Audio-0 Button '"},
    };
    for (const Kind& kind : kinds) {
        for (std::size_t number = 0; number < kind.Names.size(); ++number) {
            SCOPED_TRACE(testing::Message() << kind.Label << " button " << number);
            Clear();
            ReportBytes report = MakeReport(kind.Type, {});
            report[kPayloadOffset + number / 8] = static_cast<std::uint8_t>(1U << (number % 8));
            Translator.DecodeReport(kind.Product, report);
            Translator.DecodeReport(kind.Product, MakeReport(kind.Type, {}));
            EXPECT_EQ(Log.Lines,
                      std::vector<std::string>{kind.Prefix + std::string(kind.Names[number]) +
                                               "' (#" + std::to_string(number) + "), Key=('')"});
        }
    }
}

TEST_F(ButtonRule, AudioUnnamedPositionIsProcessedAndLogsEmptyName) {
    Send(AudioUnit(0), kReportC2, {0x40});
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"Audio-0 Button '' (#6), Key=('')"});
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(ButtonRule, AudioUnitsCountFromZeroIndependentlyOfBezels) {
    Audio(1).Buttons[28].Key = 0x0270;
    Send(AudioUnit(1), kReportC2, {0x00, 0x00, 0x00, 0x10});
    EXPECT_EQ(Log.Lines,
              std::vector<std::string>{"Audio-1 Button 'pilot_push' (#28), Key=('CTRL+F1')"});
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x11), Down(0x70), Up(0x70), Up(0x11)}));
    EXPECT_EQ(Audio(0).Buttons[28].Current, 0);
}

}  // namespace
}  // namespace qel::test
