#include "app/log_memo_widget.h"

#include <algorithm>

namespace qel {

void TLogMemo::WrapWithin(int visibleWidth) {
    const int hidden = std::max(0, width() - std::max(0, visibleWidth));
    setViewportMargins(0, 0, hidden, 0);
}

}  // namespace qel
