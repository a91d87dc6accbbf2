// The real program under an X server with a window manager: the window's outer size at start and
// after debug mode, captions exactly as designed, and ending from outside (signals, a destroyed
// window) the way the close box ends it.

#include <gtest/gtest.h>

#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "x_program.h"

namespace {

using namespace qel::e2e;

constexpr const char* kTitle = "QEL G1000 keysend";
constexpr const char* kPanelScript = "at 0 plug 684\n";

// One key, with Alt held when alt is set, through XTest to the focused window.
void Type(Display* display, const char* keyName, bool alt) {
    const KeyCode altKey = XKeysymToKeycode(display, XK_Alt_L);
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keyName));
    if (alt) XTestFakeKeyEvent(display, altKey, True, 0);
    XTestFakeKeyEvent(display, key, True, 0);
    XTestFakeKeyEvent(display, key, False, 0);
    if (alt) XTestFakeKeyEvent(display, altKey, False, 0);
    XSync(display, False);
}

class WindowEndToEnd : public XProgramTest {
protected:
    void SetUp() override {
        XProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        std::ofstream(Directory / "panels.script") << kPanelScript;
    }

    std::unique_ptr<ProgramProcess> Start() {
        auto process = std::make_unique<ProgramProcess>(
            std::vector<std::string>{Program}, Directory,
            std::map<std::string, std::string>{
                {"QEL1000_VIRTUAL_PANELS", (Directory / "panels.script").string()}});
        return process;
    }

    // The program's main window once its activation has set the caption.
    std::optional<Window> MainWindow() {
        std::optional<Window> window;
        WaitUntil([&] { return (window = FindWindow(TheDisplay, kTitle)).has_value(); }, 20s);
        return window;
    }
};

TEST_F(WindowEndToEnd, OuterSizeIs430By200AtStartAndAfterDebugModeOnAndOff) {
    // A reparenting window manager draws a frame with a title bar around the window.
    ProgramProcess manager({"openbox"}, Directory);
    if (manager.WaitForExit(500ms).has_value()) {
        GTEST_SKIP() << "openbox could not start (it is needed to put a frame around the window)";
    }
    auto process = Start();
    const std::optional<Window> window = MainWindow();
    ASSERT_TRUE(window.has_value()) << "no window titled exactly \"" << kTitle << "\"";
    ASSERT_NE(OuterWindow(TheDisplay, *window), *window) << "the window manager framed nothing";

    using Size = std::pair<unsigned, unsigned>;
    const auto outerBecomes = [&](Size size) {
        return WaitUntil([&] { return OuterSize(TheDisplay, *window) == size; }, 5s);
    };
    EXPECT_TRUE(outerBecomes({430, 200}))
        << "outer size at start: " << OuterSize(TheDisplay, *window).first << " x "
        << OuterSize(TheDisplay, *window).second;

    // Tools > Debug Mode, by its accelerators, twice.
    XSetInputFocus(TheDisplay, *window, RevertToParent, CurrentTime);
    XSync(TheDisplay, False);
    for (const unsigned height : {577u, 200u}) {
        Type(TheDisplay, "t", true);
        std::this_thread::sleep_for(300ms);
        Type(TheDisplay, "d", false);
        EXPECT_TRUE(outerBecomes({430, height})) << "expected outer height " << height << ", got "
                                                 << OuterSize(TheDisplay, *window).second;
    }

    // Help > About: its caption is its own, with nothing appended.
    Type(TheDisplay, "h", true);
    std::this_thread::sleep_for(300ms);
    Type(TheDisplay, "b", false);
    std::vector<Window> about;
    EXPECT_TRUE(WaitUntil(
        [&] {
            about.clear();
            FindWindows(TheDisplay, DefaultRootWindow(TheDisplay), "About", about);
            return !about.empty();
        },
        5s));
    for (const Window dialog : about) {
        EXPECT_EQ(WindowTitle(TheDisplay, dialog), "About " + std::string(kTitle));
    }
    Type(TheDisplay, "Escape", false);
    std::this_thread::sleep_for(300ms);
    SendClose(TheDisplay, *window);
    const std::optional<int> status = process->WaitForExit(15s);
    EXPECT_EQ(status.value_or(-1), 0);
    kill(manager.Pid, SIGTERM);
}

TEST_F(WindowEndToEnd, CtrlShiftVOpensThePanelViewAndTheProgramStillEndsCleanly) {
    auto process = Start();
    const std::optional<Window> window = MainWindow();
    ASSERT_TRUE(window.has_value());
    XSetInputFocus(TheDisplay, *window, RevertToParent, CurrentTime);
    XSync(TheDisplay, False);
    const KeyCode control = XKeysymToKeycode(TheDisplay, XK_Control_L);
    const KeyCode shift = XKeysymToKeycode(TheDisplay, XK_Shift_L);
    const KeyCode v = XKeysymToKeycode(TheDisplay, XK_v);
    for (const KeyCode key : {control, shift, v}) XTestFakeKeyEvent(TheDisplay, key, True, 0);
    for (const KeyCode key : {v, shift, control}) XTestFakeKeyEvent(TheDisplay, key, False, 0);
    XSync(TheDisplay, False);
    EXPECT_TRUE(WaitUntil([&] { return FindWindow(TheDisplay, "Panel View").has_value(); }, 5s));

    // Closing the main window with the view open ends the program as always.
    SendClose(TheDisplay, *window);
    const std::optional<int> status = process->WaitForExit(15s);
    EXPECT_EQ(status.value_or(-1), 0);
}

TEST_F(WindowEndToEnd, QuitSignalsAndADestroyedWindowEndItAsTheCloseBoxDoes) {
    struct Case {
        const char* Name;
        int Signal;  // 0: the window is destroyed instead
        bool AboutOpen;
    };
    for (const Case& c :
         {Case{"SIGTERM", SIGTERM, false}, Case{"SIGINT", SIGINT, false},
          Case{"SIGHUP", SIGHUP, false}, Case{"SIGTERM over a modal dialog", SIGTERM, true},
          Case{"window destroyed", 0, false}}) {
        SCOPED_TRACE(c.Name);
        auto process = Start();
        const std::optional<Window> window = MainWindow();
        ASSERT_TRUE(window.has_value());
        if (c.AboutOpen) {
            XSetInputFocus(TheDisplay, *window, RevertToParent, CurrentTime);
            Type(TheDisplay, "h", true);
            std::this_thread::sleep_for(300ms);
            Type(TheDisplay, "b", false);
            ASSERT_TRUE(WaitUntil(
                [&] { return FindWindow(TheDisplay, "About " + std::string(kTitle)).has_value(); },
                5s));
        }
        if (c.Signal != 0) {
            kill(process->Pid, c.Signal);
        } else {
            XDestroyWindow(TheDisplay, *window);
            XSync(TheDisplay, False);
        }
        const std::optional<int> status = process->WaitForExit(15s);
        ASSERT_TRUE(status.has_value()) << "still running";
        EXPECT_EQ(*status, 0);
    }
}

}  // namespace
