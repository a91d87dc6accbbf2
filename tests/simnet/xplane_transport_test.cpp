#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_xplane.h"
#include "simnet/qt_scheduler.h"
#include "simnet/xplane_udp_transport.h"
#include "simnet/xplane_web_transport.h"
#include "support/memory_log.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::WaitUntil;

class XPlaneLink : public ::testing::Test {
protected:
    void SetUp() override { test::Application(); }
    test::MemoryLog Log;
    std::string Tested;
};

TEST_F(XPlaneLink, UdpSendsOneCommandDatagramPerPressAndNothingElse) {
    test::FakeUdpXPlane xplane;
    XPlaneUdpTransport transport("127.0.0.1", xplane.Socket.localPort(), Log);
    transport.Start();
    ASSERT_TRUE(WaitUntil([&] { return transport.State() == LinkState::Connected; }));
    const std::string where = "127.0.0.1:" + std::to_string(xplane.Socket.localPort());
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"X-Plane: connected (UDP " + where + ")"});

    const auto pressed = std::chrono::steady_clock::now();
    transport.Press("sim/GPS/g1000n1_softkey3");
    transport.Hold("sim/GPS/g1000n3_clr", true);
    transport.Hold("sim/GPS/g1000n3_clr", false);  // UDP cannot hold: the press was all
    transport.Test([&](std::string result) { Tested = std::move(result); });
    ASSERT_TRUE(WaitUntil([&] { return xplane.Datagrams.size() == 3; }));
    EXPECT_EQ(xplane.Datagrams,
              (std::vector<QByteArray>{QByteArray("CMND\0sim/GPS/g1000n1_softkey3", 29),
                                       QByteArray("CMND\0sim/GPS/g1000n3_clr", 24),
                                       QByteArray("CMND\0sim/none/none", 18)}));
    EXPECT_EQ(Tested, "sent to " + where);
    EXPECT_FALSE(WaitUntil([&] { return xplane.Datagrams.size() > 3; }, 300ms));
    std::cout << "press to datagram on loopback: "
              << std::chrono::duration<double, std::micro>(xplane.Arrivals[0] - pressed).count()
              << " us\n";
}

TEST_F(XPlaneLink, UdpHostNotFoundIsOneLineAndSendsNothing) {
    XPlaneUdpTransport transport("no such host", 49000, Log);
    transport.Start();
    ASSERT_TRUE(WaitUntil([&] { return transport.State() == LinkState::NoAnswer; }));
    transport.Press("sim/GPS/g1000n1_softkey3");
    transport.Test([&](std::string result) { Tested = std::move(result); });
    EXPECT_EQ(Tested, "not sent: cannot find host 'no such host'");
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"X-Plane: cannot find host 'no such host'"});
}

