// The real program under an X server: virtual panels play a script, the program types the
// bound keys through XTest, and a window of this test, holding the keyboard focus, receives
// them in order. The window is then closed the way a window manager would close it, and the
// program must end cleanly. With a simulator link set, the same panels send X-Plane commands
// instead, to a UDP socket of this test on 127.0.0.1 standing in for X-Plane.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "x_program.h"

namespace {

using namespace qel::e2e;

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

// A private X display's key target window, holding the focus, and a folder for the program.
class EndToEnd : public XProgramTest {
protected:
    void SetUp() override {
        XProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (access("/dev/uinput", W_OK) == 0) {
            GTEST_SKIP() << "/dev/uinput is writable: keys would bypass this X server";
        }
        const int screen = DefaultScreen(TheDisplay);
        Target =
            XCreateSimpleWindow(TheDisplay, RootWindow(TheDisplay, screen), 500, 300, 200, 100, 1,
                                BlackPixel(TheDisplay, screen), WhitePixel(TheDisplay, screen));
        XStoreName(TheDisplay, Target, "qel e2e key target");
        XSelectInput(TheDisplay, Target, KeyPressMask | StructureNotifyMask);
        XMapWindow(TheDisplay, Target);
        for (XEvent event; XNextEvent(TheDisplay, &event), event.type != MapNotify;) {
        }
    }

    void TearDown() override {
        if (Target != 0) XDestroyWindow(TheDisplay, Target);
        XProgramTest::TearDown();
    }

    // The keys the target receives while process runs, until count have come or 40 s pass;
    // then the program's window is closed as a window manager would close it, and the
    // program must end cleanly.
    std::vector<std::string> KeysThenClose(ProgramProcess& process, std::size_t count) {
        std::vector<std::string> keys;
        std::optional<Window> programWindow;
        const auto deadline = Clock::now() + 40s;
        while (Clock::now() < deadline && keys.size() < count) {
            // The program's window may take the focus when it appears: take it back each time.
            XSetInputFocus(TheDisplay, Target, RevertToParent, CurrentTime);
            XSync(TheDisplay, False);
            while (XPending(TheDisplay) > 0) {
                XEvent event;
                XNextEvent(TheDisplay, &event);
                if (event.type == KeyPress && !IsModifierKey(XLookupKeysym(&event.xkey, 0))) {
                    keys.push_back(Describe(event.xkey));
                }
            }
            if (!programWindow) {
                programWindow = FindWindow(TheDisplay, "QEL G1000 keysend");
            }
            if (process.WaitForExit(0s).has_value()) {
                ADD_FAILURE() << "the program ended early";
                return keys;
            }
            std::this_thread::sleep_for(20ms);
        }
        // The caption changes at the first activation, so the bindings were loaded by then.
        if (!programWindow) {
            ADD_FAILURE() << "no window named \"QEL G1000 keysend\"";
            return keys;
        }
        SendClose(TheDisplay, *programWindow);
        const std::optional<int> exitStatus = process.WaitForExit(15s);
        EXPECT_TRUE(exitStatus.has_value()) << "the program did not end after its window closed";
        EXPECT_EQ(exitStatus.value_or(-1), 0);
        return keys;
    }

    Window Target = 0;
};

TEST_F(EndToEnd, BoundControlsTypeTheirKeysIntoTheFocusedWindowInOrder) {
    std::ofstream(Directory / "keymap.ini") << kKeyMap;
    std::ofstream(Directory / "panels.script") << kPanelScript;
    ProgramProcess process({Program}, Directory,
                           {{"QEL1000_VIRTUAL_PANELS", (Directory / "panels.script").string()}});
    ASSERT_GT(process.Pid, 0);
    EXPECT_EQ(KeysThenClose(process, kExpectedKeys.size()), kExpectedKeys);
}

TEST_F(EndToEnd, TheReadmeDemoCommandTypesTheExampleKeyMapsKeys) {
    const char* sourceDir = std::getenv("QEL_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr);
    const std::filesystem::path root = sourceDir;
    std::ifstream readme(root / "README.md");
    std::stringstream text;
    text << readme.rdbuf();
    ASSERT_NE(text.str().find("`scripts/start --demo`"), std::string::npos)
        << "the README names the demo command this test runs";

    // The program built already stands in for the script's own build step.
    ProgramProcess process({"bash", (root / "scripts/start").string(), "--demo"}, Directory,
                           {{"QEL_PROGRAM", Program}});
    ASSERT_GT(process.Pid, 0);
    // examples/keymap.ini binds soft keys 1 and 3, three joystick directions and the push.
    const std::vector<std::string> demoKeys{"F1", "F3", "Up", "Prior", "Right", "Return"};
    EXPECT_EQ(KeysThenClose(process, demoKeys.size()), demoKeys);
}

// The commands the panels of kPanelScript send to X-Plane, with bezel unit 0 as its PFD.
const std::vector<std::string> kExpectedCommands{
    "sim/GPS/g1000n1_softkey1",     "sim/GPS/g1000n1_nav_inner_up",
    "sim/GPS/g1000n1_nav_inner_up", "sim/GPS/g1000n1_nav_inner_up",
    "sim/GPS/g1000n1_pan_up",       "sim/audio_panel/transmit_audio_com1",
};

TEST_F(XProgramTest, LinkedControlsSendXPlaneCommandsOverUdp) {
    const int listener = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    std::ofstream(Directory / "keymap.ini")
        << "[qel_1000_0]\nsoftkey_1=F1\n[simulator]\nlink=xplane\nhost=127.0.0.1\nport="
        << ntohs(address.sin_port) << "\n";
    std::ofstream(Directory / "panels.script") << kPanelScript;
    ProgramProcess process({Program}, Directory,
                           {{"QEL1000_VIRTUAL_PANELS", (Directory / "panels.script").string()}});
    ASSERT_GT(process.Pid, 0);

    std::vector<std::string> commands;
    const auto deadline = Clock::now() + 30s;
    while (commands.size() < kExpectedCommands.size() && Clock::now() < deadline) {
        pollfd ready{listener, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char datagram[600];
        const ssize_t size = recv(listener, datagram, sizeof datagram, 0);
        ASSERT_GT(size, 5);
        ASSERT_EQ(std::string(datagram, 5), std::string("CMND\0", 5));
        // The path up to a NUL, if one follows it.
        commands.emplace_back(datagram + 5,
                              strnlen(datagram + 5, static_cast<std::size_t>(size - 5)));
    }
    close(listener);
    EXPECT_EQ(commands, kExpectedCommands);

    const std::optional<Window> window = FindWindow(TheDisplay, "QEL G1000 keysend");
    ASSERT_TRUE(window.has_value());
    SendClose(TheDisplay, *window);
    EXPECT_EQ(process.WaitForExit(15s).value_or(-1), 0);
}

}  // namespace
