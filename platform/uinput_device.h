#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/uinput_injector.h"
#include "base/result.h"

namespace qel {

// Creates a virtual keyboard through devicePath (normally /dev/uinput) that has
// exactly the given Linux key codes and a Num Lock light. The keyboard lives as long
// as the returned object. Never null on success; a failure reads e.g.
// "/dev/uinput: cannot create a keyboard (Permission denied)".
[[nodiscard]] Result<std::unique_ptr<VirtualKeyboard>> OpenUinputKeyboard(
    std::span<const std::uint16_t> keys, const std::string& devicePath);

// Reads every event the system has written to a uinput keyboard so far from its
// non-blocking descriptor and returns the Num Lock light after them: lit as given
// when none of them sets it.
[[nodiscard]] bool LatestNumLockLight(int uinputFd, bool lit);

}  // namespace qel
