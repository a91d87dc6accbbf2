#include "hid/hidapi_library.h"

#include <gtest/gtest.h>

#include <thread>

#include "fake_hidraw_system.h"
#include "hid/report_descriptor.h"
#include "panel_fixture.h"
#include "support/memory_log.h"

namespace qel::test {
namespace {

using N = HidNotification;

struct HidapiRig {
    FakeHidrawSystem* System = nullptr;
    MemoryLog Log;
    NotificationQueue Queue;
    std::unique_ptr<HidapiLibrary> Library;

    explicit HidapiRig(std::size_t readCapacity = HidNotificationQueue::kDefaultReadCapacity)
        : Queue(readCapacity) {
        auto system = std::make_unique<FakeHidrawSystem>();
        System = system.get();
        Library =
            std::make_unique<HidapiLibrary>(std::move(system), Log, std::chrono::milliseconds(20));
    }
    void Connect() { Library->Connect(Queue.Poster()); }
    std::vector<N> Expect(std::size_t count) {
        EXPECT_TRUE(Queue.WaitFor(count)) << "waited for " << count << " notifications";
        return Queue.Take();
    }
};

std::array<std::uint8_t, kCommandReportSize> Command(char letter) {
    std::array<std::uint8_t, kCommandReportSize> report{};
    report[1] = static_cast<std::uint8_t>(letter);
    return report;
}

TEST(HidapiLibrary, PanelsPresentAtConnectRaisePluggedEachThenOneChangedAndOthersAreNotOpened) {
    HidapiRig rig;
    rig.System->AddPresent(Node("/dev/hidraw0", 0x046D, 0xC52B));
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 684));
    rig.System->AddPresent(Node("/dev/hidraw2", 0x0D59, 689));
    rig.Connect();
    const auto got = rig.Expect(3);
    ASSERT_EQ(got.size(), 3U);
    EXPECT_EQ(got[0].Event, kPlugged);
    EXPECT_EQ(got[1].Event, kPlugged);
    EXPECT_EQ(got[2], (N{kChanged, 0}));
    EXPECT_EQ(rig.System->Attempts(), (std::vector<std::string>{"/dev/hidraw1", "/dev/hidraw2"}));
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 684), got[0].Handle);
    EXPECT_EQ(rig.Library->GetProductID(got[1].Handle), 689);
    EXPECT_NE(got[0].Handle, 0U);
}

TEST(HidapiLibrary, ArrivalAndRemovalRaiseTheirEventThenChangedWithFreshHandles) {
    HidapiRig rig;
    rig.Connect();
    EXPECT_EQ(rig.Expect(1), (std::vector<N>{{kChanged, 0}}));
    rig.System->Arrive(Node("/dev/hidraw4", 0x0D59, 686));
    const auto arrived = rig.Expect(2);
    ASSERT_EQ(arrived.size(), 2U);
    EXPECT_EQ(arrived[0].Event, kPlugged);
    EXPECT_EQ(arrived[1].Event, kChanged);
    const HidHandle first = arrived[0].Handle;

    rig.System->Leave("/dev/hidraw4");
    EXPECT_EQ(rig.Expect(2), (std::vector<N>{{kUnplugged, first}, {kChanged, 0}}));
    EXPECT_EQ(rig.Library->GetProductID(first), 686)
        << "the unplugged event still needs the product ID";
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 686), 0U);
    EXPECT_FALSE(rig.Library->Write(first, Command('A')))
        << "a write to a gone device fails quietly";

    rig.System->Arrive(Node("/dev/hidraw4", 0x0D59, 686));
    const auto again = rig.Expect(2);
    ASSERT_FALSE(again.empty());
    EXPECT_NE(again[0].Handle, first) << "handles are never reused";
    EXPECT_NE(again[0].Handle, 0U);
}

TEST(HidapiLibrary, ReportsGetTheirReportIdInByteZeroWhetherOrNotTheDeviceNumbersThem) {
    struct Case {
        bool Numbered;
        std::vector<std::uint8_t> Sent;
        std::vector<std::uint8_t> Read;
    };
    const Case cases[] = {
        {false, {0xC1, 0x10, 0x20}, {0x00, 0xC1, 0x10, 0x20, 0x00}},
        {true, {0x03, 0xC2, 0x7F}, {0x03, 0xC2, 0x7F, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Numbered ? "numbered" : "unnumbered");
        HidapiRig rig;
        rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 684, c.Numbered));
        rig.Connect();
        const HidHandle h = rig.Expect(2)[0].Handle;
        rig.Library->SetReadNotify(h, true);
        rig.System->Send("/dev/hidraw1", c.Sent);
        const auto got = rig.Expect(1);
        ASSERT_EQ(got.size(), 1U);
        EXPECT_EQ(got[0].Event, kRead);
        EXPECT_EQ(got[0].Handle, h);
        EXPECT_EQ(std::vector<std::uint8_t>(got[0].Report.begin(), got[0].Report.begin() + 5),
                  c.Read);
    }
}

