#pragma once

#include <cstdint>
#include <memory>

#include "translate/keyinjector.h"

namespace qel {

// The Win32 calls the keystroke injector makes: the real ones, or a recording in tests.
class Win32KeyboardCalls {
public:
    virtual ~Win32KeyboardCalls() = default;
    // keybd_event(virtualKey, scanCode, flags, extraInfo)
    virtual void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                            std::uintptr_t extraInfo) = 0;
    // MapVirtualKeyA(code, mapType)
    [[nodiscard]] virtual std::uint32_t MapVirtualKeyCode(std::uint32_t code,
                                                          std::uint32_t mapType) = 0;
};

[[nodiscard]] std::unique_ptr<Win32KeyboardCalls> RealWin32KeyboardCalls();

// A key's make code in scan code set 1, and whether Windows reports it as an extended key (the
// keys of the E0 prefix, and Num Lock).
struct ScanCode {
    std::uint8_t Code = 0;
    bool Extended = false;
    bool operator==(const ScanCode&) const = default;
};

// The key of a virtual-key code on a standard US keyboard; Code 0 for a code without a key.
[[nodiscard]] ScanCode StandardScanCode(std::uint8_t virtualKey);

// Keystrokes through keybd_event: one call per key event, flags 0 or KEYEVENTF_KEYUP, extra
// information 0. Each carries its key's scan code: the active layout's (MapVirtualKeyA), or the
// standard key's where the layout gives none; extended keys carry KEYEVENTF_EXTENDEDKEY, so
// programs that read scan codes (raw input, DirectInput) tell Left from keypad 4. Code 0 is sent
// as it comes. Main thread only.
class Win32Injector final : public KeyInjector {
public:
    explicit Win32Injector(std::unique_ptr<Win32KeyboardCalls> calls);
    void KeyEvent(std::uint8_t virtualKey, bool down) override;

private:
    std::unique_ptr<Win32KeyboardCalls> Calls;
};

}  // namespace qel
