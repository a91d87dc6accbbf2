#pragma once

#include <cstdint>

#include "translate/unitstate.h"

namespace qel {

// What one pass of the step rule did to a rotary.
struct RotaryStep {
    std::int32_t Movement = 0;   // steps the counter moved, after wrapping: -64..64
    std::int32_t Direction = 0;  // +1 send the increment, -1 the decrement, 0 nothing
};

// One pass of the step rule over rotary's counters: two counts make one step, movement
// wraps to -64..64 and is queued in Pending, whose backlog is cut to 10 before one queued
// step is taken. Pending is within -9..9 afterwards. The first pass ever only primes the
// reference counter. Steps are taken whether or not keys will be sent. Pure: touches
// only the rotary. Any thread, one rotary per thread.
RotaryStep StepRotary(RotaryState& rotary);

}  // namespace qel