TEST(HidapiLibrary, EveryReportOfEveryDeviceIsAnnouncedOnceAndReadInOrder) {
    HidapiRig rig;
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 684));
    rig.System->AddPresent(Node("/dev/hidraw2", 0x0D59, 688));
    rig.Connect();
    const auto plugged = rig.Expect(3);
    const HidHandle a = plugged[0].Handle;
    const HidHandle b = plugged[1].Handle;
    rig.Library->SetReadNotify(a, true);
    rig.Library->SetReadNotify(b, true);
    constexpr int kReports = 50;
    for (int i = 0; i < kReports; ++i) {
        rig.System->Send("/dev/hidraw1", {0xC1, static_cast<std::uint8_t>(i)});
        rig.System->Send("/dev/hidraw2", {0xC2, static_cast<std::uint8_t>(i)});
    }
    const auto reads = rig.Expect(2 * kReports);
    ASSERT_EQ(reads.size(), 2U * kReports);
    std::map<HidHandle, int> next;
    for (const N& n : reads) {
        ASSERT_EQ(n.Event, kRead);
        EXPECT_EQ(n.Report[2], next[n.Handle]++) << "reports of one device must stay in order";
    }
    EXPECT_EQ(next[a], kReports);
    EXPECT_EQ(next[b], kReports);
}

TEST(HidapiLibrary, AUnitTheMainThreadFallsBehindOnKeepsItsNewestReports) {
    HidapiRig rig(2);
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 685));
    rig.Connect();
    const HidHandle h = rig.Expect(2)[0].Handle;
    rig.Library->SetReadNotify(h, true);
    for (std::uint8_t i = 1; i <= 4; ++i) {
        rig.System->Send("/dev/hidraw1", {0xC1, i});
    }
    ASSERT_TRUE(rig.Queue.WaitFor(4));
    const auto kept = rig.Queue.Take();
    EXPECT_EQ(rig.Queue.DroppedReports(), 2U);
    ASSERT_EQ(kept.size(), 2U);
    EXPECT_EQ(kept[0].Report[2], 3);
    EXPECT_EQ(kept[1].Report[2], 4);
}

TEST(HidapiLibrary, ADeviceWhoseReadFailsIsTreatedAsRemoved) {
    HidapiRig rig;
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 687));
    rig.Connect();
    const HidHandle h = rig.Expect(2)[0].Handle;
    rig.System->FailReads("/dev/hidraw1");
    EXPECT_EQ(rig.Expect(2), (std::vector<N>{{kUnplugged, h}, {kChanged, 0}}));
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 687), 0U);
    // The udev removal that follows a real unplug is not a second removal.
    rig.System->Leave("/dev/hidraw1");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(rig.Queue.Take().empty());
}

TEST(HidapiLibrary, WritesReachTheDeviceAndAFailedWriteIsReportedAsFalse) {
    HidapiRig rig;
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 688));
    rig.Connect();
    const HidHandle h = rig.Expect(2)[0].Handle;
    EXPECT_TRUE(rig.Library->Write(h, Command('B')));
    auto state = rig.System->StateOf("/dev/hidraw1");
    {
        std::lock_guard lock(state->Mutex);
        ASSERT_EQ(state->Written.size(), 1U);
        EXPECT_EQ(state->Written[0].size(), kCommandReportSize);
        EXPECT_EQ(state->Written[0][1], 'B');
        state->WriteFails = true;
    }
    EXPECT_FALSE(rig.Library->Write(h, Command('A')));
}

TEST(HidapiLibrary, ANodeThatCannotBeOpenedIsLoggedWithItsReasonOnTheMainThread) {
    HidapiRig rig;
    rig.System->RefuseOpen("/dev/hidraw7");
    rig.Connect();
    rig.Expect(1);
    rig.System->Arrive(Node("/dev/hidraw7", 0x0D59, 684));
    const auto got = rig.Expect(1);
    EXPECT_EQ(got, (std::vector<N>{{kChanged, 0}})) << "no Plugged for a device that is not open";
    EXPECT_TRUE(rig.Log.Lines.empty()) << "the log is touched on the main thread only";
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 684), 0U);
    ASSERT_EQ(rig.Log.Lines.size(), 1U);
    EXPECT_EQ(rig.Log.Lines[0], "/dev/hidraw7: cannot open (Permission denied)");
}

TEST(HidapiLibrary, DisconnectClosesEveryDeviceAndRaisesNothingMore) {
    HidapiRig rig;
    rig.System->AddPresent(Node("/dev/hidraw1", 0x0D59, 684));
    rig.System->AddPresent(Node("/dev/hidraw2", 0x0D59, 685));
    rig.Connect();
    const HidHandle h = rig.Expect(3)[0].Handle;
    rig.Library->Disconnect();
    EXPECT_FALSE(rig.System->StateOf("/dev/hidraw1")->Open);
    EXPECT_FALSE(rig.System->StateOf("/dev/hidraw2")->Open);
    EXPECT_FALSE(rig.Library->Write(h, Command('A')));
    rig.System->Arrive(Node("/dev/hidraw3", 0x0D59, 686));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(rig.Queue.Take().empty());
}

TEST(ReportDescriptor, FindsAReportIdItemOnlyWhereOneIsDeclared) {
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Descriptor;
        bool Numbered;
    };
    const Case cases[] = {
        {"plain vendor page",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
          0x40, 0x81, 0x02, 0xC0},
         false},
        {"report ID 1", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x75, 0x08, 0xC0}, true},
        // 0x85 as a data byte of another item is not a Report ID.
        {"0x85 inside data", {0x26, 0x85, 0x00, 0x75, 0x08}, false},
        {"0x85 inside a 4-byte item", {0x27, 0x85, 0x85, 0x85, 0x85, 0x75, 0x08}, false},
        {"long item skipped", {0xFE, 0x02, 0x10, 0x85, 0x85, 0x85, 0x02}, true},
        {"truncated", {0x06, 0x00}, false},
        {"truncated long item", {0xFE}, false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(DeclaresReportIds(c.Descriptor), c.Numbered);
    }
}

}  // namespace
}  // namespace qel::test
