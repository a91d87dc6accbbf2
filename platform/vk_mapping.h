#pragma once

#include <cstdint>
#include <span>

namespace qel {

// How a virtual-key code finds its key on a Linux keyboard.
enum class KeyPlacement : std::uint8_t {
    ByPosition,  // a fixed key, whatever the layout prints on it (F1, numpad, OEM keys)
    ByLayout,    // the key that types the character in the active layout (letters, digits)
};

// Which of its two keysyms a keypad key stands for. Those keys type one with Num Lock
// on and the other with it off, while each virtual-key code means one of them whatever
// the Num Lock state.
enum class KeypadLevel : std::uint8_t {
    Fixed,       // not such a key: the same keysym either way
    Number,      // the digit or the decimal point: typed with Num Lock on
    Navigation,  // the key's other keysym, typed with Num Lock off (CLEAR: KP_Begin)
};

// One virtual-key code with its key on a US keyboard: the Linux input key code
// (linux/input-event-codes.h; the X key code is that plus 8) and the X keysym it
// types there without modifiers. For ByLayout keys the keysym is the character to
// look for in the active layout and the key code the fallback when it has none.
struct VkKeyMapping {
    std::uint8_t VirtualKey;
    std::uint16_t EvdevCode;
    std::uint32_t Keysym;
    KeyPlacement Placement;
    KeypadLevel Keypad = KeypadLevel::Fixed;
};

// The key for a virtual-key code; null for a code with no key (it sends nothing).
[[nodiscard]] const VkKeyMapping* FindVkKeyMapping(std::uint8_t virtualKey);

// Every mapped virtual-key code, in ascending order.
[[nodiscard]] std::span<const VkKeyMapping> VkKeyMappings();

}  // namespace qel
