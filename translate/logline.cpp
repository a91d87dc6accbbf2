#include "translate/logline.h"

#include <array>
#include <charconv>

namespace qel {

namespace {

void AppendNumber(std::string& line, int number) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    line.append(digits.data(), result.ptr);
}

// Everything up to and including the ", " before the key text.
void BeginPlace(std::string& line, const ControlPlace& place) {
    line.clear();
    line += NamesOf(place.Unit).LogPrefix;
    AppendNumber(line, place.Unit.Index);
    line += ' ';
    line += place.Word;
    line += " '";
    line += place.Name;
    line += "' (#";
    AppendNumber(line, place.Number);
    line += "), ";
}

// Everything up to and including the opening quote of the key text.
void BeginLine(std::string& line, const ControlPlace& place) {
    BeginPlace(line, place);
    line += "Key=('";
}

constexpr std::string_view kLineEnd = "')";

}  // namespace

void FormatControlLine(std::string& line, const ControlPlace& place, KeyCode key,
                       const KeyLayout& layout) {
    BeginLine(line, place);
    AppendKeyCodeText(line, key, layout);
    line += kLineEnd;
}

void FormatRotaryLine(std::string& line, const ControlPlace& place, KeyCode incrKey,
                      KeyCode decrKey, const KeyLayout& layout) {
    BeginLine(line, place);
    AppendKeyCodeText(line, incrKey, layout);
    line += '/';
    AppendKeyCodeText(line, decrKey, layout);
    line += kLineEnd;
}

void FormatCommandLine(std::string& line, const ControlPlace& place, const CommandOutput& output,
                       ControlEvent event) {
    BeginPlace(line, place);
    output.AppendLogText(line, event);
}

}  // namespace qel
