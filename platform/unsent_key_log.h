#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>

#include "base/logsink.h"

namespace qel {

// Tells the log, once per virtual-key code, that a key was not sent and why, so a
// binding pressed a hundred times leaves one line. Main thread only; log must outlive it.
class UnsentKeyLog {
public:
    explicit UnsentKeyLog(LogSink& log) : Log(log) {}

    // Appends "Key 0x5A not sent: <reason>" the first time for that code; later calls do nothing.
    void Report(std::uint8_t virtualKey, std::string_view reason);

private:
    LogSink& Log;
    std::bitset<256> Reported;
};

}  // namespace qel
