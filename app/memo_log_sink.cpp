#include "app/memo_log_sink.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace qel {

void MemoLog::AppendLine(std::string_view line) {
    // Key text comes from hand-edited files: bytes that are not UTF-8 show as replacement
    // characters rather than being dropped.
    Memo.appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

int MemoLineCount(const QPlainTextEdit& memo) {
    const QTextDocument& document = *memo.document();
    // A document always holds one block, even when nothing was ever written.
    if (document.isEmpty()) {
        return 0;
    }
    return document.blockCount();
}

void TrimMemo(QPlainTextEdit& memo, int maxLines) {
    const int excess = MemoLineCount(memo) - maxLines;
    if (excess <= 0) {
        return;
    }
    // One edit for all excess lines keeps the view from redrawing once per line.
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, excess);
    cursor.removeSelectedText();
}

}  // namespace qel
