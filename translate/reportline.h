#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "translate/report.h"
#include "translate/result.h"

// The report line of the text scripts that stand in for panels (the replay trace's
// "report PID B0 B1 ..." and the virtual panels' "at MS report PID B0 B1 ...").
namespace qel {

// The words of a line, split at blanks (space, tab, CR, VT, FF).
[[nodiscard]] std::vector<std::string_view> SplitWords(std::string_view line);

// Decimal digits only; leading zeros add nothing, and a value beyond long long reads as its
// largest value. Nothing for a word that is not such a number (a sign included).
[[nodiscard]] std::optional<long long> ParseDecimal(std::string_view word);

// One to maxDigits hex digits; nothing otherwise.
[[nodiscard]] std::optional<unsigned> ParseHex(std::string_view word, std::size_t maxDigits);

struct ReportLine {
    int ProductId = 0;  // any decimal number; beyond int it reads as the largest int
    std::array<std::uint8_t, kReceiveBufferSize> Bytes{};  // from byte 0 (report ID), rest zero
    std::size_t Count = 0;                                 // bytes given, 0 to 128
};

// Reads the words after "report": a product ID, then bytes of one or two hex digits.
[[nodiscard]] Result<ReportLine> ReadReportLine(std::span<const std::string_view> words);

}  // namespace qel
