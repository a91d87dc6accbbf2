#include "core/session_log.h"

namespace qel {

void SessionLog::AppendLine(std::string_view line) {
    Lines.emplace_back(line);
    Added(line);
}

std::size_t SessionLog::Trim() {
    std::size_t dropped = 0;
    while (Lines.size() > kKeptLines) {
        Lines.pop_front();
        ++dropped;
    }
    return dropped;
}

}  // namespace qel