// One run of the Web API from connection to loss and return: ids looked up before the link
// counts as connected, holds and presses as command_set_is_active with fresh req_ids, a loss
// noticed at once, and the ids of the simulator's next run looked up again.
TEST_F(XPlaneLink, WebApiLooksUpHoldsPressesAndComesBackWithNewIds) {
    test::FakeWebXPlane xplane;
    xplane.Ids = {
        {"sim/none/none", 1}, {"sim/GPS/g1000n1_clr", 17}, {"sim/GPS/g1000n1_hdg_up", 23}};
    ASSERT_TRUE(xplane.Listen());
    const quint16 port = xplane.Server.serverPort();
    const std::string where = "127.0.0.1:" + std::to_string(port);
    {
        test::MemoryLog earlyLog;
        XPlaneWebTransport early("127.0.0.1", port, {}, earlyLog);
        early.Start();
        ASSERT_TRUE(WaitUntil([&] { return !xplane.LookedUp.empty(); }));
    }  // gone with its look-up under way: nothing calls back into it
    xplane.LookedUp.clear();
    XPlaneWebTransport transport(
        "127.0.0.1", port, {"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up", "sim/nonsense"}, Log);
    transport.Start();
    ASSERT_TRUE(WaitUntil([&] { return transport.State() == LinkState::Connected; }));
    std::vector<QString> lookedUp = xplane.LookedUp;
    std::ranges::sort(lookedUp);
    EXPECT_EQ(lookedUp, (std::vector<QString>{"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up",
                                              "sim/none/none", "sim/nonsense"}));

    transport.Hold("sim/GPS/g1000n1_clr", true);
    transport.Hold("sim/GPS/g1000n1_clr", false);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    transport.Press("sim/nonsense");  // unknown to X-Plane: presses nothing
    transport.Test([&](std::string result) { Tested = std::move(result); });
    ASSERT_TRUE(WaitUntil([&] { return !Tested.empty(); }));
    EXPECT_EQ(Tested, "X-Plane answered: success");
    const QByteArray expected[] = {
        R"({"params":{"commands":[{"id":17,"is_active":true}]},"req_id":1,)"
        R"("type":"command_set_is_active"})",
        R"({"params":{"commands":[{"id":17,"is_active":false}]},"req_id":2,)"
        R"("type":"command_set_is_active"})",
        R"({"params":{"commands":[{"duration":0,"id":23,"is_active":true}]},"req_id":3,)"
        R"("type":"command_set_is_active"})",
        R"({"params":{"commands":[{"duration":0,"id":1,"is_active":true}]},"req_id":4,)"
        R"("type":"command_set_is_active"})"};
    ASSERT_EQ(xplane.Messages.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(xplane.Messages[i], expected[i]);
    }

    // Gone: noticed at once; back (with new ids) within a few seconds.
    xplane.Stop();
    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil([&] { return transport.State() == LinkState::NoAnswer; }, 1s));
    const auto noticed = std::chrono::steady_clock::now();
    transport.Press("sim/GPS/g1000n1_hdg_up");
    xplane.Ids["sim/GPS/g1000n1_hdg_up"] = 99;
    xplane.LookedUp.clear();
    // Away longer than one retry: still one line.
    EXPECT_FALSE(WaitUntil([&] { return transport.State() != LinkState::NoAnswer; }, 3500ms));
    ASSERT_TRUE(xplane.Listen(port));
    ASSERT_TRUE(WaitUntil([&] { return transport.State() == LinkState::Connected; }, 5s));
    const auto back = std::chrono::steady_clock::now();
    EXPECT_EQ(xplane.LookedUp.size(), 4u);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    ASSERT_TRUE(WaitUntil([&] { return xplane.Messages.size() == 5; }));
    EXPECT_EQ(xplane.Messages[4],
              R"({"params":{"commands":[{"duration":0,"id":99,"is_active":true}]},"req_id":5,)"
              R"("type":"command_set_is_active"})");
    EXPECT_EQ(Log.Lines,
              (std::vector<std::string>{
                  "X-Plane: connected (Web API " + where + ")",
                  "X-Plane: no such command, these controls do nothing: sim/nonsense",
                  "X-Plane: no answer at " + where + " (The remote host closed the connection)",
                  "X-Plane: connected (Web API " + where + ")"}));
    using Ms = std::chrono::duration<double, std::milli>;
    std::cout << "loss noticed after " << Ms(noticed - stopped).count() << " ms, back "
              << Ms(back - stopped).count() - 3500 << " ms after the server returned\n";
}

TEST_F(XPlaneLink, SchedulerRunsTasksLaterButNotAfterItIsGone) {
    int ran = 0;
    QtScheduler kept;
    auto dropped = std::make_unique<QtScheduler>();
    kept.After(30ms, [&] { ran += 1; });
    dropped->After(10ms, [&] { ran += 10; });
    dropped.reset();
    EXPECT_EQ(ran, 0);
    ASSERT_TRUE(WaitUntil([&] { return ran != 0; }));
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace qel
