#pragma once

#include <array>
#include <cstdint>

namespace qel {

// A keyboard layout, both ways: character to key as VkKeyScanA answers, and key to the
// character it types unshifted. Key text is read and written through one layout, so the two
// answers must come from the same layout at the same moment. Any thread.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    // (shift state << 8) | virtual-key code; 0xFFFF for a character the layout cannot type.
    [[nodiscard]] virtual std::uint16_t VkKeyScan(char character) const = 0;
    // The first character in code order of '!'..'~', '+' left out, whose VkKeyScan answer is
    // virtualKey with no shift state; '\0' when there is none.
    [[nodiscard]] virtual char UnshiftedCharacter(std::uint8_t virtualKey) const = 0;
};

// UnshiftedCharacter for every virtual-key code, indexed by the code.
using UnshiftedCharacterTable = std::array<char, 256>;

// The table a layout's VkKeyScan answers give (scan: char -> answer). '+' separates the
// tokens of key text, so a key written as "+" would read back as no key: it is never chosen.
template <typename Scan>
constexpr UnshiftedCharacterTable FindUnshiftedCharacters(Scan scan) {
    UnshiftedCharacterTable table{};
    for (int character = '!'; character <= '~'; ++character) {
        if (character == '+') {
            continue;
        }
        const std::uint16_t answer = scan(static_cast<char>(character));
        // A shift state, or 0xFFFF for no key at all, disqualifies the character.
        if ((answer & 0xFF00) != 0) {
            continue;
        }
        char& first = table[answer & 0xFF];
        if (first == '\0') {
            first = static_cast<char>(character);
        }
    }
    return table;
}

}  // namespace qel
