#include <string>
#include <vector>

#include "translator_fixture.h"

namespace qel::test {
namespace {

// Payload byte 5 of a bezel 0xC1 report: push in bit 0, the switch index in bits 1-4.
std::uint8_t PanByte(int switchIndex, bool push = false) {
    return static_cast<std::uint8_t>((switchIndex << 1) | (push ? 1 : 0));
}
constexpr int kNorth = 3;  // switches 0+1
constexpr int kNorthEast = 1;
constexpr int kSouth = 12;  // switches 2+3

class PanRule : public TranslatorTest {
protected:
    PanRule() {
        for (int code = 1; code <= kPanDirectionCount; ++code) {
            Bezel(0).PanDirections[static_cast<std::size_t>(code - 1)].Key =
                0x60 + code;  // NUMPADn
        }
        Bezel(0).PanPush.Key = 0x0D;
    }
    void Pan(std::uint8_t panByte) { Send(BezelUnit(0), kReportC1, {0, 0, 0, 0, 0, panByte}); }
};

TEST_F(PanRule, SwitchIndexIsReadFromBitsOneToFour) {
    struct Case {
        int SwitchIndex;
        std::vector<std::string> Lines;
    };
    const Case cases[] = {
        {kNorth, {"G1000-0 Pan 'range_pan_n' (#1), Key=('NUMPAD1')"}},
        {kNorthEast, {"G1000-0 Pan 'range_pan_ne' (#2), Key=('NUMPAD2')"}},
        {kSouth, {"G1000-0 Pan 'range_pan_s' (#5), Key=('NUMPAD5')"}},
        {14, {"G1000-0 Pan 'range_pan_sw' (#6), Key=('NUMPAD6')"}},  // three switches
        {9, {}},                                                     // opposite switches: centred
        {15, {}},                                                    // all four: centred
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "switch index " << c.SwitchIndex);
        Pan(0);
        Clear();
        Pan(PanByte(c.SwitchIndex));
        EXPECT_EQ(Log.Lines, c.Lines);
    }
}

TEST_F(PanRule, NorthStraightToSouthSendsSouthOnlyAndLeavingSendsNothing) {
    Pan(PanByte(kNorth));
    Clear();
    Pan(PanByte(kSouth));
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x65), Up(0x65)}));
    Clear();
    Pan(0);  // back to the centre
    Pan(0);
    EXPECT_TRUE(Injector.Events.empty());
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(PanRule, HeldDirectionSendsOnceAndReenteringSendsAgain) {
    Pan(PanByte(kNorthEast));
    Pan(PanByte(kNorthEast));
    Pan(PanByte(kNorthEast));
    EXPECT_EQ(Injector.Events.size(), 2U);
    Pan(0);
    Pan(PanByte(kNorthEast));
    EXPECT_EQ(Injector.Events.size(), 4U);
    EXPECT_EQ(Log.Lines.size(), 2U);
}

TEST_F(PanRule, PushLogsBeforeDirectionAndButtonsBeforeBoth) {
    Bezel(0).Buttons[0].Key = 0x41;
    Bezel(0).PanDirections[1].Key = 0;
    Send(BezelUnit(0), kReportC1, {0x01, 0, 0, 0, 0, PanByte(kNorthEast, true)});
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"G1000-0 Button 'afcs_ias' (#0), Key=('A')",
                                                   "G1000-0 Pan 'range_push' (#40), Key=('ENTER')",
                                                   "G1000-0 Pan 'range_pan_ne' (#2), Key=('')"}));
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x41), Up(0x41), Down(0x0D), Up(0x0D)}));
    Clear();
    Send(BezelUnit(0), kReportC1, {0x01, 0, 0, 0, 0, PanByte(kNorthEast, false)});
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(PanRule, DirectionCodeOutsideTheTableCountsAsCentred) {
    Bezel(0).CurrentDirection = 9;
    Translator.ProcessPan(BezelUnit(0));
    Bezel(0).CurrentDirection = -1;
    Translator.ProcessPan(BezelUnit(0));
    EXPECT_TRUE(Log.Lines.empty());
    EXPECT_TRUE(Injector.Events.empty());
}

}  // namespace
}  // namespace qel::test
