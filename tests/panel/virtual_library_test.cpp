#include "panel/virtual_library.h"

#include <gtest/gtest.h>

#include "panel_fixture.h"

namespace qel::test {
namespace {

using N = HidNotification;
constexpr int kPlugged = 1;
constexpr int kUnplugged = 2;
constexpr int kChanged = 3;
constexpr int kRead = 4;

struct Connected {
    NotificationQueue Queue;
    VirtualPanels Panels;
    explicit Connected(std::vector<ScriptEvent> script = {},
                       std::size_t capacity = HidDeviceRegistry::kDefaultQueueCapacity)
        : Panels(std::move(script), VirtualPanels::Clock::Manual, capacity) {
        Panels.Connect(Queue.Poster());
    }
};

TEST(VirtualPanels, ArrivalAndRemovalRaiseTheirEventThenChanged) {
    Connected rig;
    const HidHandle a = rig.Panels.Plug(684);
    const HidHandle b = rig.Panels.PlugOther(0x046D, 684);
    rig.Panels.Unplug(684);
    EXPECT_NE(a, b);
    EXPECT_EQ(rig.Queue.Take(), (std::vector<N>{{kPlugged, a},
                                                {kChanged, 0},
                                                {kPlugged, b},
                                                {kChanged, 0},
                                                {kUnplugged, a},
                                                {kChanged, 0}}));
    EXPECT_FALSE(rig.Panels.Unplug(684)) << "the other vendor's device is not a panel";
    EXPECT_TRUE(rig.Queue.Take().empty());
}

TEST(VirtualPanels, IdsStillAnswerAfterTheDeviceHasGoneAndHandlesAreNeverReused) {
    Connected rig;
    const HidHandle first = rig.Panels.Plug(687);
    rig.Panels.Unplug(687);
    const HidHandle second = rig.Panels.Plug(687);
    EXPECT_NE(first, second);
    EXPECT_EQ(rig.Panels.GetVendorID(first), 0x0D59);
    EXPECT_EQ(rig.Panels.GetProductID(first), 687);
    EXPECT_EQ(rig.Panels.GetHandle(0x0D59, 687), second);
    EXPECT_EQ(rig.Panels.GetProductID(0), 0);
    EXPECT_EQ(rig.Panels.GetHandle(0x0D59, 684), 0U);
}

TEST(VirtualPanels, ReportsAreQueuedAndAnnouncedOnlyOnceReadNotifyIsOn) {
    Connected rig;
    const HidHandle h = rig.Panels.Plug(684);
    rig.Queue.Take();
    const std::uint8_t early[] = {0, 0xC1, 9};
    rig.Panels.SendReport(684, early);
    EXPECT_TRUE(rig.Queue.Take().empty());
    std::array<std::uint8_t, kInputReportSize> buffer{};
    EXPECT_FALSE(rig.Panels.Read(h, buffer));

    rig.Panels.SetReadNotify(h, true);
    const std::uint8_t one[] = {0, 0xC2, 1};
    const std::uint8_t two[] = {0, 0xC3, 2};
    rig.Panels.SendReport(684, one);
    rig.Panels.SendReport(684, two);
    EXPECT_EQ(rig.Queue.Take(), (std::vector<N>{{kRead, h}, {kRead, h}}));
    ASSERT_TRUE(rig.Panels.Read(h, buffer));
    EXPECT_EQ(buffer[1], 0xC2);
    ASSERT_TRUE(rig.Panels.Read(h, buffer));
    EXPECT_EQ(buffer[1], 0xC3);
    EXPECT_FALSE(rig.Panels.Read(h, buffer));
    EXPECT_EQ(buffer[1], 0xC3) << "a failed read leaves the buffer alone";
}

TEST(VirtualPanels, AFullQueueDropsItsOldestReportAndCountsIt) {
    Connected rig({}, 3);
    const HidHandle h = rig.Panels.Plug(688);
    rig.Panels.SetReadNotify(h, true);
    for (std::uint8_t i = 1; i <= 5; ++i) {
        const std::uint8_t report[] = {0, 0xC1, i};
        rig.Panels.SendReport(688, report);
    }
    EXPECT_EQ(rig.Panels.DroppedReports(), 2U);
    std::array<std::uint8_t, kInputReportSize> buffer{};
    for (std::uint8_t expected = 3; expected <= 5; ++expected) {
        ASSERT_TRUE(rig.Panels.Read(h, buffer));
        EXPECT_EQ(buffer[2], expected);
    }
    EXPECT_FALSE(rig.Panels.Read(h, buffer));
}

TEST(VirtualPanels, WritesAreRecordedWithUnitLetterAndTimeAndFailForAGoneDevice) {
    Connected rig;
    const HidHandle h = rig.Panels.Plug(685);
    rig.Panels.AdvanceTo(40);
    const auto b = [] {
        std::array<std::uint8_t, kCommandReportSize> report{};
        report[1] = 'B';
        return report;
    }();
    EXPECT_TRUE(rig.Panels.Write(h, b));
    rig.Panels.Unplug(685);
    EXPECT_FALSE(rig.Panels.Write(h, b));
    EXPECT_FALSE(rig.Panels.Write(0, b));
    const auto writes = rig.Panels.Writes();
    ASSERT_EQ(writes.size(), 1U);
    EXPECT_EQ(writes[0].ProductId, 685);
    EXPECT_EQ(writes[0].Letter, 'B');
    EXPECT_EQ(writes[0].AtMs, 40U);
}

TEST(VirtualPanels, ManualClockPlaysEachScriptEventOnceWhenItsTimeComes) {
    const PanelScript script = ParsePanelScript(
        "at 0 plug 684\n"
        "at 100 report 684 0 C1 01\n"
        "at 100 report 684 0 C1 00\n"
        "at 300 unplug 684\n");
    Connected rig(script.Events);
    EXPECT_TRUE(rig.Queue.Take().empty()) << "nothing may arrive during or right after Connect";
    rig.Panels.AdvanceTo(0);
    const auto plugged = rig.Queue.Take();
    ASSERT_EQ(plugged.size(), 2U);
    rig.Panels.SetReadNotify(plugged[0].Handle, true);
    rig.Panels.AdvanceTo(99);
    EXPECT_TRUE(rig.Queue.Take().empty());
    rig.Panels.AdvanceTo(100);
    EXPECT_EQ(rig.Queue.Take().size(), 2U);
    rig.Panels.AdvanceTo(100);
    EXPECT_TRUE(rig.Queue.Take().empty());
    rig.Panels.AdvanceTo(1000);
    EXPECT_EQ(rig.Queue.Take(), (std::vector<N>{{kUnplugged, plugged[0].Handle}, {kChanged, 0}}));
}

TEST(VirtualPanels, RealTimeScriptPlaysOnItsOwnThreadAndDisconnectEndsIt) {
    const PanelScript script =
        ParsePanelScript("at 0 plug 684\nat 20 unplug 684\nat 600000 plug 685\n");
    NotificationQueue queue;
    VirtualPanels panels(script.Events, VirtualPanels::Clock::RealTime);
    panels.Connect(queue.Poster());
    ASSERT_TRUE(queue.WaitFor(4));
    const auto got = queue.Take();
    EXPECT_EQ(got[0].EventCode, kPlugged);
    EXPECT_EQ(got[2].EventCode, kUnplugged);
    panels.Disconnect();  // must not wait ten minutes for the last line
    EXPECT_FALSE(panels.ScriptFinished());
    EXPECT_TRUE(queue.Take().empty());
}

}  // namespace
}  // namespace qel::test
