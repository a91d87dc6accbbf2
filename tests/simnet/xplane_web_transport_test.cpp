#include "simnet/xplane_web_transport.h"

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fake_web_xplane.h"
#include "event_loop.h"
#include "support/memory_log.h"

namespace qel {
namespace {

using namespace std::chrono_literals;
using test::RunUntil;

// A command_set_is_active request as the fake keeps it (compact, keys in order).
QByteArray Request(int requestId, const char* command) {
    return R"({"params":{"commands":[{)" + QByteArray(command) + R"(}]},"req_id":)" +
           QByteArray::number(requestId) + R"(,"type":"command_set_is_active"})";
}

class XPlaneWebLink : public ::testing::Test {
protected:
    test::MemoryLog Log;
    std::string Tested;
};

// Ids looked up before the link counts as connected, holds and presses with fresh req_ids, a
// loss noticed at once, and the ids of the simulator's next run looked up again.
TEST_F(XPlaneWebLink, LooksUpHoldsPressesAndComesBackWithNewIds) {
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
        ASSERT_TRUE(RunUntil([&] { return !xplane.LookedUp.empty(); }));
    }  // gone with its look-up under way: nothing calls back into it
    xplane.LookedUp.clear();
    XPlaneWebTransport transport(
        "127.0.0.1", port, {"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up", "sim/nonsense"}, Log);
    transport.Start();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::Connected; }));
    EXPECT_EQ(xplane.LookedUp, (std::set<QString>{"sim/GPS/g1000n1_clr", "sim/GPS/g1000n1_hdg_up",
                                                  "sim/none/none", "sim/nonsense"}));

    transport.Hold("sim/GPS/g1000n1_clr", true);
    transport.Hold("sim/GPS/g1000n1_clr", false);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    transport.Press("sim/nonsense");  // unknown to X-Plane: presses nothing
    transport.Test([&](std::string result) { Tested = std::move(result); });
    ASSERT_TRUE(RunUntil([&] { return !Tested.empty(); }));
    EXPECT_EQ(Tested, "X-Plane answered: success");
    // Holds without a duration, presses with "duration":0; nothing for an unknown command.
    EXPECT_EQ(xplane.Messages,
              (std::vector<QByteArray>{Request(1, R"("id":17,"is_active":true)"),
                                       Request(2, R"("id":17,"is_active":false)"),
                                       Request(3, R"("duration":0,"id":23,"is_active":true)"),
                                       Request(4, R"("duration":0,"id":1,"is_active":true)")}));

    // Gone: noticed at once; back (with new ids) within a few seconds.
    xplane.Stop();
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::NoAnswer; }, 1s));
    xplane.Ids["sim/GPS/g1000n1_hdg_up"] = 99;
    xplane.LookedUp.clear();
    // Away longer than one retry: still one line.
    EXPECT_FALSE(RunUntil([&] { return transport.State() != LinkState::NoAnswer; }, 3500ms));
    ASSERT_TRUE(xplane.Listen(port));
    ASSERT_TRUE(RunUntil([&] { return transport.State() == LinkState::Connected; }, 5s));
    EXPECT_EQ(xplane.LookedUp.size(), 4u);
    transport.Press("sim/GPS/g1000n1_hdg_up");
    ASSERT_TRUE(RunUntil([&] { return xplane.Messages.size() == 5; }));
    EXPECT_EQ(xplane.Messages[4], Request(5, R"("duration":0,"id":99,"is_active":true)"));
    EXPECT_EQ(Log.Lines,
              (std::vector<std::string>{
                  "X-Plane: connected (Web API " + where + ")",
                  "X-Plane: no such command, these controls do nothing: sim/nonsense",
                  "X-Plane: no answer at " + where + " (The remote host closed the connection)",
                  "X-Plane: connected (Web API " + where + ")"}));
}

}  // namespace
}  // namespace qel
