#pragma once

#include <algorithm>

namespace qel {

// A table with one row per virtual-key code, in ascending order: a code written twice or out of
// place is caught when the table is compiled.
template <typename Rows>
constexpr bool AscendingByVirtualKey(const Rows& rows) {
    return std::ranges::adjacent_find(rows, [](const auto& before, const auto& after) {
               return before.VirtualKey >= after.VirtualKey;
           }) == std::ranges::end(rows);
}

}  // namespace qel
