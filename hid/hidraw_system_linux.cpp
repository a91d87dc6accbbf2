// hidapi opens, reads and writes; libudev enumerates the hidraw nodes and watches hotplug.
#include <hidapi/hidapi.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "hid/hidraw_system.h"
#include "hid/report_descriptor.h"

namespace qel {
namespace {

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text != nullptr && *text != 0; ++text) {
        narrow.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    }
    return narrow.empty() ? "unknown error" : narrow;
}

std::string Errno(const char* operation) {
    return std::string(operation) + " failed (" + std::strerror(errno) + ")";
}

class HidapiDevice final : public HidrawDevice {
public:
    explicit HidapiDevice(hid_device* device) : Device(device) {}
    ~HidapiDevice() override { hid_close(Device); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    Result<std::size_t> Read(std::span<std::uint8_t> buffer,
                             std::chrono::milliseconds timeout) override {
        const int count = hid_read_timeout(Device, buffer.data(), buffer.size(),
                                           static_cast<int>(timeout.count()));
        if (count < 0) {
            return Failure{"hid_read_timeout failed (" + Narrow(hid_error(Device)) + ")"};
        }
        return static_cast<std::size_t>(count);
    }
    Status Write(std::span<const std::uint8_t> report) override {
        if (hid_write(Device, report.data(), report.size()) < 0) {
            return Failure{"hid_write failed (" + Narrow(hid_error(Device)) + ")"};
        }
        return {};
    }

private:
    hid_device* Device;
};

// The node's IDs come from the parent HID device's HID_ID ("bus:vendor:product" in hex), its
// numbering from the report descriptor that the kernel exposes in sysfs.
std::optional<HidrawNode> DescribeNode(udev_device* hidraw) {
    const char* devnode = udev_device_get_devnode(hidraw);
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    if (devnode == nullptr || hid == nullptr) {
        return std::nullopt;
    }
    const char* hidId = udev_device_get_property_value(hid, "HID_ID");
    unsigned bus = 0;
    unsigned vendor = 0;
    unsigned product = 0;
    if (hidId == nullptr || std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &product) != 3) {
        return std::nullopt;
    }
    HidrawNode node;
    node.Path = devnode;
    node.VendorId = static_cast<int>(vendor);
    node.ProductId = static_cast<int>(product);
    std::ifstream file(std::string(udev_device_get_syspath(hid)) + "/report_descriptor",
                       std::ios::binary);
    const std::vector<std::uint8_t> descriptor((std::istreambuf_iterator<char>(file)),
                                               std::istreambuf_iterator<char>());
    node.NumberedReports = DeclaresReportIds(descriptor);
    return node;
}

class LinuxHidrawSystem final : public HidrawSystem {
public:
    LinuxHidrawSystem() = default;
    LinuxHidrawSystem(const LinuxHidrawSystem&) = delete;
    LinuxHidrawSystem& operator=(const LinuxHidrawSystem&) = delete;

    ~LinuxHidrawSystem() override {
        if (Monitor != nullptr) {
            udev_monitor_unref(Monitor);
        }
        if (Udev != nullptr) {
            udev_unref(Udev);
        }
        if (WakeFd >= 0) {
            close(WakeFd);
        }
        if (HidStarted) {
            hid_exit();
        }
    }

    Status Start() override {
        if (hid_init() != 0) {
            return Failure{"hidapi: hid_init failed (" + Narrow(hid_error(nullptr)) + ")"};
        }
        HidStarted = true;
        Udev = udev_new();
        if (Udev == nullptr) {
            return Failure{"libudev: " + Errno("udev_new")};
        }
        Monitor = udev_monitor_new_from_netlink(Udev, "udev");
        if (Monitor == nullptr) {
            return Failure{"libudev: " + Errno("udev_monitor_new_from_netlink")};
        }
        if (udev_monitor_filter_add_match_subsystem_devtype(Monitor, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(Monitor) < 0) {
            return Failure{"libudev: " + Errno("hidraw monitor")};
        }
        WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (WakeFd < 0) {
            return Failure{Errno("eventfd")};
        }
        return {};
    }

    std::vector<HidrawNode> Enumerate() override {
        std::vector<HidrawNode> nodes;
        udev_enumerate* enumerate = udev_enumerate_new(Udev);
        if (enumerate == nullptr) {
            return nodes;
        }
        udev_enumerate_add_match_subsystem(enumerate, "hidraw");
        udev_enumerate_scan_devices(enumerate);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* device =
                udev_device_new_from_syspath(Udev, udev_list_entry_get_name(entry));
            if (device == nullptr) {
                continue;
            }
            if (auto node = DescribeNode(device)) {
                nodes.push_back(std::move(*node));
            }
            udev_device_unref(device);
        }
        udev_enumerate_unref(enumerate);
        return nodes;
    }

    Result<std::unique_ptr<HidrawDevice>> Open(const HidrawNode& node) override {
        std::lock_guard lock(OpenMutex);  // hid_error(NULL) is process-wide
        hid_device* device = hid_open_path(node.Path.c_str());
        if (device == nullptr) {
            return Failure{Narrow(hid_error(nullptr))};
        }
        std::unique_ptr<HidrawDevice> opened = std::make_unique<HidapiDevice>(device);
        return opened;
    }

    std::optional<HotplugEvent> WaitHotplug(std::chrono::milliseconds timeout) override {
        pollfd fds[2] = {{udev_monitor_get_fd(Monitor), POLLIN, 0}, {WakeFd, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(timeout.count())) <= 0) {
            return std::nullopt;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto drained =
                read(WakeFd, &count, sizeof count);  // only resets the eventfd
            return std::nullopt;
        }
        udev_device* device = udev_monitor_receive_device(Monitor);
        if (device == nullptr) {
            return std::nullopt;
        }
        std::optional<HotplugEvent> event;
        const char* action = udev_device_get_action(device);
        const char* devnode = udev_device_get_devnode(device);
        if (action != nullptr && devnode != nullptr) {
            if (std::strcmp(action, "add") == 0) {
                if (auto node = DescribeNode(device)) {
                    event = HotplugEvent{HotplugEvent::Kind::Added, std::move(*node)};
                }
            } else if (std::strcmp(action, "remove") == 0) {
                HotplugEvent removed{HotplugEvent::Kind::Removed, {}};
                removed.Node.Path = devnode;
                event = std::move(removed);
            }
        }
        udev_device_unref(device);
        return event;
    }

    void Wake() override {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written =
            write(WakeFd, &one, sizeof one);  // a full counter wakes too
    }

private:
    bool HidStarted = false;
    udev* Udev = nullptr;
    udev_monitor* Monitor = nullptr;
    int WakeFd = -1;
    std::mutex OpenMutex;
};

}  // namespace

std::unique_ptr<HidrawSystem> CreateHidrawSystem() {
    return std::make_unique<LinuxHidrawSystem>();
}

}  // namespace qel
