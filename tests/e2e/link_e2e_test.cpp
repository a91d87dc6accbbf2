// The real program under an X server with a simulator link: virtual panels play a script and
// a fake X-Plane on 127.0.0.1, a UDP socket of this test, receives one CMND datagram per
// command, in order; then the program is closed and must end cleanly.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "x_program.h"

namespace {

using namespace qel::e2e;

// softkey_1, three steps of the NAV inner knob, the joystick north, COM1 MIC on the audio unit.
constexpr const char* kPanelScript =
    "at 0 plug 684\n"
    "at 0 plug 688\n"
    "at 3000 report 684 00 C1 00 20\n"
    "at 3050 report 684 00 C1 00 00\n"
    "at 3100 report 684 00 C2 10\n"
    "at 3150 report 684 00 C2 12\n"
    "at 3200 report 684 00 C2 14\n"
    "at 3250 report 684 00 C2 16\n"
    "at 3300 report 684 00 C2 16\n"
    "at 3350 report 684 00 C1 00 00 00 00 00 06\n"
    "at 3400 report 684 00 C1 00 00 00 00 00 00\n"
    "at 3450 report 688 00 C2 00\n"
    "at 3500 report 688 00 C2 01\n"
    "at 3550 report 688 00 C2 00\n";

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
