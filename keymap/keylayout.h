#pragma once

#include <cstdint>

namespace qel {

// Character to key, as VkKeyScanA answers: (shift state << 8) | virtual-key code,
// 0xFFFF for a character the layout cannot type.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    [[nodiscard]] virtual std::uint16_t VkKeyScan(char character) const = 0;
};

}  // namespace qel
