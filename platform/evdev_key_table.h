#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/xkb_unshifted_keys.h"

namespace qel {

// Linux key code per virtual-key code; 0 means no key.
using EvdevKeyTable = std::array<std::uint16_t, 256>;

// Keys by position from the mapping table; letters and digits on the key that types
// them in layoutKeys, or at their US position when the layout has no such key.
[[nodiscard]] EvdevKeyTable BuildEvdevKeyTable(const UnshiftedKeys& layoutKeys);

// The distinct key codes of the table, ascending: the keys a virtual keyboard needs.
[[nodiscard]] std::vector<std::uint16_t> KeysInTable(const EvdevKeyTable& table);

}  // namespace qel
