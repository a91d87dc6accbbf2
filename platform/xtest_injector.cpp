#include "platform/xtest_injector.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstring>

namespace qel {
namespace {

// X servers on Linux number their keys as the kernel does, plus 8.
constexpr unsigned kEvdevToXKeycode = 8;

// Whether the server's key codes follow the kernel's; only then does a key's position
// give its X key code directly.
bool UsesEvdevKeycodes(Display* display) {
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (!keyboard) return false;
    bool evdev = false;
    if (XkbGetNames(display, XkbKeycodesNameMask, keyboard) == Success && keyboard->names &&
        keyboard->names->keycodes != None) {
        if (char* name = XGetAtomName(display, keyboard->names->keycodes)) {
            evdev = std::strncmp(name, "evdev", 5) == 0;
            XFree(name);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return evdev;
}

}  // namespace

std::unique_ptr<XTestInjector> XTestInjector::Open(LogSink& log, const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display) return nullptr;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<XTestInjector>(new XTestInjector(display, log));
}

XTestInjector::XTestInjector(Display* connection, LogSink& log)
    : Connection(connection), Unsent(log) {
    EvdevKeycodes = UsesEvdevKeycodes(Connection);
    XDisplayKeycodes(Connection, &MinKeycode, &MaxKeycode);
}

XTestInjector::~XTestInjector() {
    XCloseDisplay(Connection);
}

void XTestInjector::FollowKeymapChanges() {
    // Xlib keeps a copy of the keymap and updates it only from the events it reads,
    // so a layout switched since the last key would otherwise send stale key codes.
    while (XPending(Connection) > 0) {
        XEvent event;
        XNextEvent(Connection, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            EvdevKeycodes = UsesEvdevKeycodes(Connection);
            XDisplayKeycodes(Connection, &MinKeycode, &MaxKeycode);
        }
    }
}

void XTestInjector::SetNumLockFor(std::uint8_t virtualKey, KeypadLevel level) {
    if (level == KeypadLevel::Fixed || HeldNumLock) return;
    const unsigned mask = XkbKeysymToModifiers(Connection, XK_Num_Lock);
    if (mask == 0) return;  // a keymap without Num Lock leaves nothing to choose
    XkbStateRec state;
    if (XkbGetState(Connection, XkbUseCoreKbd, &state) != Success) return;
    const bool wanted = level == KeypadLevel::Number;
    if (((state.mods & mask) != 0) == wanted) return;
    // Locking the modifier, unlike pressing the Num Lock key, shows the focused
    // program no key of its own.
    XkbLockModifiers(Connection, XkbUseCoreKbd, mask, wanted ? mask : 0);
    HeldNumLock = NumLockHold{virtualKey, mask, state.locked_mods & mask};
}

void XTestInjector::RestoreNumLockAfter(std::uint8_t virtualKey) {
    if (!HeldNumLock || HeldNumLock->VirtualKey != virtualKey) return;
    XkbLockModifiers(Connection, XkbUseCoreKbd, HeldNumLock->Mask, HeldNumLock->Locked);
    HeldNumLock.reset();
}

void XTestInjector::KeyEvent(std::uint8_t virtualKey, bool down) {
    // Code 0 stands between the modifiers of a binding that has no key of its own.
    if (virtualKey == 0) return;
    const VkKeyMapping* mapping = FindVkKeyMapping(virtualKey);
    if (!mapping) {
        Unsent.Report(virtualKey, "no key for this code");
        return;
    }
    FollowKeymapChanges();
    ::KeyCode keycode = 0;
    if (mapping->Placement == KeyPlacement::ByPosition && EvdevKeycodes) {
        keycode = static_cast<::KeyCode>(mapping->EvdevCode + kEvdevToXKeycode);
    } else {
        keycode = XKeysymToKeycode(Connection, mapping->Keysym);
    }
    // A key code outside the server's range would be a protocol error, which ends the program.
    if (keycode == 0 || keycode < MinKeycode || keycode > MaxKeycode) {
        // Borrowing a spare key code would change the user's keyboard under them.
        Unsent.Report(virtualKey, "the X keyboard layout has no key for it");
        return;
    }
    // Set after the binding's modifiers went down and put back before they go up.
    if (down) SetNumLockFor(virtualKey, mapping->Keypad);
    XTestFakeKeyEvent(Connection, keycode, down ? True : False, CurrentTime);
    if (!down) RestoreNumLockAfter(virtualKey);
    XFlush(Connection);
}

}  // namespace qel
