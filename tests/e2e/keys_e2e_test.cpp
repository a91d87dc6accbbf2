// The real program under an X server: virtual panels play a script, the program types the
// bound keys through XTest, and a window of this test, holding the keyboard focus, receives
// them in order. The window is then closed the way a window manager would close it, and the
// program must end cleanly.

#include <gtest/gtest.h>

// After gtest: Xlib defines macros (None, Bool, Status) that clash with C++ names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Bindings for one button, one knob, one joystick direction and one audio button.
constexpr const char* kKeyMap =
    "[qel_1000_0]\n"
    "softkey_1=F1\n"
    "nav_in_decr=SHIFT+P\n"
    "nav_in_incr=SHIFT+N\n"
    "range_pan_n=UP\n"
    "[qel_audio_0]\n"
    "com1_mic=CTRL+M\n";

// The reports start late enough for the program to have loaded its bindings, and for this
// test to have taken the focus back.
constexpr const char* kPanelScript =
    "at 0 plug 684\n"
    "at 0 plug 688\n"
    "# softkey_1 pressed and released\n"
    "at 5000 report 684 00 C1 00 20\n"
    "at 5050 report 684 00 C1 00 00\n"
    "# the NAV inner knob: one report to prime, three steps up\n"
    "at 5100 report 684 00 C2 10\n"
    "at 5150 report 684 00 C2 12\n"
    "at 5200 report 684 00 C2 14\n"
    "at 5250 report 684 00 C2 16\n"
    "at 5300 report 684 00 C2 16\n"
    "# the joystick to north and back\n"
    "at 5350 report 684 00 C1 00 00 00 00 00 06\n"
    "at 5400 report 684 00 C1 00 00 00 00 00 00\n"
    "# COM1 MIC on the audio unit\n"
    "at 5450 report 688 00 C2 00\n"
    "at 5500 report 688 00 C2 01\n"
    "at 5550 report 688 00 C2 00\n";

const std::vector<std::string> kExpectedKeys{
    "F1", "Shift+n", "Shift+n", "Shift+n", "Up", "Control+m",
};

// One key press as text: held Shift/Control/Alt, then the unshifted key name.
std::string Describe(XKeyEvent& event) {
    std::string text;
    if (event.state & ShiftMask) text += "Shift+";
    if (event.state & ControlMask) text += "Control+";
    if (event.state & Mod1Mask) text += "Alt+";
    const KeySym symbol = XLookupKeysym(&event, 0);
    const char* name = XKeysymToString(symbol);
    return text + (name != nullptr ? name : "?");
}

class ProgramProcess {
public:
    ProgramProcess(const std::string& program, const std::filesystem::path& directory,
                   const std::filesystem::path& script) {
        Pid = fork();
        if (Pid == 0) {
            if (chdir(directory.c_str()) != 0) _exit(126);
            setenv("QEL1000_VIRTUAL_PANELS", script.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            const int log =
                open((directory / "program.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (log >= 0) {
                dup2(log, STDOUT_FILENO);
                dup2(log, STDERR_FILENO);
            }
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~ProgramProcess() {
        if (Pid > 0 && !Ended) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }
    // The exit status once the program has ended within timeout.
    std::optional<int> WaitForExit(Clock::duration timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }
    pid_t Pid = -1;
    bool Ended = false;
};

// The top-level window whose name is title, if it is mapped.
std::optional<Window> FindWindow(Display* display, const std::string& title) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::optional<Window> found;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return found;
    }
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

void SendClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

class EndToEnd : public ::testing::Test {};

TEST_F(EndToEnd, BoundControlsTypeTheirKeysIntoTheFocusedWindowInOrder) {
    const char* program = std::getenv("QEL1000KEYSEND");
    ASSERT_NE(program, nullptr) << "QEL1000KEYSEND names the program under test";
    if (access("/dev/uinput", W_OK) == 0) {
        GTEST_SKIP() << "/dev/uinput is writable: keys would bypass this X server";
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }

    const auto directory =
        std::filesystem::temp_directory_path() / ("qel_e2e_" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "keymap.ini") << kKeyMap;
    std::ofstream(directory / "panels.script") << kPanelScript;

    const int screen = DefaultScreen(display);
    const Window target =
        XCreateSimpleWindow(display, RootWindow(display, screen), 500, 300, 200, 100, 1,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, target, "qel e2e key target");
    XSelectInput(display, target, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, target);
    for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
    }

    ProgramProcess process(program, directory, directory / "panels.script");
    ASSERT_GT(process.Pid, 0);

    std::vector<std::string> keys;
    std::optional<Window> programWindow;
    const auto deadline = Clock::now() + 40s;
    while (Clock::now() < deadline && keys.size() < kExpectedKeys.size()) {
        // The program's window may take the focus when it appears: take it back each time.
        XSetInputFocus(display, target, RevertToParent, CurrentTime);
        XSync(display, False);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == KeyPress && !IsModifierKey(XLookupKeysym(&event.xkey, 0))) {
                keys.push_back(Describe(event.xkey));
            }
        }
        if (!programWindow) {
            programWindow = FindWindow(display, "QEL G1000 keysend");
        }
        ASSERT_FALSE(process.WaitForExit(0s).has_value()) << "the program ended early";
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(keys, kExpectedKeys);
    // The caption changes at the first activation, so the bindings were loaded by then.
    ASSERT_TRUE(programWindow.has_value()) << "no window named \"QEL G1000 keysend\"";

    SendClose(display, *programWindow);
    const std::optional<int> exitStatus = process.WaitForExit(15s);
    ASSERT_TRUE(exitStatus.has_value()) << "the program did not end after its window closed";
    EXPECT_EQ(*exitStatus, 0);

    XDestroyWindow(display, target);
    XCloseDisplay(display);
    if (HasFailure()) {
        std::cerr << "program output kept in " << (directory / "program.out") << '\n';
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

}  // namespace
