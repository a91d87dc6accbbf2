#include <string>
#include <vector>

#include "translator_fixture.h"

namespace qel::test {
namespace {

constexpr KeyCode kF1 = 0x70;

struct Seen {
    int DeviceIndex;
    ControlKind Kind;
    int Index;
    int Value;
    bool operator==(const Seen&) const = default;
};

// Records every event; swallows them all while Swallow is set.
class RecordingObserver final : public ControlObserver {
public:
    bool ControlMoved(ControlEvent event) override {
        Events.push_back({event.Unit.DeviceIndex(), event.Kind, event.Index, event.Value});
        return Swallow;
    }
    std::vector<Seen> Events;
    bool Swallow = false;
};

class ControlObserving : public TranslatorTest {
protected:
    ControlObserving() {
        Translator.SetControlObserver(&Observer);
        // Prime every rotary so that the first movement counts.
        for (int unit = 0; unit < kBezelUnitCount; ++unit) {
            Send(BezelUnit(unit), kReportC2, {});
            Send(BezelUnit(unit), kReportC3, {});
        }
        Send(AudioUnit(0), kReportC1, {});
        Send(AudioUnit(1), kReportC1, {});
        Observer.Events.clear();
    }
    RecordingObserver Observer;
};

TEST_F(ControlObserving, EveryKindOfMovementIsReportedWithDeviceIndexNumberAndValue) {
    using K = ControlKind;
    struct Case {
        const char* Label;
        UnitId Product;
        std::uint8_t Type;
        std::initializer_list<std::uint8_t> Payload;
        std::vector<Seen> Expected;
    };
    const Case cases[]{
        {"softkey_3 of bezel 1 pressed",
         BezelUnit(1),
         kReportC1,
         {0x00, 0x80},
         {{1, K::Button, 15, 1}}},
        {"and released", BezelUnit(1), kReportC1, {}, {{1, K::Button, 15, 0}}},
        {"audio 1 com1 pressed: device index 5",
         AudioUnit(1),
         kReportC2,
         {0x00, 0x20},
         {{5, K::Button, 13, 1}}},
        {"bezel 2 nav_out two steps up", BezelUnit(2), kReportC2, {0, 4}, {{2, K::Rotary, 1, 2}}},
        {"bezel 2 range one step down: second half numbered from 7",
         BezelUnit(2),
         kReportC3,
         {0, 0, 0, 0, 0, 0, 254},
         {{2, K::Rotary, 13, -1}}},
        {"audio 0 pilot one step", AudioUnit(0), kReportC1, {0, 2}, {{4, K::Rotary, 1, 1}}},
        {"bezel 3 joystick north",
         BezelUnit(3),
         kReportC1,
         {0, 0, 0, 0, 0, 3 << 1},
         {{3, K::PanDirection, 0, 1}}},
        {"north to south: north left, then south entered",
         BezelUnit(3),
         kReportC1,
         {0, 0, 0, 0, 0, 12 << 1},
         {{3, K::PanDirection, 0, 0}, {3, K::PanDirection, 4, 1}}},
        {"centred with the push held",
         BezelUnit(3),
         kReportC1,
         {0, 0, 0, 0, 0, 1},
         {{3, K::PanPush, 0, 1}, {3, K::PanDirection, 4, 0}}},
        {"nothing changes", BezelUnit(3), kReportC1, {0, 0, 0, 0, 0, 1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        Observer.Events.clear();
        Send(c.Product, c.Type, c.Payload);
        EXPECT_EQ(Observer.Events, c.Expected);
    }
}

TEST_F(ControlObserving, MovementsAreReportedWithKeysDisabledToo) {
    Gate.Enabled = false;
    Send(BezelUnit(0), kReportC1, {0x01});
    Send(BezelUnit(0), kReportC2, {2});
    EXPECT_EQ(Observer.Events.size(), 2U);
    EXPECT_TRUE(Injector.Events.empty());
}

TEST_F(ControlObserving, SwallowedMovementsTypeNothingAndLogAsUsual) {
    Bezel(0).Buttons[15].Key = kF1;
    Bezel(0).Rotaries[0].IncrKey = kF1;
    Bezel(0).Rotaries[0].DecrKey = kF1;
    Bezel(0).PanDirections[0].Key = kF1;
    Bezel(0).PanPush.Key = kF1;
    const auto play = [&] {
        Send(BezelUnit(0), kReportC1, {0x00, 0x80});
        Send(BezelUnit(0), kReportC1, {0, 0, 0, 0, 0, (3 << 1) | 1});
        Send(BezelUnit(0), kReportC1, {});
        // Five steps at once: one now, four queued for the next reports of the knob.
        for (int report = 0; report < 6; ++report) {
            Send(BezelUnit(0), kReportC2, {10});
        }
        Send(BezelUnit(0), kReportC2, {0});
    };
    play();
    const std::vector<std::string> typedLog = Log.Lines;
    // Button, direction, push, five steps up, then the first of five steps down (four queued).
    EXPECT_EQ(Injector.Events.size(), 2U * 9U);
    Clear();

    Observer.Swallow = true;
    play();
    EXPECT_TRUE(Injector.Events.empty());
    EXPECT_EQ(Log.Lines, typedLog);
    EXPECT_EQ(Bezel(0).Rotaries[0].Pending, 0);
}

TEST_F(ControlObserving, StepsQueuedBeforeSwallowingStartsAreReportedAndHeldBackToo) {
    Bezel(0).Rotaries[0].IncrKey = kF1;
    Send(BezelUnit(0), kReportC2, {10});  // five steps: one typed, four queued
    EXPECT_EQ(Injector.Events.size(), 2U);
    Observer.Events.clear();
    Observer.Swallow = true;
    for (int report = 0; report < 5; ++report) {
        Send(BezelUnit(0), kReportC2, {10});
    }
    EXPECT_EQ(Injector.Events.size(), 2U) << "nothing more typed";
    EXPECT_EQ(Observer.Events, (std::vector<Seen>{{0, ControlKind::Rotary, 0, 0}}))
        << "the first queued step is reported, and swallowing it drops the rest";
    EXPECT_EQ(Log.Lines.size(), 1U) << "queued steps still log nothing";
}

TEST_F(ControlObserving, NoObserverNoCallsAndNothingSwallowed) {
    Translator.SetControlObserver(nullptr);
    Observer.Swallow = true;
    Bezel(0).Buttons[0].Key = kF1;
    Send(BezelUnit(0), kReportC1, {0x01});
    EXPECT_TRUE(Observer.Events.empty());
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x70), Up(0x70)}));
}

