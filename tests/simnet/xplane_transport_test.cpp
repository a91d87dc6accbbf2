#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "event_loop.h"
#include "simnet/xplane_udp_transport.h"
#include "support/memory_log.h"

namespace qel {
namespace {

// What a UDP link sends is checked through the program (the link dialog's test and the
// end-to-end run); here, the one thing only the transport shows.
TEST(XPlaneUdpLink, HostNotFoundIsOneLineAndSendsNothing) {
    test::MemoryLog log;
    XPlaneUdpTransport transport("no such host", 49000, log);
    transport.Start();
    ASSERT_TRUE(test::RunUntil([&] { return transport.State() == LinkState::NoAnswer; }));
    std::string tested;
    transport.Test([&](std::string result) { tested = std::move(result); });
    EXPECT_EQ(tested, "not sent: cannot find host 'no such host'");
    EXPECT_EQ(log.Lines, std::vector<std::string>{"X-Plane: cannot find host 'no such host'"});
}

}  // namespace
}  // namespace qel
