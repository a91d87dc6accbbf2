#include "hid/virtual_library.h"

#include <algorithm>
#include <initializer_list>

#include <gtest/gtest.h>

#include "panel_fixture.h"

namespace qel::test {
namespace {

using N = HidNotification;

struct Connected {
    NotificationQueue Queue;
    VirtualPanels Panels;
    explicit Connected(std::vector<ScriptEvent> script = {},
                       std::size_t readCapacity = HidNotificationQueue::kDefaultReadCapacity)
        : Queue(readCapacity), Panels(std::move(script), VirtualPanels::Clock::Manual) {
        Panels.Connect(Queue.Poster());
    }
};

// A Read notification of handle carrying bytes, the rest of the report zero.
N ReadOf(HidHandle handle, std::initializer_list<std::uint8_t> bytes) {
    N read{HidEvent::Read, handle};
    std::copy(bytes.begin(), bytes.end(), read.Report.begin());
    return read;
}

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

TEST(VirtualPanels, ReportsAreAnnouncedWithTheirBytesOnlyOnceReadNotifyIsOn) {
    Connected rig;
    const HidHandle h = rig.Panels.Plug(684);
    rig.Queue.Take();
    const std::uint8_t early[] = {0, 0xC1, 9};
    rig.Panels.SendReport(684, early);
    EXPECT_TRUE(rig.Queue.Take().empty()) << "a report before read notify is not kept";

    rig.Panels.SetReadNotify(h, true);
    const std::uint8_t one[] = {0, 0xC2, 1};
    const std::uint8_t two[] = {0, 0xC3, 2};
    rig.Panels.SendReport(684, one);
    rig.Panels.SendReport(684, two);
    EXPECT_EQ(rig.Queue.Take(), (std::vector<N>{ReadOf(h, {0, 0xC2, 1}), ReadOf(h, {0, 0xC3, 2})}));
}

TEST(VirtualPanels, AUnitTooFarAheadLosesItsOldestReportsOnlyAndTheyAreCounted) {
    Connected rig({}, 3);
    const HidHandle audio = rig.Panels.Plug(688);
    const HidHandle bezel = rig.Panels.Plug(684);
    rig.Panels.SetReadNotify(audio, true);
    rig.Panels.SetReadNotify(bezel, true);
    rig.Queue.Take();
    const std::uint8_t bezelReport[] = {0, 0xC2, 7};
    rig.Panels.SendReport(684, bezelReport);
    for (std::uint8_t i = 1; i <= 5; ++i) {
        const std::uint8_t report[] = {0, 0xC1, i};
        rig.Panels.SendReport(688, report);
    }
    rig.Panels.Unplug(684);
    EXPECT_EQ(rig.Queue.DroppedReports(), 2U);
    EXPECT_EQ(rig.Queue.Take(), (std::vector<N>{ReadOf(bezel, {0, 0xC2, 7}),
                                                ReadOf(audio, {0, 0xC1, 3}),
                                                ReadOf(audio, {0, 0xC1, 4}),
                                                ReadOf(audio, {0, 0xC1, 5}),
                                                {kUnplugged, bezel},
                                                {kChanged, 0}}))
        << "the newest reports stay, in order, and other events are never dropped";

    // Draining starts the bound afresh.
    for (std::uint8_t i = 6; i <= 8; ++i) {
        const std::uint8_t report[] = {0, 0xC1, i};
        rig.Panels.SendReport(688, report);
    }
    EXPECT_EQ(rig.Queue.Take().size(), 3U);
    EXPECT_EQ(rig.Queue.DroppedReports(), 2U);
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
    EXPECT_EQ(got[0].Event, kPlugged);
    EXPECT_EQ(got[2].Event, kUnplugged);
    panels.Disconnect();  // must not wait ten minutes for the last line
    EXPECT_FALSE(panels.ScriptFinished());
    EXPECT_TRUE(queue.Take().empty());
}

}  // namespace
}  // namespace qel::test
