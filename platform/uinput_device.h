#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/uinput_injector.h"

namespace qel {

struct UinputOpenResult {
    std::unique_ptr<EvdevEventSink> Device;  // null on failure
    std::string Error;  // "/dev/uinput: cannot create a keyboard (Permission denied)"
};

// Creates a virtual keyboard through devicePath (normally /dev/uinput) that has
// exactly the given Linux key codes. The keyboard lives as long as the returned sink.
[[nodiscard]] UinputOpenResult OpenUinputKeyboard(std::span<const std::uint16_t> keys,
                                                  const std::string& devicePath);

}  // namespace qel
