#include "platform/uinput_device.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <cstring>

namespace qel {
namespace {

constexpr const char* kKeyboardName = "qel1000keysend virtual keyboard";

class UinputKeyboard final : public EvdevEventSink {
public:
    UinputKeyboard(libevdev_uinput* device, int fd) : Device(device), Fd(fd) {}
    ~UinputKeyboard() override {
        libevdev_uinput_destroy(Device);
        close(Fd);
    }
    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    void Emit(std::uint16_t type, std::uint16_t code, std::int32_t value) override {
        // A failed write loses one keystroke and there is nobody to tell in time.
        (void)libevdev_uinput_write_event(Device, type, code, value);
    }

private:
    libevdev_uinput* Device;
    int Fd;
};

std::string Failure(const std::string& path, const char* what, int error) {
    return path + ": " + what + " (" + std::strerror(error) + ")";
}

}  // namespace

UinputOpenResult OpenUinputKeyboard(std::span<const std::uint16_t> keys,
                                    const std::string& devicePath) {
    const int fd = open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return {nullptr, Failure(devicePath, "cannot open", errno)};

    libevdev* description = libevdev_new();
    if (!description) {
        close(fd);
        return {nullptr, Failure(devicePath, "cannot describe a keyboard", ENOMEM)};
    }
    libevdev_set_name(description, kKeyboardName);
    libevdev_enable_event_type(description, EV_KEY);
    for (const std::uint16_t key : keys) {
        libevdev_enable_event_code(description, EV_KEY, key, nullptr);
    }
    libevdev_uinput* device = nullptr;
    const int result = libevdev_uinput_create_from_device(description, fd, &device);
    // The uinput device keeps its own copy of the description.
    libevdev_free(description);
    if (result != 0) {
        close(fd);
        return {nullptr, Failure(devicePath, "cannot create a keyboard", -result)};
    }
    // The system takes a moment to pick up a new keyboard, which is why it is created
    // once at start-up rather than per keystroke.
    return {std::make_unique<UinputKeyboard>(device, fd), {}};
}

}  // namespace qel
