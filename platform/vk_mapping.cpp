#include "platform/vk_mapping.h"
#include "platform/virtual_key_rows.h"

#include <array>
#include <cstddef>

namespace qel {
namespace {

constexpr auto P = KeyPlacement::ByPosition;
constexpr auto L = KeyPlacement::ByLayout;
constexpr auto N = KeypadLevel::Number;

// Key codes are the numbers of linux/input-event-codes.h and keysyms those of
// X11/keysymdef.h, written out so this table builds on every platform.
constexpr std::array kMappings = std::to_array<VkKeyMapping>({
    {0x08, 14, 0xFF08, P},  // Backspace: KEY_BACKSPACE, BackSpace
    {0x09, 15, 0xFF09, P},  // TAB: KEY_TAB, Tab
    // Windows reports CLEAR for keypad 5 with Num Lock off, so it is that key.
    {0x0C, 76, 0xFF9D, P, KeypadLevel::Navigation},  // CLEAR: KEY_KP5, KP_Begin

    {0x0D, 28, 0xFF0D, P},   // ENTER: KEY_ENTER, Return
    {0x10, 42, 0xFFE1, P},   // Shift: KEY_LEFTSHIFT, Shift_L
    {0x11, 29, 0xFFE3, P},   // Ctrl: KEY_LEFTCTRL, Control_L
    {0x12, 56, 0xFFE9, P},   // Alt: KEY_LEFTALT, Alt_L
    {0x13, 119, 0xFF13, P},  // Pause: KEY_PAUSE, Pause
    {0x14, 58, 0xFFE5, P},   // Caps Lock: KEY_CAPSLOCK, Caps_Lock
    {0x1B, 1, 0xFF1B, P},    // ESC: KEY_ESC, Escape
    {0x20, 57, 0x0020, P},   // SPACE: KEY_SPACE, space
    {0x21, 104, 0xFF55, P},  // PAGEUP: KEY_PAGEUP, Prior
    {0x22, 109, 0xFF56, P},  // PAGEDOWN: KEY_PAGEDOWN, Next
    {0x23, 107, 0xFF57, P},  // END: KEY_END, End
    {0x24, 102, 0xFF50, P},  // HOME: KEY_HOME, Home
    {0x25, 105, 0xFF51, P},  // LEFT: KEY_LEFT, Left
    {0x26, 103, 0xFF52, P},  // UP: KEY_UP, Up
    {0x27, 106, 0xFF53, P},  // RIGHT: KEY_RIGHT, Right
    {0x28, 108, 0xFF54, P},  // DOWN: KEY_DOWN, Down
    {0x2C, 99, 0xFF61, P},   // Print Screen: KEY_SYSRQ, Print
    {0x2D, 110, 0xFF63, P},  // INSERT: KEY_INSERT, Insert
    {0x2E, 111, 0xFFFF, P},  // DELETE: KEY_DELETE, Delete
    {0x30, 11, 0x0030, L},   // 0: KEY_0
    {0x31, 2, 0x0031, L},    // 1: KEY_1
    {0x32, 3, 0x0032, L},
    {0x33, 4, 0x0033, L},
    {0x34, 5, 0x0034, L},
    {0x35, 6, 0x0035, L},
    {0x36, 7, 0x0036, L},
    {0x37, 8, 0x0037, L},
    {0x38, 9, 0x0038, L},
    {0x39, 10, 0x0039, L},   // 9: KEY_9
    {0x41, 30, 0x0061, L},   // A: KEY_A, a
    {0x42, 48, 0x0062, L},   // B
    {0x43, 46, 0x0063, L},   // C
    {0x44, 32, 0x0064, L},   // D
    {0x45, 18, 0x0065, L},   // E
    {0x46, 33, 0x0066, L},   // F
    {0x47, 34, 0x0067, L},   // G
    {0x48, 35, 0x0068, L},   // H
    {0x49, 23, 0x0069, L},   // I
    {0x4A, 36, 0x006A, L},   // J
    {0x4B, 37, 0x006B, L},   // K
    {0x4C, 38, 0x006C, L},   // L
    {0x4D, 50, 0x006D, L},   // M
    {0x4E, 49, 0x006E, L},   // N
    {0x4F, 24, 0x006F, L},   // O
    {0x50, 25, 0x0070, L},   // P
    {0x51, 16, 0x0071, L},   // Q
    {0x52, 19, 0x0072, L},   // R
    {0x53, 31, 0x0073, L},   // S
    {0x54, 20, 0x0074, L},   // T
    {0x55, 22, 0x0075, L},   // U
    {0x56, 47, 0x0076, L},   // V
    {0x57, 17, 0x0077, L},   // W
    {0x58, 45, 0x0078, L},   // X
    {0x59, 21, 0x0079, L},   // Y
    {0x5A, 44, 0x007A, L},   // Z
    {0x5B, 125, 0xFFEB, P},  // left Windows: KEY_LEFTMETA, Super_L
    {0x5C, 126, 0xFFEC, P},  // right Windows: KEY_RIGHTMETA, Super_R
    {0x5D, 127, 0xFF67, P},  // Apps: KEY_COMPOSE, Menu
    // The keypad digits type KP_n only with Num Lock on; the back ends see to that.
    {0x60, 82, 0xFFB0, P, N},  // NUMPAD0: KEY_KP0, KP_0
    {0x61, 79, 0xFFB1, P, N},  // NUMPAD1: KEY_KP1
    {0x62, 80, 0xFFB2, P, N},  // NUMPAD2: KEY_KP2
    {0x63, 81, 0xFFB3, P, N},  // NUMPAD3: KEY_KP3
    {0x64, 75, 0xFFB4, P, N},  // NUMPAD4: KEY_KP4
    {0x65, 76, 0xFFB5, P, N},  // NUMPAD5: KEY_KP5
    {0x66, 77, 0xFFB6, P, N},  // NUMPAD6: KEY_KP6
    {0x67, 71, 0xFFB7, P, N},  // NUMPAD7: KEY_KP7
    {0x68, 72, 0xFFB8, P, N},  // NUMPAD8: KEY_KP8
    {0x69, 73, 0xFFB9, P, N},  // NUMPAD9: KEY_KP9
    {0x6A, 55, 0xFFAA, P},     // ASTERISK: KEY_KPASTERISK, KP_Multiply
    {0x6B, 78, 0xFFAB, P},     // PLUS: KEY_KPPLUS, KP_Add
    // No US key types KP_Separator; the keypad comma key is where keyboards put it.
    {0x6C, 121, 0xFFAC, P},    // SEPARATOR: KEY_KPCOMMA, KP_Separator
    {0x6D, 74, 0xFFAD, P},     // DASH: KEY_KPMINUS, KP_Subtract
    {0x6E, 83, 0xFFAE, P, N},  // DECIMAL: KEY_KPDOT, KP_Decimal
    {0x6F, 98, 0xFFAF, P},     // SLASH: KEY_KPSLASH, KP_Divide
    {0x70, 59, 0xFFBE, P},     // F1: KEY_F1, F1
    {0x71, 60, 0xFFBF, P},
    {0x72, 61, 0xFFC0, P},
    {0x73, 62, 0xFFC1, P},
    {0x74, 63, 0xFFC2, P},
    {0x75, 64, 0xFFC3, P},
    {0x76, 65, 0xFFC4, P},
    {0x77, 66, 0xFFC5, P},
    {0x78, 67, 0xFFC6, P},
    {0x79, 68, 0xFFC7, P},   // F10: KEY_F10
    {0x7A, 87, 0xFFC8, P},   // F11: KEY_F11
    {0x7B, 88, 0xFFC9, P},   // F12: KEY_F12
    {0x7C, 183, 0xFFCA, P},  // F13: KEY_F13, F13
    {0x7D, 184, 0xFFCB, P},
    {0x7E, 185, 0xFFCC, P},
    {0x7F, 186, 0xFFCD, P},
    {0x80, 187, 0xFFCE, P},
    {0x81, 188, 0xFFCF, P},
    {0x82, 189, 0xFFD0, P},
    {0x83, 190, 0xFFD1, P},
    {0x84, 191, 0xFFD2, P},
    {0x85, 192, 0xFFD3, P},
    {0x86, 193, 0xFFD4, P},
    {0x87, 194, 0xFFD5, P},  // F24: KEY_F24, F24
    {0x90, 69, 0xFF7F, P},   // Num Lock: KEY_NUMLOCK, Num_Lock
    {0x91, 70, 0xFF14, P},   // Scroll Lock: KEY_SCROLLLOCK, Scroll_Lock
    {0xA0, 42, 0xFFE1, P},   // left Shift: KEY_LEFTSHIFT, Shift_L
    {0xA1, 54, 0xFFE2, P},   // right Shift: KEY_RIGHTSHIFT, Shift_R
    {0xA2, 29, 0xFFE3, P},   // left Ctrl: KEY_LEFTCTRL, Control_L
    {0xA3, 97, 0xFFE4, P},   // right Ctrl: KEY_RIGHTCTRL, Control_R
    {0xA4, 56, 0xFFE9, P},   // left Alt: KEY_LEFTALT, Alt_L
    {0xA5, 100, 0xFFEA, P},  // right Alt: KEY_RIGHTALT, Alt_R
    // The OEM keys are named after what they type on a US keyboard and stay on
    // that key in every layout.
    {0xBA, 39, 0x003B, P},  // OEM_1: KEY_SEMICOLON, semicolon
    {0xBB, 13, 0x003D, P},  // OEM_PLUS: KEY_EQUAL, equal
    {0xBC, 51, 0x002C, P},  // OEM_COMMA: KEY_COMMA, comma
    {0xBD, 12, 0x002D, P},  // OEM_MINUS: KEY_MINUS, minus
    {0xBE, 52, 0x002E, P},  // OEM_PERIOD: KEY_DOT, period
    {0xBF, 53, 0x002F, P},  // OEM_2: KEY_SLASH, slash
    {0xC0, 41, 0x0060, P},  // OEM_3: KEY_GRAVE, grave
    {0xDB, 26, 0x005B, P},  // OEM_4: KEY_LEFTBRACE, bracketleft
    {0xDC, 43, 0x005C, P},  // OEM_5: KEY_BACKSLASH, backslash
    {0xDD, 27, 0x005D, P},  // OEM_6: KEY_RIGHTBRACE, bracketright
    {0xDE, 40, 0x0027, P},  // OEM_7: KEY_APOSTROPHE, apostrophe
    {0xE2, 86, 0x003C, P},  // OEM_102: KEY_102ND, less
});

constexpr std::size_t kNoMapping = kMappings.size();

constexpr std::array<std::size_t, 256> kIndexByVirtualKey = [] {
    std::array<std::size_t, 256> index{};
    index.fill(kNoMapping);
    for (std::size_t i = 0; i < kMappings.size(); ++i) {
        index[kMappings[i].VirtualKey] = i;
    }
    return index;
}();

static_assert(AscendingByVirtualKey(kMappings), "one row per virtual-key code, in ascending order");

}  // namespace

const VkKeyMapping* FindVkKeyMapping(std::uint8_t virtualKey) {
    const std::size_t i = kIndexByVirtualKey[virtualKey];
    return i == kNoMapping ? nullptr : &kMappings[i];
}

std::span<const VkKeyMapping> VkKeyMappings() {
    return kMappings;
}

}  // namespace qel
