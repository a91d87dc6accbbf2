#include "platform/unsent_key_log.h"

#include <cstdio>
#include <string>

namespace qel {

void UnsentKeyLog::Report(std::uint8_t virtualKey, std::string_view reason) {
    if (Reported.test(virtualKey)) return;
    Reported.set(virtualKey);
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(virtualKey));
    std::string line = "Key ";
    line += code;
    line += " not sent: ";
    line += reason;
    Log.AppendLine(line);
}

}  // namespace qel
