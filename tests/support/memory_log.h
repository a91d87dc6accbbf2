#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/logsink.h"

namespace qel::test {

// Keeps every log line, in order.
class MemoryLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override { Lines.emplace_back(line); }
    std::vector<std::string> Lines;
};

}  // namespace qel::test
