#pragma once

#include <string>
#include <string_view>

#include "translate/commandoutput.h"
#include "translate/keycode.h"
#include "translate/units.h"

namespace qel {

// The control word of a log line.
inline constexpr std::string_view kButtonWord = "Button";
inline constexpr std::string_view kRotaryWord = "Rotary";
inline constexpr std::string_view kPanWord = "Pan";

// Where a log line's control sits: e.g. bezel unit 1, "Button", "softkey_3", number 15. The
// line names the unit by its log word and its number among its kind ("G1000-1").
struct ControlPlace {
    UnitId Unit;
    std::string_view Word;
    std::string_view Name;
    int Number = 0;
};

// Replaces line with "<prefix><unit> <word> '<name>' (#<number>), Key=('<key>')", the key
// text as layout writes it.
void FormatControlLine(std::string& line, const ControlPlace& place, KeyCode key,
                       const KeyLayout& layout);

// The same with "<increment>/<decrement>" as the key text, the increment binding first.
void FormatRotaryLine(std::string& line, const ControlPlace& place, KeyCode incrKey,
                      KeyCode decrKey, const KeyLayout& layout);

// The line of a control that sends a command: "<place>, " then the output's text in place
// of the key text.
void FormatCommandLine(std::string& line, const ControlPlace& place, const CommandOutput& output,
                       ControlEvent event);

}  // namespace qel
