#include "platform/win32_injector.h"
#include "platform/virtual_key_rows.h"

#include <windows.h>

#include <array>
#include <cassert>
#include <utility>

namespace qel {
namespace {

class RealCalls final : public Win32KeyboardCalls {
public:
    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                    std::uintptr_t extraInfo) override {
        // keybd_event reports nothing; there is nothing to check.
        ::keybd_event(virtualKey, scanCode, flags, extraInfo);
    }
    std::uint32_t MapVirtualKeyCode(std::uint32_t code, std::uint32_t mapType) override {
        return ::MapVirtualKeyA(code, mapType);
    }
};

struct StandardKey {
    std::uint8_t VirtualKey;
    ScanCode Scan;
};

constexpr bool E = true;  // extended

// Make codes of scan code set 1 on a US 101/102-key keyboard, with the extended keys as Windows
// reports them: the navigation keys, right Ctrl and Alt, keypad Divide, the Windows, Apps and
// media keys, and Num Lock (whose hardware code is plain; Pause, the same code, is not extended).
constexpr std::array kStandardKeys = std::to_array<StandardKey>({
    {0x03, {0x46, E}},  // Cancel (Ctrl+Break)
    {0x08, {0x0E}},     // Backspace
    {0x09, {0x0F}},     // Tab
    {0x0C, {0x4C}},     // Clear: keypad 5 with Num Lock off
    {0x0D, {0x1C}},     // Enter
    {0x10, {0x2A}},     // Shift: the left one
    {0x11, {0x1D}},     // Ctrl: the left one
    {0x12, {0x38}},     // Alt: the left one
    {0x13, {0x45}},     // Pause
    {0x14, {0x3A}},     // Caps Lock
    {0x1B, {0x01}},     // Escape
    {0x20, {0x39}},     // Space
    {0x21, {0x49, E}},  // Page Up
    {0x22, {0x51, E}},  // Page Down
    {0x23, {0x4F, E}},  // End
    {0x24, {0x47, E}},  // Home
    {0x25, {0x4B, E}},  // Left
    {0x26, {0x48, E}},  // Up
    {0x27, {0x4D, E}},  // Right
    {0x28, {0x50, E}},  // Down
    {0x2C, {0x37, E}},  // Print Screen
    {0x2D, {0x52, E}},  // Insert
    {0x2E, {0x53, E}},  // Delete
    {0x30, {0x0B}},     // 0
    {0x31, {0x02}},     // 1
    {0x32, {0x03}},    {0x33, {0x04}}, {0x34, {0x05}}, {0x35, {0x06}}, {0x36, {0x07}},
    {0x37, {0x08}},    {0x38, {0x09}}, {0x39, {0x0A}},  // 9
    {0x41, {0x1E}},                                     // A
    {0x42, {0x30}},                                     // B
    {0x43, {0x2E}},                                     // C
    {0x44, {0x20}},                                     // D
    {0x45, {0x12}},                                     // E
    {0x46, {0x21}},                                     // F
    {0x47, {0x22}},                                     // G
    {0x48, {0x23}},                                     // H
    {0x49, {0x17}},                                     // I
    {0x4A, {0x24}},                                     // J
    {0x4B, {0x25}},                                     // K
    {0x4C, {0x26}},                                     // L
    {0x4D, {0x32}},                                     // M
    {0x4E, {0x31}},                                     // N
    {0x4F, {0x18}},                                     // O
    {0x50, {0x19}},                                     // P
    {0x51, {0x10}},                                     // Q
    {0x52, {0x13}},                                     // R
    {0x53, {0x1F}},                                     // S
    {0x54, {0x14}},                                     // T
    {0x55, {0x16}},                                     // U
    {0x56, {0x2F}},                                     // V
    {0x57, {0x11}},                                     // W
    {0x58, {0x2D}},                                     // X
    {0x59, {0x15}},                                     // Y
    {0x5A, {0x2C}},                                     // Z
    {0x5B, {0x5B, E}},                                  // left Windows
    {0x5C, {0x5C, E}},                                  // right Windows
    {0x5D, {0x5D, E}},                                  // Apps
    {0x5F, {0x5F, E}},                                  // Sleep
    {0x60, {0x52}},                                     // keypad 0
    {0x61, {0x4F}},                                     // keypad 1
    {0x62, {0x50}},                                     // keypad 2
    {0x63, {0x51}},                                     // keypad 3
    {0x64, {0x4B}},                                     // keypad 4
    {0x65, {0x4C}},                                     // keypad 5
    {0x66, {0x4D}},                                     // keypad 6
    {0x67, {0x47}},                                     // keypad 7
    {0x68, {0x48}},                                     // keypad 8
    {0x69, {0x49}},                                     // keypad 9
    {0x6A, {0x37}},                                     // keypad Multiply
    {0x6B, {0x4E}},                                     // keypad Add
    {0x6C, {0x7E}},     // keypad Separator: the keypad comma of ABNT2 keyboards
    {0x6D, {0x4A}},     // keypad Subtract
    {0x6E, {0x53}},     // keypad Decimal
    {0x6F, {0x35, E}},  // keypad Divide
    {0x70, {0x3B}},     // F1
    {0x71, {0x3C}},    {0x72, {0x3D}}, {0x73, {0x3E}}, {0x74, {0x3F}}, {0x75, {0x40}},
    {0x76, {0x41}},    {0x77, {0x42}}, {0x78, {0x43}}, {0x79, {0x44}},  // F10
    {0x7A, {0x57}},                                                     // F11
    {0x7B, {0x58}},                                                     // F12
    {0x7C, {0x64}},                                                     // F13
    {0x7D, {0x65}},    {0x7E, {0x66}}, {0x7F, {0x67}}, {0x80, {0x68}}, {0x81, {0x69}},
    {0x82, {0x6A}},    {0x83, {0x6B}}, {0x84, {0x6C}}, {0x85, {0x6D}}, {0x86, {0x6E}},
    {0x87, {0x76}},     // F24
    {0x90, {0x45, E}},  // Num Lock
    {0x91, {0x46}},     // Scroll Lock
    {0xA0, {0x2A}},     // left Shift
    {0xA1, {0x36}},     // right Shift
    {0xA2, {0x1D}},     // left Ctrl
    {0xA3, {0x1D, E}},  // right Ctrl
    {0xA4, {0x38}},     // left Alt
    {0xA5, {0x38, E}},  // right Alt
    {0xA6, {0x6A, E}},  // Browser Back
    {0xA7, {0x69, E}},  // Browser Forward
    {0xA8, {0x67, E}},  // Browser Refresh
    {0xA9, {0x68, E}},  // Browser Stop
    {0xAA, {0x65, E}},  // Browser Search
    {0xAB, {0x66, E}},  // Browser Favorites
    {0xAC, {0x32, E}},  // Browser Home
    {0xAD, {0x20, E}},  // Volume Mute
    {0xAE, {0x2E, E}},  // Volume Down
    {0xAF, {0x30, E}},  // Volume Up
    {0xB0, {0x19, E}},  // Next Track
    {0xB1, {0x10, E}},  // Previous Track
    {0xB2, {0x24, E}},  // Stop
    {0xB3, {0x22, E}},  // Play/Pause
    {0xB4, {0x6C, E}},  // Mail
    {0xB5, {0x6D, E}},  // Media Select
    {0xB6, {0x6B, E}},  // Launch App 1
    {0xB7, {0x21, E}},  // Launch App 2
    {0xBA, {0x27}},     // OEM_1: ; on a US keyboard
    {0xBB, {0x0D}},     // OEM_PLUS: =
    {0xBC, {0x33}},     // OEM_COMMA: ,
    {0xBD, {0x0C}},     // OEM_MINUS: -
    {0xBE, {0x34}},     // OEM_PERIOD: .
    {0xBF, {0x35}},     // OEM_2: /
    {0xC0, {0x29}},     // OEM_3: `
    {0xDB, {0x1A}},     // OEM_4: [
    {0xDC, {0x2B}},     // OEM_5: backslash
    {0xDD, {0x1B}},     // OEM_6: ]
    {0xDE, {0x28}},     // OEM_7: '
    {0xE2, {0x56}},     // OEM_102: the key beside left Shift
});

constexpr std::array<ScanCode, 256> kScanCodeByVirtualKey = [] {
    std::array<ScanCode, 256> table{};
    for (const StandardKey& key : kStandardKeys) {
        table[key.VirtualKey] = key.Scan;
    }
    return table;
}();

static_assert(AscendingByVirtualKey(kStandardKeys),
              "one row per virtual-key code, in ascending order");

}  // namespace

