#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qel {

// The receive buffer of one input report: byte 0 report ID, byte 1 report type, payload
// from byte 2. Every HID back end delivers reports in this form and size.
inline constexpr std::size_t kReceiveBufferSize = 128;
inline constexpr std::size_t kReportTypeOffset = 1;
inline constexpr std::size_t kPayloadOffset = 2;
using ReceiveBuffer = std::span<const std::uint8_t, kReceiveBufferSize>;

}  // namespace qel
