#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "base/text_words.h"
#include "translate/report.h"

// The report line of the text scripts that stand in for panels (the replay trace's
// "report PID B0 B1 ..." and the virtual panels' "at MS report PID B0 B1 ...").
namespace qel {

struct ReportLine {
    int ProductId = 0;  // any decimal number; beyond int it reads as the largest int
    std::array<std::uint8_t, kReceiveBufferSize> Bytes{};  // from byte 0 (report ID), rest zero
    std::size_t Count = 0;                                 // bytes given, 0 to 128
};

// Reads the words after "report": a product ID, then bytes of one or two hex digits.
[[nodiscard]] Result<ReportLine> ReadReportLine(std::span<const std::string_view> words);

}  // namespace qel
