#pragma once

#include <string_view>

#include "base/logsink.h"

class QPlainTextEdit;

namespace qel {

// The log as the main window shows it: every line goes to the end of a memo. Main thread only;
// the memo must outlive the sink.
class MemoLog final : public LogSink {
public:
    explicit MemoLog(QPlainTextEdit& memo) : Memo(memo) {}
    void AppendLine(std::string_view line) override;

private:
    QPlainTextEdit& Memo;
};

// The number of lines the memo holds (an empty memo holds none).
[[nodiscard]] int MemoLineCount(const QPlainTextEdit& memo);

// Deletes the oldest lines until at most maxLines remain.
void TrimMemo(QPlainTextEdit& memo, int maxLines);

}  // namespace qel
