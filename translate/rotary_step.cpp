#include "translate/rotary_step.h"

#include <algorithm>

namespace qel {

namespace {

// The counter runs 0..255; two counts per detent, so the step counter runs 0..127.
constexpr std::int32_t kStepCounterRange = 128;
constexpr std::int32_t kLargestMovement = 64;
// Backlog cut applied before each step: a fast spin never queues more than this.
constexpr std::int32_t kPendingLimit = 10;

}  // namespace

RotaryStep StepRotary(RotaryState& rotary) {
    RotaryStep step;
    if (rotary.Primed) {
        // Halve each counter before subtracting: a one-count move steps only when it
        // crosses an even value.
        step.Movement = (rotary.Current / 2) - (rotary.Previous / 2);
    } else {
        rotary.Primed = true;
    }
    rotary.Previous = rotary.Current;

    // The counter wraps; the shorter way round is the real movement.
    if (step.Movement > kLargestMovement) {
        step.Movement -= kStepCounterRange;
    }
    if (step.Movement < -kLargestMovement) {
        step.Movement += kStepCounterRange;
    }

    // Widened and clamped at once so that a record holding any value cannot overflow;
    // on a record kept by this rule the result is the same as cutting before the step.
    const std::int64_t queued = std::clamp<std::int64_t>(
        std::int64_t{rotary.Pending} + step.Movement, -kPendingLimit, kPendingLimit);
    if (queued > 0) {
        step.Direction = 1;
    } else if (queued < 0) {
        step.Direction = -1;
    }
    rotary.Pending = static_cast<std::int32_t>(queued) - step.Direction;
    return step;
}

}  // namespace qel
