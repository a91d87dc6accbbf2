#pragma once

#include <memory>

#include "keymap/fileaccess.h"

namespace qel {

// The file access of the platform the program was built for.
[[nodiscard]] std::unique_ptr<FileAccess> CreateFileAccess();

}  // namespace qel
