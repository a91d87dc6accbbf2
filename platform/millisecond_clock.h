#pragma once

#include <cstdint>

namespace qel::platform {

// The system's millisecond tick, 32 bits wide, so it wraps every 49.7 days; callers take
// unsigned differences. Any thread.
[[nodiscard]] std::uint32_t TickCount();

// Blocks the calling thread for about the given time; at least one scheduler tick on systems
// that round up.
void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace qel::platform
