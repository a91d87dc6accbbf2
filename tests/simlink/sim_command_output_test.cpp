#include "simlink/sim_command_output.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/unit_ids.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using K = ControlKind;

// Records what is sent: "press X", "hold X", "release X".
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
        Sent.push_back((active ? "hold " : "release ") + std::string(command));
    }
    void Test(std::function<void(std::string)>) override {}

    LinkState Now = LinkState::Connected;
    bool Holds = false;
    std::vector<std::string> Sent;
};

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

constexpr auto Event = MakeControlEvent;
// softkey_3 is button 15, clr 31, com_freq_toggle 25; hdg is rotary 11.
const ControlEvent kSoftkey3 = Event(test::BezelUnit(0), K::Button, 15, 1),
                   kSoftkey3Up = Event(test::BezelUnit(0), K::Button, 15, 0);
const ControlEvent kClr = Event(test::BezelUnit(0), K::Button, 31, 1),
                   kClrUp = Event(test::BezelUnit(0), K::Button, 31, 0);
const ControlEvent kCom = Event(test::BezelUnit(0), K::Button, 25, 1),
                   kComUp = Event(test::BezelUnit(0), K::Button, 25, 0);

LinkSettings LinkTo(SimulatorKind kind) {
    LinkSettings settings;
    settings.Link = kind;
    return settings;
}

struct Bench {
    explicit Bench(SimulatorKind kind) : Table(LinkTo(kind)) {}
    void Send(ControlEvent event) {
        if (Output->Claims(event)) Output->Send(event);
    }
    CommandTable Table;
    RecordingTransport Transport;
    ManualScheduler Tasks;
    std::unique_ptr<SimCommandOutput> Output =
        std::make_unique<SimCommandOutput>(Table, Transport, Tasks);
};

TEST(SimCommandOutput, ClaimsWhileConnectedAndAlwaysTheReleaseOfWhatItHoldsLogsKnobsBothWays) {
    Bench bench(SimulatorKind::XPlane);
    bench.Transport.Holds = true;
    bench.Send(kSoftkey3);
    bench.Transport.Now = LinkState::NoAnswer;
    EXPECT_FALSE(bench.Output->Claims(kSoftkey3));
    bench.Send(kSoftkey3Up);
    bench.Send(kSoftkey3Up);  // nothing held any more: not claimed
    EXPECT_EQ(bench.Transport.Sent.size(), 2U) << "held, then let go once";
    std::string line;
    bench.Output->AppendLogText(line, Event(test::BezelUnit(0), K::Rotary, 11, -3));
    EXPECT_EQ(line, "X-Plane=('sim/GPS/g1000n1_hdg_up/sim/GPS/g1000n1_hdg_down')");
}

TEST(SimCommandOutput, ButtonsAndPushHoldWhereTheTransportCanDirectionsAndStepsPressOnce) {
    // softkey_3, the pan push, north-east, one HDG step each way; all of bezel 0.
    const std::vector<std::array<int, 3>> script = {{0, 15, 1}, {0, 15, 0}, {3, 0, 1},
                                                    {2, 1, 1},  {2, 1, 0},  {3, 0, 0},
                                                    {1, 11, 1}, {1, 11, -1}};
    auto sent = [](std::vector<std::string> lines) {
        for (std::string& line : lines) line.insert(line.find(' ') + 1, "sim/GPS/g1000n1_");
        return lines;
    };
    const std::vector<std::string> presses =
        sent({"press softkey3", "press pan_push", "press pan_up_right", "press hdg_up",
              "press hdg_down"});
    const std::vector<std::string> holds =
        sent({"hold softkey3", "release softkey3", "hold pan_push", "press pan_up_right",
              "release pan_push", "press hdg_up", "press hdg_down"});
    for (bool canHold : {false, true}) {
        Bench bench(SimulatorKind::XPlane);
        bench.Transport.Holds = canHold;
        for (auto [kind, index, value] : script) {
            bench.Send(Event(test::BezelUnit(0), static_cast<ControlKind>(kind), index, value));
        }
        EXPECT_EQ(bench.Transport.Sent, canHold ? holds : presses);
    }
}

TEST(SimCommandOutput, FlightGearClrAndComTransferSendOneFormByHowLongTheyAreHeld) {
    Bench bench(SimulatorKind::FlightGear);
    const std::string key = "press FG1000HardKeyPushed device=1 notification=";
    bench.Send(kClr);
    bench.Tasks.Advance(999ms);
    bench.Send(kClrUp);  // short: plain CLR on release
    bench.Send(kClr);
    bench.Tasks.Advance(1ms);
    EXPECT_EQ(bench.Transport.Sent.size(), 1U) << "the first press's task is stale";
    bench.Tasks.Advance(999ms);
    bench.Send(kClrUp);  // long: CLR_HOLD when the time is up, nothing on release
    bench.Send(kCom);
    bench.Tasks.Advance(2s);
    bench.Send(kComUp);
    EXPECT_EQ(bench.Transport.Sent,
              (std::vector<std::string>{key + "CLR offset=1", key + "CLR_HOLD offset=1",
                                        key + "COM_FREQ_TRANSFER_HOLD offset=1"}));

    bench.Send(kClr);
    bench.Output.reset();  // a task outliving its output does nothing
    bench.Tasks.Advance(1s);
    EXPECT_EQ(bench.Transport.Sent.size(), 3U);
}

}  // namespace
}  // namespace qel
