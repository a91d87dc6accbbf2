// Systems without a tick call of their own: the monotonic clock, truncated to 32 bits.
#include <chrono>
#include <thread>

#include "platform/millisecond_clock.h"

namespace qel::platform {

std::uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace qel::platform
