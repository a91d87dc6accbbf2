#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qel {

// One line of a virtual panel script:
//   at MS plug PID            a panel (vendor 0x0D59) arrives
//   at MS unplug PID          it goes
//   at MS report PID B0 B1 .. it sends one input report (hex bytes from the report ID on)
//   at MS plug-other VID PID  a device of another vendor or product arrives
// MS is milliseconds after Connect; numbers are decimal, report bytes 1-2 hex digits each.
struct ScriptEvent {
    enum class Kind { Plug, Unplug, Report, PlugOther };
    Kind What = Kind::Plug;
    std::uint32_t AtMs = 0;
    int VendorId = 0;
    int ProductId = 0;
    std::vector<std::uint8_t> Bytes;  // Report only: 1 to 128 bytes
};

// A line that could not be used, with its 1-based number.
struct ScriptProblem {
    int LineNumber = 0;
    std::string Reason;
};

struct PanelScript {
    std::vector<ScriptEvent> Events;      // in time order
    std::vector<ScriptProblem> Problems;  // one per skipped line
};

// Parses a whole script. Blank lines and lines starting with '#' are ignored. A malformed line,
// or one earlier in time than the line before it, is skipped and named in Problems; the rest of
// the script is still used.
[[nodiscard]] PanelScript ParsePanelScript(std::string_view text);

}  // namespace qel
