#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// The words and numbers of the line-oriented text inputs: the virtual panels' scripts and the
// replay trace.
namespace qel {

// The words of a line, split at blanks (space, tab, CR, VT, FF).
[[nodiscard]] std::vector<std::string_view> SplitWords(std::string_view line);

// Decimal digits only; leading zeros add nothing, and a value beyond long long reads as its
// largest value. Nothing for a word that is not such a number (a sign included).
[[nodiscard]] std::optional<long long> ParseDecimal(std::string_view word);

// One to maxDigits hex digits; nothing otherwise.
[[nodiscard]] std::optional<unsigned> ParseHex(std::string_view word, std::size_t maxDigits);

}  // namespace qel
