#pragma once

#include "keymap/keymappath.h"

namespace qel {

// The key map path in the current directory, as the system spells that directory, made in
// buffer; fixed once at start-up by the caller. The path is UTF-8, as the file access takes it.
// Windows: GetCurrentDirectoryA into the 260-byte buffer, so a directory too long for it, or one
// the system's code page cannot spell, gives no path and the reason instead. Main thread only.
[[nodiscard]] KeyMapLocation LocateKeyMapInCurrentDirectory(KeyMapPathBuffer& buffer);

}  // namespace qel
