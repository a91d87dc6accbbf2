#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "base/logsink.h"

namespace qel {

// The program's log: every line is handed at once to whoever shows it, and the log keeps the
// newest 25. Lines beyond 25 stay until Trim, which the main window runs on its 30 ms timer, so
// a burst is seen whole before it is cut back. Main thread only.
class SessionLog final : public LogSink {
public:
    // The lines the log keeps after a trim.
    static constexpr std::size_t kKeptLines = 25;

    // Hears each line as it is added.
    using LineWatcher = std::function<void(std::string_view line)>;
    explicit SessionLog(LineWatcher added) : Added(std::move(added)) {}

    void AppendLine(std::string_view line) override;

    // Drops the oldest lines down to kKeptLines; returns how many went.
    std::size_t Trim();
    [[nodiscard]] const std::deque<std::string>& Held() const { return Lines; }

private:
    std::deque<std::string> Lines;
    LineWatcher Added;
};

}  // namespace qel
