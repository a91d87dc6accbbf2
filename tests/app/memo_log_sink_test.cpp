#include "app/memo_log_sink.h"

#include <string>

#include <QPlainTextEdit>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace qel {
namespace {

std::string FirstLine(const QPlainTextEdit& memo) {
    return memo.document()->firstBlock().text().toStdString();
}

TEST(TrimMemo, KeepsOnlyTheNewestLinesAndLeavesShortLogsAlone) {
    struct Case {
        int Lines;
        int ExpectedCount;
        std::string ExpectedFirst;
    };
    const Case cases[]{
        {0, 0, ""}, {1, 1, "line 1"}, {25, 25, "line 1"}, {26, 25, "line 2"}, {60, 25, "line 36"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Lines);
        QPlainTextEdit memo;
        MemoLog log(memo);
        for (int i = 1; i <= c.Lines; ++i) {
            log.AppendLine("line " + std::to_string(i));
        }
        TrimMemo(memo, 25);
        EXPECT_EQ(MemoLineCount(memo), c.ExpectedCount);
        EXPECT_EQ(FirstLine(memo), c.ExpectedFirst);
        if (c.Lines > 0) {
            EXPECT_EQ(memo.document()->lastBlock().text().toStdString(),
                      "line " + std::to_string(c.Lines));
        }
    }
}

TEST(MemoLog, BytesThatAreNotUtf8StillMakeOneLine) {
    QPlainTextEdit memo;
    MemoLog log(memo);
    log.AppendLine("Unknown key '\xff\xfe' found in config");
    EXPECT_EQ(MemoLineCount(memo), 1);
    EXPECT_TRUE(memo.toPlainText().startsWith("Unknown key '"));
}

}  // namespace
}  // namespace qel
