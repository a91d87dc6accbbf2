#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace qel {

// One hidraw device node as the system describes it.
struct HidrawNode {
    std::string Path;  // e.g. /dev/hidraw3; identifies the node while it exists
    int VendorId = 0;
    int ProductId = 0;
    bool NumberedReports = false;  // its report descriptor declares report IDs
};

// One opened hidraw device. Read and Write may run on different threads at once; the object
// closes the device when destroyed.
class HidrawDevice {
public:
    virtual ~HidrawDevice() = default;
    // Waits up to timeout for one input report and puts its bytes, as the device sent them
    // (with the report ID first only for numbered reports), at the start of buffer. The number
    // of bytes, 0 when nothing came in time; a failure when the device failed.
    [[nodiscard]] virtual Result<std::size_t> Read(std::span<std::uint8_t> buffer,
                                                   std::chrono::milliseconds timeout) = 0;
    // One output report, byte 0 the report ID.
    virtual Status Write(std::span<const std::uint8_t> report) = 0;
};

// A change in the set of hidraw nodes.
struct HotplugEvent {
    enum class Kind { Added, Removed };
    Kind What = Kind::Added;
    HidrawNode Node;  // for Removed only Path is reliable
};

// The operating system as the hidapi back end sees it: hidraw nodes, their hotplug events and
// opening them. The real one is hidapi plus a libudev monitor; tests script a fake.
class HidrawSystem {
public:
    virtual ~HidrawSystem() = default;
    // Initialises the libraries; a failure names the operation.
    [[nodiscard]] virtual Status Start() = 0;
    [[nodiscard]] virtual std::vector<HidrawNode> Enumerate() = 0;
    // The opened device (never null), or why the node cannot be opened: just the reason, e.g.
    // "Permission denied"; the caller names the node.
    [[nodiscard]] virtual Result<std::unique_ptr<HidrawDevice>> Open(const HidrawNode& node) = 0;
    // Waits up to timeout for the next hotplug event; returns early, empty, after Wake.
    [[nodiscard]] virtual std::optional<HotplugEvent> WaitHotplug(
        std::chrono::milliseconds timeout) = 0;
    // Any thread: makes a pending or the next WaitHotplug return at once.
    virtual void Wake() = 0;
};

// The hidapi (hidraw) and libudev implementation on Linux; elsewhere one whose Start fails.
[[nodiscard]] std::unique_ptr<HidrawSystem> CreateHidrawSystem();

}  // namespace qel
