#include "simlink/sim_command_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qel {
namespace {

using namespace std::chrono_literals;
using K = ControlKind;

// Records what is sent: "press X", "hold X", "let go X".
class RecordingTransport final : public SimTransport {
public:
    void Start() override {}
    LinkState State() const override { return Now; }
    void SetStateListener(std::function<void(LinkState, std::string_view)>) override {}
    void Press(std::string_view command) override {
        Sent.push_back("press " + std::string(command));
    }
    bool CanHold() const override { return Holds; }
    void Hold(std::string_view command, bool active) override {
        Sent.push_back((active ? "hold " : "let go ") + std::string(command));
    }
    void Test(std::function<void(std::string)>) override {}

    LinkState Now = LinkState::Connected;
    bool Holds = false;
    std::vector<std::string> Sent;
};

// A clock moved by hand.
class ManualScheduler final : public Scheduler {
public:
    void After(std::chrono::milliseconds delay, std::function<void()> task) override {
        Tasks.emplace_back(Now + delay, std::move(task));
    }
    void Advance(std::chrono::milliseconds by) {
        Now += by;
        for (std::size_t i = 0; i < Tasks.size(); ++i) {
            if (Tasks[i].second && Tasks[i].first <= Now) std::exchange(Tasks[i].second, nullptr)();
        }
    }
    std::chrono::milliseconds Now{0};
    std::vector<std::pair<std::chrono::milliseconds, std::function<void()>>> Tasks;
};

ControlEvent Event(int device, ControlKind kind, int index, int value) {
    return MakeControlEvent(device, kind, index, value);
}

// softkey_3 is button 15, clr 31, com_freq_toggle 25, alt_push 33; hdg is rotary 11.
const ControlEvent kSoftkey3 = Event(0, K::Button, 15, 1);
const ControlEvent kClr = Event(0, K::Button, 31, 1);
const ControlEvent kComTransfer = Event(0, K::Button, 25, 1);

ControlEvent Released(ControlEvent event) {
    event.Value = 0;
    return event;
}

struct Bench {
    explicit Bench(SimulatorKind kind)
        : Table([kind] {
              LinkSettings settings;
              settings.Link = kind;
              return settings;
          }()) {}
    void Send(ControlEvent event) {
        if (Output->Claims(event)) Output->Send(event);
    }
    CommandTable Table;
    RecordingTransport Transport;
    ManualScheduler Tasks;
    std::unique_ptr<SimCommandOutput> Output =
        std::make_unique<SimCommandOutput>(Table, Transport, Tasks);
};

TEST(SimCommandOutput, ClaimsOnlyControlsWithACommandWhileConnected) {
    Bench bench(SimulatorKind::XPlane);
    EXPECT_TRUE(bench.Output->Claims(kSoftkey3));
    EXPECT_FALSE(bench.Output->Claims(Event(0, K::Button, 33, 1))) << "alt_push has none";
    EXPECT_FALSE(bench.Output->Claims(Event(3, K::Button, 15, 1))) << "unit 3 has role none";
    EXPECT_FALSE(bench.Output->Claims(Event(0, K::Rotary, 11, 0))) << "no step, no command";
    for (LinkState state : {LinkState::Connecting, LinkState::NoAnswer}) {
        bench.Transport.Now = state;
        EXPECT_FALSE(bench.Output->Claims(kSoftkey3));
    }
}

TEST(SimCommandOutput, ButtonsAndPushHoldWhereTheTransportCanDirectionsAndStepsPressOnce) {
    const std::vector<ControlEvent> script = {
        kSoftkey3,
        Released(kSoftkey3),
        Event(0, K::PanPush, 0, 1),
        Event(0, K::PanDirection, 1, 1),
        Event(0, K::PanDirection, 1, 0),
        Event(0, K::PanPush, 0, 0),
        Event(0, K::Rotary, 11, 1),
        Event(0, K::Rotary, 11, -1),
    };
    const std::string g = "sim/GPS/g1000n1_";
    const std::vector<std::string> presses = {"press " + g + "softkey3", "press " + g + "pan_push",
                                              "press " + g + "pan_up_right",
                                              "press " + g + "hdg_up", "press " + g + "hdg_down"};
    const std::vector<std::string> holds = {
        "hold " + g + "softkey3",      "let go " + g + "softkey3", "hold " + g + "pan_push",
        "press " + g + "pan_up_right", "let go " + g + "pan_push", "press " + g + "hdg_up",
        "press " + g + "hdg_down"};
    for (bool canHold : {false, true}) {
        SCOPED_TRACE(canHold ? "holds" : "presses");
        Bench bench(SimulatorKind::XPlane);
        bench.Transport.Holds = canHold;
        for (ControlEvent event : script) bench.Send(event);
        EXPECT_EQ(bench.Transport.Sent, canHold ? holds : presses);
    }
}

TEST(SimCommandOutput, AHeldCommandIsLetGoEvenAfterTheLinkWentAway) {
    Bench bench(SimulatorKind::XPlane);
    bench.Transport.Holds = true;
    bench.Send(kSoftkey3);
    bench.Transport.Now = LinkState::NoAnswer;
    bench.Send(Released(kSoftkey3));
    bench.Transport.Now = LinkState::Connected;
    bench.Send(Released(kSoftkey3));  // a release whose press typed its key lets nothing go
    EXPECT_EQ(bench.Transport.Sent, (std::vector<std::string>{"hold sim/GPS/g1000n1_softkey3",
                                                              "let go sim/GPS/g1000n1_softkey3"}));
}

TEST(SimCommandOutput, FlightGearClrAndComTransferSendOneFormByHowLongTheyAreHeld) {
    Bench bench(SimulatorKind::FlightGear);
    const std::string key = "press FG1000HardKeyPushed device=1 notification=";
    bench.Send(kClr);
    bench.Tasks.Advance(999ms);
    bench.Send(Released(kClr));  // short: plain CLR on release
    bench.Send(kClr);
    bench.Tasks.Advance(1ms);
    EXPECT_EQ(bench.Transport.Sent.size(), 1U) << "the first press's task is stale";
    bench.Tasks.Advance(999ms);
    bench.Send(Released(kClr));  // long: CLR_HOLD when the time is up, nothing on release
    bench.Send(kComTransfer);
    bench.Tasks.Advance(1999ms);
    bench.Tasks.Advance(1ms);
    bench.Send(Released(kComTransfer));
    EXPECT_EQ(bench.Transport.Sent,
              (std::vector<std::string>{key + "CLR offset=1", key + "CLR_HOLD offset=1",
                                        key + "COM_FREQ_TRANSFER_HOLD offset=1"}));

    bench.Send(kClr);
    bench.Output.reset();  // a task outliving its output does nothing
    bench.Tasks.Advance(1s);
    EXPECT_EQ(bench.Transport.Sent.size(), 3U);
}

TEST(SimCommandOutput, LogTextNamesTheSimulatorAndBothDirectionsOfAKnob) {
    struct Case {
        SimulatorKind Kind;
        ControlEvent Event;
        std::string Text;
    };
    const std::string fg = "FG1000HardKeyPushed device=1 notification=";
    const std::vector<Case> cases = {
        {SimulatorKind::XPlane, kSoftkey3, "X-Plane=('sim/GPS/g1000n1_softkey3')"},
        {SimulatorKind::XPlane, Event(0, K::Rotary, 11, -3),
         "X-Plane=('sim/GPS/g1000n1_hdg_up/sim/GPS/g1000n1_hdg_down')"},
        {SimulatorKind::FlightGear, Event(0, K::PanDirection, 7, 1),
         "FlightGear=('" + fg + "JOYSTICK_VERTICAL offset=-1 + " + fg +
             "JOYSTICK_HORIZONTAL offset=-1')"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Bench bench(c.Kind);
        std::string line = "G1000-0 ";
        bench.Output->AppendLogText(line, c.Event);
        EXPECT_EQ(line, "G1000-0 " + c.Text);
    }
}

}  // namespace
}  // namespace qel
