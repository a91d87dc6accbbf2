#pragma once

#include <cstdint>
#include <span>

namespace qel {

// True when a HID report descriptor declares a Report ID item, i.e. the device's reports
// carry their ID in their first byte. Truncated or malformed descriptors are read as far as
// they go.
[[nodiscard]] bool DeclaresReportIds(std::span<const std::uint8_t> descriptor);

}  // namespace qel