// Claims every control of bezel 0 but button 0; records what it is sent.
class RecordingOutput final : public CommandOutput {
public:
    bool Claims(ControlEvent event) const override {
        return event.Unit == BezelUnit(0) &&
               !(event.Kind == ControlKind::Button && event.Index == 0);
    }
    void AppendLogText(std::string& line, ControlEvent event) const override {
        line += "Sim=('" + std::to_string(event.Index) + "')";
    }
    void Send(ControlEvent event) override {
        Sent.push_back({event.Unit.DeviceIndex(), event.Kind, event.Index, event.Value});
    }
    std::vector<Seen> Sent;
};

TEST_F(ControlObserving, ClaimedControlsSendCommandsInsteadOfKeysAndLogThem) {
    using K = ControlKind;
    RecordingOutput output;
    Translator.SetCommandOutput(&output);
    Bezel(0).Buttons[0].Key = kF1;
    Bezel(0).Buttons[15].Key = kF1;
    Send(BezelUnit(0), kReportC1, {0x01, 0x80});  // button 0 types, softkey_3 is claimed
    Send(BezelUnit(0), kReportC1, {0, 0, 0, 0, 0, (3 << 1) | 1});  // releases; north + push
    Send(BezelUnit(0), kReportC1, {});
    for (int report = 0; report < 3; ++report) {  // three steps at once: one now, two queued
        Send(BezelUnit(0), kReportC2, {6});
    }
    EXPECT_EQ(Injector.Events, (std::vector{Down(0x70), Up(0x70)})) << "only button 0 types";
    EXPECT_EQ(output.Sent, (std::vector<Seen>{{0, K::Button, 15, 1},
                                              {0, K::Button, 15, 0},
                                              {0, K::PanPush, 0, 1},
                                              {0, K::PanDirection, 0, 1},
                                              {0, K::PanPush, 0, 0},
                                              {0, K::PanDirection, 0, 0},
                                              {0, K::Rotary, 0, 1},
                                              {0, K::Rotary, 0, 1},
                                              {0, K::Rotary, 0, 1}}));
    EXPECT_EQ(Log.Lines[1], "G1000-0 Button 'softkey_3' (#15), Sim=('15')");
    EXPECT_EQ(Log.Lines.back(), "G1000-0 Rotary 'nav_in' (#0), Sim=('0')");

    output.Sent.clear();
    Gate.Enabled = false;  // keys off: no press or step goes, a release still lets go
    Send(BezelUnit(0), kReportC1, {0x00, 0x80});
    Send(BezelUnit(0), kReportC2, {8});
    Gate.Enabled = true;
    Send(BezelUnit(0), kReportC1, {});
    EXPECT_EQ(output.Sent, (std::vector<Seen>{{0, K::Button, 15, 0}}));

    output.Sent.clear();
    Observer.Swallow = true;  // a swallowed movement reaches no output
    Send(BezelUnit(0), kReportC1, {0x00, 0x80});
    EXPECT_TRUE(output.Sent.empty());
}

}  // namespace
}  // namespace qel::test
