#pragma once

#include <memory>

#include "hid/hidraw_system.h"

namespace qel {

// HID devices on Windows for the hidapi back end: hidapi's Windows back end enumerates, opens,
// reads and writes the panels (vendor 0x0D59); arrivals and removals come from a
// Win32DeviceWatch. Enumerate, Open and WaitHotplug are called from one thread at a time.
[[nodiscard]] std::unique_ptr<HidrawSystem> CreateWin32HidSystem();

}  // namespace qel
