#include <unistd.h>

#include <cstdlib>

#include "platform/evdev_key_table.h"
#include "platform/key_injector_factory.h"
#include "platform/unavailable_injector.h"
#include "platform/uinput_device.h"
#include "platform/uinput_injector.h"
#include "platform/xkb_layout_setting.h"
#include "platform/xkb_unshifted_keys.h"
#include "platform/xtest_injector.h"

namespace qel {
namespace {

std::unique_ptr<KeyInjector> OpenUinputInjector(LogSink& log, const std::string& path) {
    const XkbLayoutName layout = ConfiguredXkbLayout();
    std::optional<UnshiftedKeys> layoutKeys = XkbUnshiftedKeys(layout);
    if (!layoutKeys) {
        const std::string shown = layout.Layout.empty() ? "us" : layout.Layout;
        log.AppendLine("Keyboard layout '" + shown +
                       "' not found: letters and digits use the US keys");
        layoutKeys.emplace();
    }
    const EvdevKeyTable table = BuildEvdevKeyTable(*layoutKeys);
    Result<std::unique_ptr<VirtualKeyboard>> opened = OpenUinputKeyboard(KeysInTable(table), path);
    if (!opened) {
        log.AppendLine(opened.Error());
        return nullptr;
    }
    return std::make_unique<UinputInjector>(table, std::move(opened).Value(), log);
}

}  // namespace

std::unique_ptr<KeyInjector> CreateKeyInjector(LogSink& log, const KeyInjectorSources& sources) {
    if (access(sources.UinputPath.c_str(), W_OK) == 0) {
        if (auto injector = OpenUinputInjector(log, sources.UinputPath)) return injector;
    }
    if (auto injector = XTestInjector::Open(log, sources.DisplayName)) {
        // Under Wayland the X display is XWayland's: native programs never see its keys.
        if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) {
            log.AppendLine(
                "Keystrokes reach only X programs: for all programs install the udev rule "
                "shipped with the program and log in again.");
        }
        return injector;
    }
    log.AppendLine("Keystrokes cannot be sent: no write access to " + sources.UinputPath +
                   " and no X display. Install the udev rule shipped with the program and log in "
                   "again, or run the program in an X session.");
    return std::make_unique<UnavailableInjector>();
}

}  // namespace qel
