#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/uinput_injector.h"

namespace qel {

struct UinputOpenResult {
    std::unique_ptr<VirtualKeyboard> Device;  // null on failure
    std::string Error;  // "/dev/uinput: cannot create a keyboard (Permission denied)"
};

// Creates a virtual keyboard through devicePath (normally /dev/uinput) that has
// exactly the given Linux key codes and a Num Lock light. The keyboard lives as long
// as the returned object.
[[nodiscard]] UinputOpenResult OpenUinputKeyboard(std::span<const std::uint16_t> keys,
                                                  const std::string& devicePath);

// Reads every event the system has written to a uinput keyboard so far from its
// non-blocking descriptor and returns the Num Lock light after them: lit as given
// when none of them sets it.
[[nodiscard]] bool LatestNumLockLight(int uinputFd, bool lit);

}  // namespace qel
