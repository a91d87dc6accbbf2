#include <windows.h>

#include "platform/millisecond_clock.h"

namespace qel::platform {

std::uint32_t TickCount() {
    return ::GetTickCount();
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace qel::platform
