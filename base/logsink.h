#pragma once

#include <string_view>

namespace qel {

// Appends one line to the program's log. Main thread only.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLine(std::string_view line) = 0;
};

}  // namespace qel
