#include "tools/replay/trace.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "keymap/bindingslot.h"
#include "translate/catalogue.h"
#include "translate/reportline.h"

namespace qel::replay {
namespace {

constexpr std::size_t kMaxCodeDigits = 4;

std::string Quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

Result<TraceLine> ParseReport(std::span<const std::string_view> words) {
    Result<ReportLine> read = ReadReportLine(words.subspan(1));
    if (!read) return Failure{read.Error()};
    return ReportCommand{read.Value().ProductId, read.Value().Bytes};
}

Result<TraceLine> ParseWrite(std::span<const std::string_view> words) {
    if (words.size() != 4) return Failure{"write needs DEV SLOT CODE"};
    auto device = ParseDecimal(words[1]);
    if (!device) return Failure{"bad device index " + Quoted(words[1])};
    const std::optional<UnitId> unit =
        *device < kDeviceCount ? UnitId::FromDeviceIndex(static_cast<int>(*device)) : std::nullopt;
    if (!unit) {
        return Failure{"device index " + std::string(words[1]) + " is outside 0-5"};
    }
    auto slot = ParseDecimal(words[2]);
    if (!slot) return Failure{"bad slot " + Quoted(words[2])};
    if (*slot > kBezelSlotCount || !IsNamedBindingSlot(*unit, static_cast<int>(*slot))) {
        return Failure{"slot " + std::string(words[2]) + " is not a binding of device " +
                       std::to_string(unit->DeviceIndex())};
    }
    auto code = ParseHex(words[3], kMaxCodeDigits);
    if (!code) return Failure{"bad key code " + Quoted(words[3])};
    if (*code > static_cast<unsigned>(kKeyCodeMask)) {
        return Failure{"key code " + std::string(words[3]) + " is above 7FF"};
    }
    return WriteCommand{*unit, static_cast<int>(*slot), static_cast<KeyCode>(*code)};
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
