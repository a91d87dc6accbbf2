#pragma once

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
class SimCommandOutput final : public CommandOutput {
public:
    SimCommandOutput(const CommandTable& table, SimTransport& transport, Scheduler& scheduler);

    [[nodiscard]] bool Claims(ControlEvent event) const override;
    void AppendLogText(std::string& line, ControlEvent event) const override;
    void Send(ControlEvent event) override;

private:
    const CommandTable& Table;
    SimTransport& Transport;
    Scheduler& Tasks;
};

}  // namespace qel
