#pragma once

// The real program as a child process under the test's X server, and the X lookups the
// end-to-end tests share.

// After gtest: Xlib defines macros (None, Bool, Status) that clash with C++ names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qel::e2e {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class ProgramProcess {
public:
    // Runs argv in directory with the extra environment; output goes to directory/program.out.
    ProgramProcess(const std::vector<std::string>& argv, const std::filesystem::path& directory,
                   const std::map<std::string, std::string>& environment = {}) {
        Pid = fork();
        if (Pid == 0) {
            if (chdir(directory.c_str()) != 0) _exit(126);
            for (const auto& [name, value] : environment) {
                setenv(name.c_str(), value.c_str(), 1);
            }
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            const int log =
                open((directory / "program.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (log >= 0) {
                dup2(log, STDOUT_FILENO);
                dup2(log, STDERR_FILENO);
            }
            std::vector<char*> args;
            for (const std::string& arg : argv) {
                args.push_back(const_cast<char*>(arg.c_str()));
            }
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
    }
    ~ProgramProcess() {
        if (Pid > 0 && !Ended) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // The exit status once the program has ended within timeout (128 + signal if killed).
    std::optional<int> WaitForExit(Clock::duration timeout) {
        const auto deadline = Clock::now() + timeout;
        do {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Ended = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        } while (Clock::now() < deadline);
        return std::nullopt;
    }
    pid_t Pid = -1;
    bool Ended = false;
};

// Windows of other clients come and go while the tests look at them: an error about a window
// that has just gone is no failure (Xlib's default handler would end the test program).
inline void IgnoreXErrors() {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
}

// The window's _NET_WM_NAME (what window managers and task bars show), else its WM_NAME.
inline std::string WindowTitle(Display* display, Window window) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024,
                           False, XInternAtom(display, "UTF8_STRING", False), &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

// Every mapped or unmapped window below root whose title contains text, depth first.
inline void FindWindows(Display* display, Window under, const std::string& text,
                        std::vector<Window>& found) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, under, &root, &parent, &children, &count) == 0) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        if (WindowTitle(display, children[i]).find(text) != std::string::npos) {
            found.push_back(children[i]);
        }
        FindWindows(display, children[i], text, found);
    }
    if (children != nullptr) XFree(children);
}

// The top-level window titled exactly title, if there is one.
inline std::optional<Window> FindWindow(Display* display, const std::string& title) {
    std::vector<Window> found;
    FindWindows(display, DefaultRootWindow(display), title, found);
    for (const Window window : found) {
        if (WindowTitle(display, window) == title) {
            return window;
        }
    }
    return std::nullopt;
}

// What the window manager draws around window: the root's child that holds it (the window
// itself without a window manager).
inline Window OuterWindow(Display* display, Window window) {
    for (;;) {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
            return window;
        }
        if (children != nullptr) XFree(children);
        if (parent == root) {
            return window;
        }
        window = parent;
    }
}

inline std::pair<unsigned, unsigned> OuterSize(Display* display, Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, OuterWindow(display, window), &attributes);
    return {static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height)};
}

inline void SendClose(Display* display, Window window) {
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

// Waits (bounded) until done holds, checking every 20 ms.
template <typename Done>
bool WaitUntil(Done done, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The program under test (QEL1000KEYSEND), the test's connection to the X display and a fresh
// folder to run the program in, kept with the program's output when the test fails.
class XProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* program = std::getenv("QEL1000KEYSEND");
        ASSERT_NE(program, nullptr) << "QEL1000KEYSEND names the program under test";
        Program = program;
        IgnoreXErrors();
        TheDisplay = XOpenDisplay(nullptr);
        if (TheDisplay == nullptr) {
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        }
        Directory = std::filesystem::temp_directory_path() /
                    ("qel_e2e_" + std::to_string(getpid()) + "_" +
                     testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Directory);
    }

    void TearDown() override {
        if (TheDisplay == nullptr) return;
        XCloseDisplay(TheDisplay);
        if (HasFailure()) {
            std::cerr << "program output kept in " << (Directory / "program.out") << '\n';
            return;
        }
        std::error_code ignored;
        std::filesystem::remove_all(Directory, ignored);
    }

    std::string Program;
    Display* TheDisplay = nullptr;
    std::filesystem::path Directory;
};

}  // namespace qel::e2e
