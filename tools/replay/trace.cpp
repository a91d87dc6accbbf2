#include "tools/replay/trace.h"

#include <charconv>
#include <limits>
#include <optional>
#include <vector>

#include "keymap/bindingslot.h"
#include "translate/catalogue.h"

namespace qel::replay {
namespace {

constexpr std::size_t kMaxReportBytes = kReceiveBufferSize;
constexpr std::size_t kMaxByteDigits = 2;
constexpr std::size_t kMaxCodeDigits = 4;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

// Decimal digits only; values beyond int range are kept as "out of range" by saturating.
std::optional<long long> ParseDecimal(std::string_view word) {
    // Leading zeros add nothing to the value, so they do not count towards its size.
    while (word.size() > 1 && word.front() == '0') word.remove_prefix(1);
    if (word.empty() || word.size() > 18) {
        if (word.empty()) return std::nullopt;
        for (char c : word) {
            if (c < '0' || c > '9') return std::nullopt;
        }
        return std::numeric_limits<long long>::max();
    }
    long long value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc{} || end != word.data() + word.size() || word.front() == '-') {
        return std::nullopt;
    }
    return value;
}

std::optional<unsigned> ParseHex(std::string_view word, std::size_t maxDigits) {
    if (word.empty() || word.size() > maxDigits) return std::nullopt;
    unsigned value = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
    return value;
}

Result<TraceLine> ParseReport(const std::vector<std::string_view>& words) {
    if (words.size() < 2) return Failure{"report needs a product ID"};
    auto productId = ParseDecimal(words[1]);
    if (!productId) return Failure{"product ID " + Quoted(words[1]) + " is not a number"};
    if (words.size() - 2 > kMaxReportBytes) {
        return Failure{"more than " + std::to_string(kMaxReportBytes) + " report bytes"};
    }
    ReportCommand report;
    report.ProductId = *productId > std::numeric_limits<int>::max()
                           ? std::numeric_limits<int>::max()
                           : static_cast<int>(*productId);
    for (std::size_t i = 2; i < words.size(); ++i) {
        auto byte = ParseHex(words[i], kMaxByteDigits);
        if (!byte) return Failure{"bad report byte " + Quoted(words[i])};
        report.Buffer[i - 2] = static_cast<std::uint8_t>(*byte);
    }
    return report;
}

Result<TraceLine> ParseWrite(const std::vector<std::string_view>& words) {
    if (words.size() != 4) return Failure{"write needs DEV SLOT CODE"};
    auto device = ParseDecimal(words[1]);
    if (!device) return Failure{"bad device index " + Quoted(words[1])};
    if (*device < 0 || *device >= kDeviceCount) {
        return Failure{"device index " + std::string(words[1]) + " is outside 0-5"};
    }
    auto slot = ParseDecimal(words[2]);
    if (!slot) return Failure{"bad slot " + Quoted(words[2])};
    const int deviceIndex = static_cast<int>(*device);
    if (*slot > kBezelSlotCount || !IsNamedBindingSlot(deviceIndex, static_cast<int>(*slot))) {
        return Failure{"slot " + std::string(words[2]) + " is not a binding of device " +
                       std::to_string(deviceIndex)};
    }
    auto code = ParseHex(words[3], kMaxCodeDigits);
    if (!code) return Failure{"bad key code " + Quoted(words[3])};
    if (*code > static_cast<unsigned>(kKeyCodeMask)) {
        return Failure{"key code " + std::string(words[3]) + " is above 7FF"};
    }
    return WriteCommand{deviceIndex, static_cast<int>(*slot), static_cast<KeyCode>(*code)};
}

}  // namespace

Result<TraceLine> ParseTraceLine(std::string_view line) {
    std::vector<std::string_view> words = SplitWords(line);
    if (words.empty() || words.front().front() == '#') return BlankLine{};
    const std::string_view verb = words.front();
    if (verb == "report") return ParseReport(words);
    if (verb == "keys") {
        if (words.size() == 2 && words[1] == "on") return KeysCommand{true};
        if (words.size() == 2 && words[1] == "off") return KeysCommand{false};
        return Failure{"keys needs 'on' or 'off'"};
    }
    if (verb == "write") return ParseWrite(words);
    if (verb == "clear-all") {
        if (words.size() != 1) return Failure{"clear-all takes no arguments"};
        return ClearAllCommand{};
    }
    if (verb == "import") {
        if (words.size() < 2) return Failure{"import needs a file name"};
        // The file name is the rest of the line, so names with blanks work.
        std::size_t start = static_cast<std::size_t>(words[1].data() - line.data());
        std::size_t end =
            static_cast<std::size_t>(words.back().data() - line.data()) + words.back().size();
        return ImportCommand{std::string(line.substr(start, end - start))};
    }
    return Failure{"unknown word " + Quoted(verb)};
}

}  // namespace qel::replay
