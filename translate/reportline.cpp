#include "translate/reportline.h"

#include <limits>
#include <string>

namespace qel {
namespace {

constexpr std::size_t kMaxByteDigits = 2;

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

}  // namespace

Result<ReportLine> ReadReportLine(std::span<const std::string_view> words) {
    if (words.empty()) return Failure{"report needs a product ID"};
    const std::optional<long long> productId = ParseDecimal(words[0]);
    if (!productId) return Failure{"product ID " + Quoted(words[0]) + " is not a number"};
    const std::span<const std::string_view> bytes = words.subspan(1);
    ReportLine report;
    if (bytes.size() > report.Bytes.size()) {
        return Failure{"more than " + std::to_string(report.Bytes.size()) + " report bytes"};
    }
    report.ProductId = *productId > std::numeric_limits<int>::max()
                           ? std::numeric_limits<int>::max()
                           : static_cast<int>(*productId);
    for (const std::string_view word : bytes) {
        const std::optional<unsigned> byte = ParseHex(word, kMaxByteDigits);
        if (!byte) return Failure{"bad report byte " + Quoted(word)};
        report.Bytes[report.Count++] = static_cast<std::uint8_t>(*byte);
    }
    return report;
}

}  // namespace qel
