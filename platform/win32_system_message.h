#pragma once

#include <string>

namespace qel {

// The system's own words for a Windows error code (GetLastError), in the machine's language and
// without the final ".\r\n"; "error N" when the system has none. Windows only.
[[nodiscard]] std::string SystemMessage(unsigned long error);

}  // namespace qel
