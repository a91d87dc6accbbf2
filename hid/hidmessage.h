#pragma once

#include <cstdint>
#include <optional>

#include "hid/hidlibrary.h"

namespace qel {

// The window message by which a Windows HID library announces a notification: wParam the event
// code (1 plugged, 2 unplugged, 3 changed, 4 read), lParam the device handle. Only the Windows
// back end sees this form; it turns each message into a HidNotification at once.
inline constexpr unsigned kHidMessage = 0x80C8;  // 32968

// The event a window message announces; nothing for any other message or event code, which
// then takes its normal course.
[[nodiscard]] constexpr std::optional<HidEvent> HidEventOfMessage(unsigned message,
                                                                  std::uintptr_t wParam) {
    if (message != kHidMessage || wParam < 1 || wParam > 4) {
        return std::nullopt;
    }
    return static_cast<HidEvent>(wParam);
}

// The 32-bit device handle carried in the wider lParam.
[[nodiscard]] constexpr HidHandle HidHandleOfMessage(std::intptr_t lParam) {
    return static_cast<HidHandle>(static_cast<std::uintptr_t>(lParam));
}

}  // namespace qel
