#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "panelview/controlslot.h"
#include "translate/catalogue.h"
#include "translate/controlobserver.h"

namespace qel {

// What the panels are doing now, for drawing: buttons, joystick directions and pushes held,
// and knobs flashing the way they last turned, with their steps in the last second counted.
// Recording is cheap (it runs inside the report path); the drawing side asks once per frame
// whether anything changed. Main thread only.
class PanelActivity {
public:
    // A knob keeps flashing this long after its last step; a pause as long ends its count.
    static constexpr std::int64_t kFlashMs = 400;
    // A flashing knob counts the steps of this last stretch of its turn: a short turn shows
    // all its steps, a long one its steps per second rather than a total that only grows.
    static constexpr std::int64_t kCountMs = 1000;

    void Record(ControlEvent event);
    // Moves the clock to nowMs (any steady clock) and ends flashes that have run out.
    void Tick(std::int64_t nowMs);
    // True once after anything shown changed since the last call.
    [[nodiscard]] bool TakeChanged();
    // Forgets everything (the view was hidden: releases may be missed meanwhile).
    void Clear();

    // Whether the binding is lit: its control held, or its knob half flashing.
    [[nodiscard]] bool IsLit(UnitId unit, ControlKind kind, int index, KnobHalf half) const;
    // The steps a flashing knob took in the last kCountMs; 0 when not flashing.
    [[nodiscard]] int FlashSteps(UnitId unit, int knob) const;

private:
    // The count is kept in slices of a tenth of kCountMs; the oldest drop out as time goes.
    static constexpr int kCountSlices = 10;
    static constexpr std::int64_t kSliceMs = kCountMs / kCountSlices;
    struct KnobFlash {
        int Direction = 0;  // +1 increment, -1 decrement, 0 none
        std::int64_t LastStepMs = 0;
        std::array<int, kCountSlices> Steps{};  // by slice number modulo kCountSlices
        std::int64_t Slice = 0;                 // the newest slice's number (time / kSliceMs)
    };
    // Moves knob's count to the slice of NowMs; true when steps dropped out of it.
    bool SlideCount(KnobFlash& knob) const;
    struct UnitActivity {
        std::bitset<kBezelButtonCount> Buttons;  // the audio unit's 32 fit as well
        int Direction = -1;                      // pan direction held, -1 centred
        bool Push = false;
        std::array<KnobFlash, kBezelRotaryCount> Knobs{};
    };
    static_assert(kAudioButtonCount <= kBezelButtonCount);
    static_assert(kAudioRotaryCount <= kBezelRotaryCount);

    // Null for an id that names no unit.
    [[nodiscard]] const UnitActivity* UnitAt(UnitId unit) const;

    std::array<UnitActivity, kDeviceCount> Units{};  // by device index
    std::int64_t NowMs = 0;
    bool Changed = false;
};

}  // namespace qel
