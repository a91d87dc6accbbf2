#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_xplane.h"
#include "simnet/xplane_udp_transport.h"
#include "support/memory_log.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::RunUntil;

class XPlaneLink : public ::testing::Test {
protected:
    test::MemoryLog Log;
    std::string Tested;
};

TEST_F(XPlaneLink, UdpSendsOneCommandDatagramPerPressAndNothingElse) {
    test::FakeUdpXPlane xplane;
    XPlaneUdpTransport transport("127.0.0.1", xplane.Socket.localPort(), Log);
    transport.Start();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::Connected; }));
    const std::string where = "127.0.0.1:" + std::to_string(xplane.Socket.localPort());
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"X-Plane: connected (UDP " + where + ")"});

    transport.Press("sim/GPS/g1000n1_softkey3");
    transport.Hold("sim/GPS/g1000n3_clr", true);
    transport.Hold("sim/GPS/g1000n3_clr", false);  // UDP cannot hold: the press was all
    transport.Test([&](std::string result) { Tested = std::move(result); });
    ASSERT_TRUE(RunUntil([&] { return xplane.Datagrams.size() == 3; }));
    EXPECT_EQ(xplane.Datagrams,
              (std::vector<QByteArray>{QByteArray("CMND\0sim/GPS/g1000n1_softkey3", 29),
                                       QByteArray("CMND\0sim/GPS/g1000n3_clr", 24),
                                       QByteArray("CMND\0sim/none/none", 18)}));
    EXPECT_EQ(Tested, "sent to " + where);
    EXPECT_FALSE(RunUntil([&] { return xplane.Datagrams.size() > 3; }, 300ms));
}

TEST_F(XPlaneLink, UdpHostNotFoundIsOneLineAndSendsNothing) {
    XPlaneUdpTransport transport("no such host", 49000, Log);
    transport.Start();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::NoAnswer; }));
    transport.Test([&](std::string result) { Tested = std::move(result); });
    EXPECT_EQ(Tested, "not sent: cannot find host 'no such host'");
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"X-Plane: cannot find host 'no such host'"});
}

}  // namespace
}  // namespace qel
