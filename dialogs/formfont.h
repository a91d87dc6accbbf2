#pragma once

#include <QFont>

namespace qel {

// The font of every dialog: MS Sans Serif at 11 pixels, or the closest sans serif the
// system has. The fixed layouts are measured for it.
[[nodiscard]] QFont FormFont();

}  // namespace qel
