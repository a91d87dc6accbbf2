#include "hid/panel_script.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "translate/catalogue.h"
#include "translate/reportline.h"
#include "base/result.h"

namespace qel {
namespace {

constexpr int kMaxUsbId = 0xFFFF;

// Decimal digits only: a sign makes no USB ID.
std::optional<int> ParseUsbId(std::string_view word) {
    const std::optional<long long> id = ParseDecimal(word);
    if (!id || *id > kMaxUsbId) return std::nullopt;
    return static_cast<int>(*id);
}

// "report PID B0 B1 ..." after the time: one input report of 1 to 128 bytes.
Result<ScriptEvent> ParseReport(ScriptEvent event, std::span<const std::string_view> words) {
    Result<ReportLine> read = ReadReportLine(words);
    if (!read) return Failure{read.Error()};
    const ReportLine& report = read.Value();
    if (report.ProductId > kMaxUsbId) {
        return Failure{"bad product ID '" + std::string(words[0]) + "'"};
    }
    if (report.Count == 0) return Failure{"a report has 1 to 128 bytes"};
    event.What = ScriptEvent::Kind::Report;
    event.VendorId = kPanelVendorId;
    event.ProductId = report.ProductId;
    event.Bytes.assign(report.Bytes.begin(),
                       report.Bytes.begin() + static_cast<std::ptrdiff_t>(report.Count));
    return event;
}

Result<ScriptEvent> ParseLine(std::span<const std::string_view> words) {
    if (words.size() < 3 || words[0] != "at") {
        return Failure{"expected 'at MS plug|unplug|report|plug-other ...'"};
    }
    ScriptEvent event;
    const std::optional<long long> atMs = ParseDecimal(words[1]);
    if (!atMs || *atMs > UINT32_MAX) {
        return Failure{"bad time '" + std::string(words[1]) + "'"};
    }
    event.AtMs = static_cast<std::uint32_t>(*atMs);
    const std::string_view verb = words[2];

    if (verb == "plug-other") {
        if (words.size() != 5) {
            return Failure{"plug-other takes a vendor ID and a product ID"};
        }
        const auto vendor = ParseUsbId(words[3]);
        const auto product = ParseUsbId(words[4]);
        if (!vendor || !product) {
            return Failure{"bad vendor or product ID"};
        }
        event.What = ScriptEvent::Kind::PlugOther;
        event.VendorId = *vendor;
        event.ProductId = *product;
        return event;
    }

    if (words.size() < 4) {
        return Failure{std::string(verb) + " takes a product ID"};
    }
    if (verb == "report") {
        return ParseReport(event, words.subspan(3));
    }
    const auto product = ParseUsbId(words[3]);
    if (!product) {
        return Failure{"bad product ID '" + std::string(words[3]) + "'"};
    }
    event.VendorId = kPanelVendorId;
    event.ProductId = *product;

    if (verb == "plug" || verb == "unplug") {
        if (words.size() != 4) {
            return Failure{std::string(verb) + " takes only a product ID"};
        }
        event.What = verb == "plug" ? ScriptEvent::Kind::Plug : ScriptEvent::Kind::Unplug;
        return event;
    }
    return Failure{"unknown event '" + std::string(verb) + "'"};
}

}  // namespace

PanelScript ParsePanelScript(std::string_view text) {
    PanelScript script;
    int lineNumber = 0;
    std::uint32_t lastMs = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;

        const auto words = SplitWords(line);
        if (words.empty() || words[0].starts_with('#')) {
            continue;
        }
        Result<ScriptEvent> result = ParseLine(words);
        if (result && result.Value().AtMs < lastMs) {
            result = Failure{"time goes backwards (" + std::to_string(result.Value().AtMs) +
                             " after " + std::to_string(lastMs) + ")"};
        }
        if (!result) {
            script.Problems.push_back({lineNumber, result.Error()});
            continue;
        }
        lastMs = result.Value().AtMs;
        script.Events.push_back(std::move(result).Value());
    }
    return script;
}

}  // namespace qel
