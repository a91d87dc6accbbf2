#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "simlink/command_table.h"
#include "simlink/scheduler.h"
#include "simlink/sim_transport.h"
#include "translate/commandoutput.h"

namespace qel {

// The simulator link as the translator sees it: a control whose slot has a command sends it
// through the transport while the transport is connected; otherwise the control types its key.
// Buttons and the pan push hold their command while pressed where the transport can hold;
// knob steps and pan directions are one press each. FlightGear's two held keys (CLR, the COM
// transfer) send their held form when pressed long enough. Main thread only; borrows all
// it is given.
//
// A release of a control this output holds (or times) is always claimed, connected or not, so
// nothing stays held. Scheduled tasks that run after the output is gone do nothing.
class SimCommandOutput final : public CommandOutput {
public:
    SimCommandOutput(const CommandTable& table, SimTransport& transport, Scheduler& scheduler);
    SimCommandOutput(const SimCommandOutput&) = delete;
    SimCommandOutput& operator=(const SimCommandOutput&) = delete;

    [[nodiscard]] bool Claims(ControlEvent event) const override;
    void AppendLogText(std::string& line, ControlEvent event) const override;
    void Send(ControlEvent event) override;

private:
    // What a pressed button or pan push is doing until its release.
    struct PressState {
        bool Holding = false;     // held through the transport: the release lets it go
        bool Timing = false;      // a held form's timer runs: the release sends the plain key
        std::uint64_t Press = 0;  // which press the timer belongs to
    };
    [[nodiscard]] const PressState* StateOf(UnitId unit, int slot) const;
    [[nodiscard]] PressState* StateOf(UnitId unit, int slot);
    void Pressed(UnitId unit, int slot, PressState& state);
    void Released(UnitId unit, int slot, PressState& state);
    void HeldLongEnough(UnitId unit, int slot, std::uint64_t press);
    void PressAll(std::string_view commands);
    void HoldAll(std::string_view commands, bool active);

    const CommandTable& Table;
    SimTransport& Transport;
    Scheduler& Tasks;
    std::array<std::vector<PressState>, kDeviceCount> States;  // by device index
    std::uint64_t Presses = 0;
    // Tasks hold a weak reference: expired, the output they would act on is gone.
    std::shared_ptr<int> Lifetime = std::make_shared<int>(0);
};

}  // namespace qel
