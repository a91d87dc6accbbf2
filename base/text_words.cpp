#include "base/text_words.h"

#include <charconv>
#include <limits>

namespace qel {
namespace {

// More digits than this may not fit a long long; the value then saturates.
constexpr std::size_t kMaxExactDigits = 18;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::optional<long long> ParseDecimal(std::string_view word) {
    if (word.empty()) return std::nullopt;
    for (char c : word) {
        if (!IsDigit(c)) return std::nullopt;
    }
    while (word.size() > 1 && word.front() == '0') word.remove_prefix(1);
    if (word.size() > kMaxExactDigits) return std::numeric_limits<long long>::max();
    long long value = 0;
    std::from_chars(word.data(), word.data() + word.size(), value);
    return value;
}

std::optional<unsigned> ParseHex(std::string_view word, std::size_t maxDigits) {
    if (word.empty() || word.size() > maxDigits) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (error != std::errc{} || end != word.data() + word.size()) return std::nullopt;
    return value;
}

}  // namespace qel
