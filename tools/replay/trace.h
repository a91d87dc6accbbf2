#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "translate/keycode.h"
#include "base/result.h"
#include "translate/translator.h"
#include "translate/units.h"

// The trace language of qel1000replay: one command a line.
namespace qel::replay {

struct BlankLine {};

// `report PID B0 B1 ...`: the receive buffer from byte 0, the rest zero.
struct ReportCommand {
    int ProductId = 0;  // any number; only 684-689 reach a unit
    std::array<std::uint8_t, kReceiveBufferSize> Buffer{};
};

// `keys on` / `keys off`.
struct KeysCommand {
    bool Enabled = true;
};

// `write DEV SLOT CODE`, DEV the device index 0-5 (bezel units 0-3, then audio units 0-1).
struct WriteCommand {
    UnitId Unit;
    int Slot = 0;
    KeyCode Code = 0;
};

// `clear-all`.
struct ClearAllCommand {};

// `import FILE`.
struct ImportCommand {
    std::string FileName;
};

using TraceLine = std::variant<BlankLine, ReportCommand, KeysCommand, WriteCommand, ClearAllCommand,
                               ImportCommand>;

// Parses one line (without its line break). Never throws; bad input fails with what is
// wrong. Whether an import file exists is checked when it runs.
Result<TraceLine> ParseTraceLine(std::string_view line);

}  // namespace qel::replay
