#pragma once

#include <cstdint>

#include "translate/keylayout.h"

namespace qel {

// The US English layout (00000409) as VkKeyScanA answers for it, from a fixed table, so
// key text reads and writes the same on every machine. Letters of either case give 0x41-0x5A with
// the shift state in the high byte; bytes from 0x80 up give 0xFFFF.
class UsEnglishLayout final : public KeyLayout {
public:
    [[nodiscard]] std::uint16_t VkKeyScan(char character) const override;
    [[nodiscard]] char UnshiftedCharacter(std::uint8_t virtualKey) const override;
};

}  // namespace qel
