#pragma once

#include <QPlainTextEdit>

namespace qel {

// The log memo. It keeps its designed size even where the window shows only part of it, so
// its lines wrap at the part that shows and a long line can be read in full.
class TLogMemo final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

    // Lines wrap visibleWidth pixels from the memo's left edge; the memo's size is unchanged.
    void WrapWithin(int visibleWidth);
};

}  // namespace qel
