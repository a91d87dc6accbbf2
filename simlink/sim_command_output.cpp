#include "simlink/sim_command_output.h"

#include <cstddef>
#include <utility>

#include "keymap/bindingslot.h"

namespace qel {
namespace {

// The binding slot of a control event; -1, which has no command, for a knob that did not
// turn.
int SlotOf(ControlEvent event) {
    return BindingSlotOf(event).value_or(-1);
}

ControlEvent WithValue(ControlEvent event, int value) {
    event.Value = static_cast<std::int8_t>(value);
    return event;
}

// Two commands of one slot show side by side; the log line stays one line.
void AppendCommands(std::string& line, std::string_view commands) {
    bool first = true;
    ForEachCommand(commands, [&line, &first](std::string_view command) {
        if (!first) line += " + ";
        line += command;
        first = false;
    });
}

}  // namespace

SimCommandOutput::SimCommandOutput(const CommandTable& table, SimTransport& transport,
                                   Scheduler& scheduler)
    : Table(table), Transport(transport), Tasks(scheduler) {
    for (const UnitNames& unit : kUnits) {
        States[static_cast<std::size_t>(unit.Id.DeviceIndex())].resize(
            static_cast<std::size_t>(BindingSlotCount(unit.Id)));
    }
}

const SimCommandOutput::PressState* SimCommandOutput::StateOf(UnitId unit, int slot) const {
    if (!unit.IsValid() || slot < 0) return nullptr;
    const std::vector<PressState>& states = States[static_cast<std::size_t>(unit.DeviceIndex())];
    return static_cast<std::size_t>(slot) < states.size() ? &states[static_cast<std::size_t>(slot)]
                                                          : nullptr;
}

SimCommandOutput::PressState* SimCommandOutput::StateOf(UnitId unit, int slot) {
    return const_cast<PressState*>(std::as_const(*this).StateOf(unit, slot));
}

bool SimCommandOutput::Claims(ControlEvent event) const {
    if (event.Kind == ControlKind::Rotary && event.Value == 0) return false;
    const int slot = SlotOf(event);
    if (event.Kind != ControlKind::Rotary && event.Value == 0) {
        const PressState* state = StateOf(event.Unit, slot);
        if (state != nullptr && (state->Holding || state->Timing)) return true;
    }
    return Transport.State() == LinkState::Connected && !Table.Command(event.Unit, slot).empty();
}

void SimCommandOutput::AppendLogText(std::string& line, ControlEvent event) const {
    line += Table.Simulator() == SimulatorKind::FlightGear ? "FlightGear=('" : "X-Plane=('";
    if (event.Kind == ControlKind::Rotary) {
        // Both directions, increment first, as the key line shows a knob's two keys.
        AppendCommands(line, Table.Command(event.Unit, SlotOf(WithValue(event, 1))));
        line += '/';
        AppendCommands(line, Table.Command(event.Unit, SlotOf(WithValue(event, -1))));
    } else {
        AppendCommands(line, Table.Command(event.Unit, SlotOf(event)));
    }
    line += "')";
}

void SimCommandOutput::Send(ControlEvent event) {
    const int slot = SlotOf(event);
    switch (event.Kind) {
        case ControlKind::Rotary:
        case ControlKind::PanDirection:
            // A knob step or an entered direction is one whole press; leaving sends nothing.
            if (event.Value != 0) PressAll(Table.Command(event.Unit, slot));
            return;
        case ControlKind::Button:
        case ControlKind::PanPush:
            break;
    }
    PressState* state = StateOf(event.Unit, slot);
    if (state == nullptr) return;
    if (event.Value != 0) {
        Pressed(event.Unit, slot, *state);
    } else {
        Released(event.Unit, slot, *state);
    }
}

void SimCommandOutput::Pressed(UnitId unit, int slot, PressState& state) {
    const std::string_view command = Table.Command(unit, slot);
    if (command.empty()) return;
    if (const HeldCommand* held = Table.Held(unit, slot)) {
        // Which of the two forms goes is known only at the release or when the time is up.
        state.Timing = true;
        state.Press = ++Presses;
        Tasks.After(held->Delay,
                    [life = std::weak_ptr<int>(Lifetime), this, unit, slot, press = state.Press] {
                        if (!life.expired()) HeldLongEnough(unit, slot, press);
                    });
    } else if (Transport.CanHold()) {
        HoldAll(command, true);
        state.Holding = true;
    } else {
        PressAll(command);
    }
}

void SimCommandOutput::Released(UnitId unit, int slot, PressState& state) {
    if (state.Timing) {
        state.Timing = false;
        PressAll(Table.Command(unit, slot));
    }
    if (state.Holding) {
        state.Holding = false;
        HoldAll(Table.Command(unit, slot), false);
    }
}

void SimCommandOutput::HeldLongEnough(UnitId unit, int slot, std::uint64_t press) {
    // A task of an earlier press, or one whose key was let go in time, finds nothing to do.
    PressState* state = StateOf(unit, slot);
    const HeldCommand* held = Table.Held(unit, slot);
    if (state == nullptr || !state->Timing || state->Press != press || held == nullptr) return;
    state->Timing = false;
    PressAll(held->Command);
}

void SimCommandOutput::PressAll(std::string_view commands) {
    ForEachCommand(commands, [this](std::string_view command) { Transport.Press(command); });
}

void SimCommandOutput::HoldAll(std::string_view commands, bool active) {
    ForEachCommand(commands,
                   [this, active](std::string_view command) { Transport.Hold(command, active); });
}

}  // namespace qel
