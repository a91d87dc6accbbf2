#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "translate/catalogue.h"
#include "translate/keycode.h"
#include "translate/units.h"

namespace qel {

// One button, pan direction or pan push. Current/Previous are 0 or 1 (1 = pressed).
struct ButtonState {
    std::string Name;
    std::uint8_t Current = 0;
    std::uint8_t Previous = 0;
    KeyCode Key = 0;
};

// One encoder: raw 8-bit position counters and the steps not yet sent (+ = increments).
struct RotaryState {
    std::string Name;
    std::uint8_t Current = 0;
    std::uint8_t Previous = 0;
    std::int32_t Pending = 0;
    KeyCode DecrKey = 0;
    KeyCode IncrKey = 0;
    bool Primed = false;
};

struct BezelUnitState {
    std::array<RotaryState, kBezelRotaryCount> Rotaries;
    std::array<ButtonState, kBezelButtonCount> Buttons;
    std::array<ButtonState, kPanDirectionCount> PanDirections;  // element 0 is code 1 (n)
    ButtonState PanPush;
    std::int32_t PreviousDirection = 0;
    std::int32_t CurrentDirection = 0;
};

struct AudioUnitState {
    std::array<RotaryState, kAudioRotaryCount> Rotaries;
    std::array<ButtonState, kAudioButtonCount> Buttons;
};

// Every unit's controls. Owned by the key core; touched by the main thread only.
struct UnitStates {
    std::array<BezelUnitState, kBezelUnitCount> BezelUnits;
    std::array<AudioUnitState, kAudioUnitCount> AudioUnits;

    // The record of a bezel (audio) unit; null for an id that names no unit of that kind.
    [[nodiscard]] BezelUnitState* BezelOf(UnitId unit) {
        return unit.Kind == UnitKind::Bezel && unit.IsValid()
                   ? &BezelUnits[static_cast<std::size_t>(unit.Index)]
                   : nullptr;
    }
    [[nodiscard]] AudioUnitState* AudioOf(UnitId unit) {
        return unit.Kind == UnitKind::Audio && unit.IsValid()
                   ? &AudioUnits[static_cast<std::size_t>(unit.Index)]
                   : nullptr;
    }
};

// Sets every record's Name from the control catalogue: buttons and rotaries their own
// names, pan directions their whole keys ("range_pan_n"), the push "range_push".
// Bindings and counters are left alone.
void AssignCatalogueNames(UnitStates& units);

}  // namespace qel
