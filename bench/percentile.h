#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace qel::bench {

// The value below which fraction (0-1) of values lie; 0 for none. Reorders values.
inline double Percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index),
                     values.end());
    return values[index];
}

}  // namespace qel::bench
