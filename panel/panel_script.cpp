#include "panel/panel_script.h"

#include <charconv>
#include <optional>

#include "panel/hidlibrary.h"

namespace qel {
namespace {

constexpr std::size_t kMaxReportBytes = kReceiveBufferSize;
constexpr int kMaxUsbId = 0xFFFF;

std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r", pos);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find_first_of(" \t\r", start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        words.push_back(line.substr(start, end - start));
        pos = end;
    }
    return words;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view word, int base, Number max) {
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (error != std::errc{} || end != word.data() + word.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseUsbId(std::string_view word) {
    return ParseNumber<int>(word, 10, kMaxUsbId);
}

struct LineResult {
    std::optional<ScriptEvent> Event;
    std::string Problem;
};

LineResult Fail(std::string reason) {
    return LineResult{std::nullopt, std::move(reason)};
}

LineResult ParseLine(const std::vector<std::string_view>& words) {
    if (words.size() < 3 || words[0] != "at") {
        return Fail("expected 'at MS plug|unplug|report|plug-other ...'");
    }
    ScriptEvent event;
    const auto atMs = ParseNumber<std::uint32_t>(words[1], 10, UINT32_MAX);
    if (!atMs) {
        return Fail("bad time '" + std::string(words[1]) + "'");
    }
    event.AtMs = *atMs;
    const std::string_view verb = words[2];

    if (verb == "plug-other") {
        if (words.size() != 5) {
            return Fail("plug-other takes a vendor ID and a product ID");
        }
        const auto vendor = ParseUsbId(words[3]);
        const auto product = ParseUsbId(words[4]);
        if (!vendor || !product) {
            return Fail("bad vendor or product ID");
        }
        event.What = ScriptEvent::Kind::PlugOther;
        event.VendorId = *vendor;
        event.ProductId = *product;
        return LineResult{event, {}};
    }

    if (words.size() < 4) {
        return Fail(std::string(verb) + " takes a product ID");
    }
    const auto product = ParseUsbId(words[3]);
    if (!product) {
        return Fail("bad product ID '" + std::string(words[3]) + "'");
    }
    event.VendorId = kPanelVendorId;
    event.ProductId = *product;

    if (verb == "plug" || verb == "unplug") {
        if (words.size() != 4) {
            return Fail(std::string(verb) + " takes only a product ID");
        }
        event.What = verb == "plug" ? ScriptEvent::Kind::Plug : ScriptEvent::Kind::Unplug;
        return LineResult{event, {}};
    }
    if (verb == "report") {
        const std::size_t count = words.size() - 4;
        if (count == 0 || count > kMaxReportBytes) {
            return Fail("a report has 1 to 128 bytes");
        }
        event.What = ScriptEvent::Kind::Report;
        for (std::size_t i = 4; i < words.size(); ++i) {
            const auto byte =
                words[i].size() <= 2 ? ParseNumber<unsigned>(words[i], 16, 0xFF) : std::nullopt;
            if (!byte) {
                return Fail("bad report byte '" + std::string(words[i]) + "'");
            }
            event.Bytes.push_back(static_cast<std::uint8_t>(*byte));
        }
        return LineResult{event, {}};
    }
    return Fail("unknown event '" + std::string(verb) + "'");
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
        LineResult result = ParseLine(words);
        if (result.Event && result.Event->AtMs < lastMs) {
            result = Fail("time goes backwards (" + std::to_string(result.Event->AtMs) + " after " +
                          std::to_string(lastMs) + ")");
        }
        if (!result.Event) {
            script.Problems.push_back({lineNumber, std::move(result.Problem)});
            continue;
        }
        lastMs = result.Event->AtMs;
        script.Events.push_back(std::move(*result.Event));
    }
    return script;
}

}  // namespace qel
