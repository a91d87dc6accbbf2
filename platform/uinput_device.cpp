#include "platform/uinput_device.h"

#include <fcntl.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qel {
namespace {

constexpr const char* kKeyboardName = "qel1000keysend virtual keyboard";

class UinputKeyboard final : public VirtualKeyboard {
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

    bool NumLockLit() override {
        NumLock = LatestNumLockLight(Fd, NumLock);
        return NumLock;
    }

private:
    libevdev_uinput* Device;
    int Fd;
    bool NumLock = false;  // a new keyboard's lights are off
};

Failure Failed(const std::string& path, const char* what, int error) {
    return Failure{path + ": " + what + " (" + std::strerror(error) + ")"};
}

}  // namespace

bool LatestNumLockLight(int uinputFd, bool lit) {
    input_event events[16];
    for (;;) {
        const ssize_t size = read(uinputFd, events, sizeof events);
        if (size < 0 && errno == EINTR) continue;
        // Nothing more to read (EAGAIN), or a descriptor that fails: the last word stands.
        if (size <= 0) return lit;
        const auto count = static_cast<std::size_t>(size) / sizeof events[0];
        for (std::size_t i = 0; i < count; ++i) {
            if (events[i].type == EV_LED && events[i].code == LED_NUML) lit = events[i].value != 0;
        }
    }
}

Result<std::unique_ptr<VirtualKeyboard>> OpenUinputKeyboard(std::span<const std::uint16_t> keys,
                                                            const std::string& devicePath) {
    // Non-blocking, so reading what the system sent the keyboard never waits.
    const int fd = open(devicePath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failed(devicePath, "cannot open", errno);

    libevdev* description = libevdev_new();
    if (!description) {
        close(fd);
        return Failed(devicePath, "cannot describe a keyboard", ENOMEM);
    }
    libevdev_set_name(description, kKeyboardName);
    libevdev_enable_event_type(description, EV_KEY);
    for (const std::uint16_t key : keys) {
        libevdev_enable_event_code(description, EV_KEY, key, nullptr);
    }
    // The system shows its Num Lock state on every keyboard's light, this one's too.
    libevdev_enable_event_type(description, EV_LED);
    libevdev_enable_event_code(description, EV_LED, LED_NUML, nullptr);
    libevdev_uinput* device = nullptr;
    const int result = libevdev_uinput_create_from_device(description, fd, &device);
    // The uinput device keeps its own copy of the description.
    libevdev_free(description);
    if (result != 0) {
        close(fd);
        return Failed(devicePath, "cannot create a keyboard", -result);
    }
    // The system takes a moment to pick up a new keyboard, which is why it is created
    // once at start-up rather than per keystroke.
    return std::unique_ptr<VirtualKeyboard>(std::make_unique<UinputKeyboard>(device, fd));
}

}  // namespace qel