std::unique_ptr<Win32KeyboardCalls> RealWin32KeyboardCalls() {
    return std::make_unique<RealCalls>();
}

ScanCode StandardScanCode(std::uint8_t virtualKey) {
    return kScanCodeByVirtualKey[virtualKey];
}

Win32Injector::Win32Injector(std::unique_ptr<Win32KeyboardCalls> calls) : Calls(std::move(calls)) {
    assert(Calls && "the injector needs the calls to make");
}

void Win32Injector::KeyEvent(std::uint8_t virtualKey, bool down) {
    const ScanCode standard = StandardScanCode(virtualKey);
    // The layout knows where its keys are (the Z of a German keyboard is the US Y key); some
    // systems leave keys out, keypad keys under Wine for one.
    const std::uint32_t mapped = Calls->MapVirtualKeyCode(virtualKey, MAPVK_VK_TO_VSC) & 0xFF;
    const auto scanCode = static_cast<std::uint8_t>(mapped != 0 ? mapped : standard.Code);
    DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
    // The flag belongs to the standard key's code: a layout that names another code for the
    // key (Print Screen as Alt+SysRq's 0x54) means that plain code.
    if (standard.Extended && scanCode == standard.Code) flags |= KEYEVENTF_EXTENDEDKEY;
    Calls->KeybdEvent(virtualKey, scanCode, flags, 0);
}

}  // namespace qel
