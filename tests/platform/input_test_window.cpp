#include "input_test_window.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

namespace qel::test {
namespace {

using Clock = std::chrono::steady_clock;

// Waits until the connection has an event or the deadline passes.
bool WaitForEvent(Display* display, Clock::time_point deadline) {
    while (XPending(display) == 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd readable{ConnectionNumber(display), POLLIN, 0};
        poll(&readable, 1, static_cast<int>(left.count()));
    }
    return true;
}

}  // namespace

struct TestWindow::Connection {
    Display* Dpy = nullptr;
    Window Win = 0;
};

std::unique_ptr<TestWindow> TestWindow::Open(const std::string& displayName) {
    auto x = std::make_unique<Connection>();
    x->Dpy = XOpenDisplay(displayName.c_str());
    if (!x->Dpy) return nullptr;
    std::unique_ptr<TestWindow> window(new TestWindow(std::move(x)));
    Display* dpy = window->X->Dpy;
    const int screen = DefaultScreen(dpy);
    window->X->Win = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 10, 10, 200, 100, 0,
                                         BlackPixel(dpy, screen), WhitePixel(dpy, screen));
    XSelectInput(dpy, window->X->Win, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
    XMapWindow(dpy, window->X->Win);

    // Focus can only go to a viewable window, so wait for the map first.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    bool mapped = false;
    while (!mapped && WaitForEvent(dpy, deadline)) {
        XEvent event;
        XNextEvent(dpy, &event);
        mapped = event.type == MapNotify;
    }
    if (!mapped) return nullptr;
    XSetInputFocus(dpy, window->X->Win, RevertToParent, CurrentTime);
    XSync(dpy, False);
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    if (focus != window->X->Win) return nullptr;
    return window;
}

TestWindow::TestWindow(std::unique_ptr<Connection> connection) : X(std::move(connection)) {}

TestWindow::~TestWindow() {
    if (X->Win != 0) XDestroyWindow(X->Dpy, X->Win);
    XCloseDisplay(X->Dpy);
}

std::vector<ReceivedKey> TestWindow::WaitForKeys(std::size_t count,
                                                 std::chrono::milliseconds timeout) {
    std::vector<ReceivedKey> keys;
    const auto deadline = Clock::now() + timeout;
    while (keys.size() < count && WaitForEvent(X->Dpy, deadline)) {
        XEvent event;
        XNextEvent(X->Dpy, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            continue;
        }
        if (event.type != KeyPress && event.type != KeyRelease) continue;
        KeySym typed = NoSymbol;
        char text[8];
        XLookupString(&event.xkey, text, sizeof text, &typed, nullptr);
        keys.push_back({event.type == KeyPress, event.xkey.keycode, typed, event.xkey.state});
    }
    return keys;
}

unsigned long TestWindow::KeysymAt(unsigned keycode, int level) const {
    // Asked of the server each time: Xlib's cached copy lags behind a layout switch.
    int perKeycode = 0;
    KeySym* syms = XGetKeyboardMapping(X->Dpy, static_cast<KeyCode>(keycode), 1, &perKeycode);
    if (!syms) return NoSymbol;
    const unsigned long keysym = level < perKeycode ? syms[level] : NoSymbol;
    XFree(syms);
    return keysym;
}

bool TestWindow::LockNumLock(bool on) {
    const unsigned mask = XkbKeysymToModifiers(X->Dpy, XK_Num_Lock);
    if (mask == 0) return false;
    XkbLockModifiers(X->Dpy, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(X->Dpy, False);
    return true;
}

bool TestWindow::NumLockLocked() const {
    XkbStateRec state;
    if (XkbGetState(X->Dpy, XkbUseCoreKbd, &state) != Success) return false;
    return (state.locked_mods & XkbKeysymToModifiers(X->Dpy, XK_Num_Lock)) != 0;
}

}  // namespace qel::test
