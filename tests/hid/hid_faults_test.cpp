// HID faults through both back ends: reports of any length, a unit removed in the middle of a
// burst, failing reads and writes, the same unit plugged twice, an unknown product of our
// vendor. Nothing may crash, and the device table, the count and the labels must be right
// afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "fake_hidraw_system.h"
#include "hid/hidapi_library.h"
#include "panel_fixture.h"
#include "support/memory_log.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

using Buffer = std::array<std::uint8_t, kReceiveBufferSize>;
using Slots = std::array<std::uint32_t, kDeviceCount>;

struct Decoded {
    int ProductId = 0;  // of the unit decoded
    Buffer Bytes{};
};

// The hidapi back end over the fake system, with the device module and the hook, as the
// program wires them; the main thread's loop is Pump.
struct HidapiHookRig {
    // The nodes present when the program starts: the device module connects at once.
    explicit HidapiHookRig(const std::vector<HidrawNode>& present) {
        auto system = std::make_unique<FakeHidrawSystem>();
        System = system.get();
        for (const HidrawNode& node : present) {
            System->AddPresent(node);
        }
        auto library =
            std::make_unique<HidapiLibrary>(std::move(system), Log, std::chrono::milliseconds(10));
        Library = library.get();
        Device = std::make_unique<TDeviceDM>(std::move(library), Queue.Poster());
        Hook = std::make_unique<HidHook>(*Device, View, [this](UnitId unit, ReceiveBuffer buffer) {
            Reports.push_back({NamesOf(unit).ProductId, {}});
            std::copy(buffer.begin(), buffer.end(), Reports.back().Bytes.begin());
        });
    }
    ~HidapiHookRig() { Device->Disconnect(); }

    // Handles notifications until done() holds after a quiet spell, or a generous limit passes.
    bool Pump(const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit) {
            if (Queue.DrainInto(*Hook) == 0) {
                if (done()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    if (Queue.DrainInto(*Hook) == 0 && done()) {
                        return true;
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        return false;
    }
    Slots Table() const {
        Slots slots{};
        for (std::size_t i = 0; i < slots.size(); ++i) {
            slots[i] = Device->Handles[i].load();
        }
        return slots;
    }

    FakeHidrawSystem* System = nullptr;
    HidapiLibrary* Library = nullptr;
    MemoryLog Log;
    NotificationQueue Queue;
    RecordingView View;
    std::vector<Decoded> Reports;
    std::unique_ptr<TDeviceDM> Device;
    std::unique_ptr<HidHook> Hook;
};

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t first) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

// The receive buffer holds the report's first bytes and zeros after them, never bytes left
// from an earlier, longer report.
void ExpectBuffer(const Buffer& got, const std::vector<std::uint8_t>& report) {
    const std::size_t kept = std::min(report.size(), got.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], i < kept ? report[i] : 0) << "byte " << i;
    }
}

const std::size_t kLengths[] = {0, 1, 2, 3, 9, 127, 128, 129, 300, 4096};

TEST(HidFaults, VirtualReportsOfAnyLengthAreCutToTheBufferAndZeroFilled) {
    PanelRig rig;
    std::vector<Decoded> reports;
    rig.Hook =
        std::make_unique<HidHook>(*rig.Device, rig.View, [&](UnitId unit, ReceiveBuffer buffer) {
            reports.push_back({NamesOf(unit).ProductId, {}});
            std::copy(buffer.begin(), buffer.end(), reports.back().Bytes.begin());
        });
    rig.Panels->Plug(686);
    rig.Drain();
    // Longest first, so that a shorter report would show any stale bytes.
    std::vector<std::vector<std::uint8_t>> sent;
    for (auto length = std::rbegin(kLengths); length != std::rend(kLengths); ++length) {
        sent.push_back(Pattern(*length, static_cast<std::uint8_t>(*length | 1)));
        ASSERT_TRUE(rig.Panels->SendReport(686, sent.back()));
    }
    rig.Drain();
    ASSERT_EQ(reports.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(testing::Message() << sent[i].size() << " bytes");
        EXPECT_EQ(reports[i].ProductId, 686);
        ExpectBuffer(reports[i].Bytes, sent[i]);
    }
    EXPECT_EQ(rig.Hook->ReadCount, static_cast<int>(sent.size()));
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
}

TEST(HidFaults, HidapiReportsOfAnyLengthGetTheirReportIdAndNoStaleBytes) {
    HidapiHookRig rig({Node("/dev/hidraw1", kPanelVendorId, 684)});
    ASSERT_TRUE(rig.Pump([&] { return rig.Hook->ConnectedCount == 1; }));
    std::vector<std::vector<std::uint8_t>> expected;
    for (auto length = std::rbegin(kLengths); length != std::rend(kLengths); ++length) {
        const std::vector<std::uint8_t> bytes = Pattern(*length, 0xC1);
        rig.System->Send("/dev/hidraw1", bytes);
        if (bytes.empty()) {
            continue;  // a read of nothing is no report
        }
        // Unnumbered reports come without their ID; the buffer gets ID 0 in front, and what
        // does not fit the read is cut.
        std::vector<std::uint8_t> read{0};
        read.insert(read.end(), bytes.begin(),
                    bytes.begin() + std::min<std::size_t>(bytes.size(), kReceiveBufferSize - 1));
        expected.push_back(read);
    }
    ASSERT_TRUE(rig.Pump([&] { return rig.Reports.size() >= expected.size(); }));
    ASSERT_EQ(rig.Reports.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message()
                     << "report " << i << ", " << expected[i].size() << " bytes");
        ExpectBuffer(rig.Reports[i].Bytes, expected[i]);
    }
}

TEST(HidFaults, UnitRemovedInTheMiddleOfABurstLosesOnlyItsOwnLaterReports) {
    PanelRig rig;
    rig.Panels->Plug(684);
    rig.Panels->Plug(688);
    rig.Drain();
    constexpr int kBurst = 100;
    for (int i = 0; i < kBurst; ++i) {
        const std::uint8_t report[] = {0, 0xC1, static_cast<std::uint8_t>(i)};
        const bool bezelThere = rig.Panels->SendReport(684, report);
        EXPECT_EQ(bezelThere, i < kBurst / 2);
        EXPECT_TRUE(rig.Panels->SendReport(688, report));
        if (i == kBurst / 2 - 1) {
            rig.Drain();  // half the bezel's reports were handled before it went
            rig.Panels->Unplug(684);
        }
    }
    rig.Drain();
    const auto bezel = std::count_if(rig.Decoded.begin(), rig.Decoded.end(),
                                     [](const DecodedReport& r) { return r.ProductId == 684; });
    const auto audio = std::count_if(rig.Decoded.begin(), rig.Decoded.end(),
                                     [](const DecodedReport& r) { return r.ProductId == 688; });
    EXPECT_EQ(bezel, kBurst / 2);
    EXPECT_EQ(audio, kBurst);
    EXPECT_EQ(rig.Hook->ReadCount, kBurst / 2 + kBurst);
    EXPECT_EQ(rig.Slots()[0], 0U);
    EXPECT_NE(rig.Slots()[4], 0U);
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0:");
    EXPECT_EQ(rig.View.Captions[4], "QELAudio-0: Connected");
}

TEST(HidFaults, HidapiUnitPulledDuringABurstEndsWithTheOtherUnitAloneInTheTable) {
    HidapiHookRig rig(
        {Node("/dev/hidraw1", kPanelVendorId, 685), Node("/dev/hidraw2", kPanelVendorId, 689)});
    ASSERT_TRUE(rig.Pump([&] { return rig.Hook->ConnectedCount == 2; }));
    constexpr int kBurst = 200;
    std::thread hardware([&] {
        for (int i = 0; i < kBurst; ++i) {
            rig.System->Send("/dev/hidraw1", {0xC1, static_cast<std::uint8_t>(i)});
            rig.System->Send("/dev/hidraw2", {0xC2, static_cast<std::uint8_t>(i)});
            if (i == kBurst / 2) {
                rig.System->Leave("/dev/hidraw1");
            }
        }
    });
    const bool settled = rig.Pump([&] {
        return rig.Hook->ConnectedCount == 1 &&
               std::count_if(rig.Reports.begin(), rig.Reports.end(),
                             [](const Decoded& r) { return r.ProductId == 689; }) == kBurst;
    });
    hardware.join();
    EXPECT_TRUE(settled);
    EXPECT_EQ(rig.Table()[1], 0U);
    EXPECT_NE(rig.Table()[5], 0U);
    EXPECT_EQ(rig.View.Captions[1], "QEL1000-1:");
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
    const auto bezel = std::count_if(rig.Reports.begin(), rig.Reports.end(),
                                     [](const Decoded& r) { return r.ProductId == 685; });
    EXPECT_LE(bezel, kBurst / 2 + 1);
    EXPECT_EQ(rig.Hook->ReadCount, static_cast<int>(rig.Reports.size()));
    EXPECT_FALSE(rig.System->StateOf("/dev/hidraw1")->Open);
}

TEST(HidFaults, FailingReadsOfOneUnitAndFailingWritesOfAnotherLeaveTheRestRunning) {
    HidapiHookRig rig({Node("/dev/hidraw1", kPanelVendorId, 684),
                       Node("/dev/hidraw2", kPanelVendorId, 686),
                       Node("/dev/hidraw3", kPanelVendorId, 688)});
    ASSERT_TRUE(rig.Pump([&] { return rig.Hook->ConnectedCount == 3; }));

    rig.System->FailReads("/dev/hidraw1");
    {
        auto state = rig.System->StateOf("/dev/hidraw2");
        std::lock_guard lock(state->Mutex);
        state->WriteFails = true;
    }
    // The workers' commands: the failing write is quiet, the others still arrive.
    for (int i = 0; i < 5; ++i) {
        rig.Device->SendG1000A(BezelUnit(2));
        rig.Device->SendG1000B(BezelUnit(2), i % 2);
        rig.Device->SendAudioA(AudioUnit(0));
    }
    rig.System->Send("/dev/hidraw2", {0xC1, 0x01});
    rig.System->Send("/dev/hidraw3", {0xC2, 0x02});
    ASSERT_TRUE(rig.Pump([&] { return rig.Hook->ConnectedCount == 2 && rig.Reports.size() == 2; }));

    EXPECT_EQ(rig.Table()[0], 0U) << "a unit whose read fails is gone";
    EXPECT_NE(rig.Table()[2], 0U) << "a unit whose write fails stays";
    EXPECT_NE(rig.Table()[4], 0U);
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0:");
    EXPECT_EQ(rig.View.Captions[2], "QEL1000-2: Connected");
    EXPECT_EQ(rig.View.StatusText, "Connected : 2");
    auto audio = rig.System->StateOf("/dev/hidraw3");
    std::lock_guard lock(audio->Mutex);
    EXPECT_EQ(audio->Written.size(), 5U);
}

TEST(HidFaults, SameUnitPluggedTwiceKeepsOneSlotAndTheOtherTakesOverWhenTheFirstGoes) {
    HidapiHookRig rig(
        {Node("/dev/hidraw1", kPanelVendorId, 685), Node("/dev/hidraw2", kPanelVendorId, 685)});
    ASSERT_TRUE(rig.Pump([&] { return rig.Table()[1] != 0; }));
    const HidHandle first = rig.Table()[1];
    EXPECT_EQ(rig.Hook->ConnectedCount, 1) << "the changed event counts units, not plugs";

    rig.System->Leave("/dev/hidraw1");
    ASSERT_TRUE(rig.Pump([&] { return rig.Table()[1] != 0 && rig.Table()[1] != first; }));
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
    rig.System->Send("/dev/hidraw2", {0xC1, 0x33});
    ASSERT_TRUE(rig.Pump([&] { return rig.Reports.size() == 1; }));
    EXPECT_EQ(rig.Reports[0].ProductId, 685);
    EXPECT_EQ(rig.Reports[0].Bytes[2], 0x33);

    rig.System->Leave("/dev/hidraw2");
    ASSERT_TRUE(rig.Pump([&] { return rig.Table()[1] == 0; }));
    EXPECT_EQ(rig.Hook->ConnectedCount, 0);
    EXPECT_EQ(rig.View.Captions[1], "QEL1000-1:");
}

TEST(HidFaults, UnknownProductOfOurVendorIsOpenedButNeverCountedOrDecoded) {
    for (const int productId : {0, 683, 690, 700, 0xFFFF}) {
        SCOPED_TRACE(productId);
        HidapiHookRig rig({Node("/dev/hidraw1", kPanelVendorId, 687),
                           Node("/dev/hidraw9", kPanelVendorId, productId)});
        ASSERT_TRUE(rig.Pump([&] { return rig.Hook->ConnectedCount == 1; }));
        rig.System->Send("/dev/hidraw9", {0xC1, 0xFF, 0xFF});
        rig.System->Send("/dev/hidraw1", {0xC1, 0x01});
        ASSERT_TRUE(rig.Pump([&] { return rig.Reports.size() == 1; }));
        EXPECT_EQ(rig.Reports[0].ProductId, 687);
        rig.System->Leave("/dev/hidraw9");
        ASSERT_TRUE(
            rig.Pump([&] { return rig.Library->GetHandle(kPanelVendorId, productId) == 0; }));
        EXPECT_EQ(rig.Hook->ConnectedCount, 1);
        EXPECT_EQ(rig.Table(), (Slots{0, 0, 0, rig.Table()[3], 0, 0}));
        EXPECT_NE(rig.Table()[3], 0U);
        EXPECT_EQ(rig.View.Captions[3], "QEL1000-3: Connected");
        EXPECT_EQ(rig.View.StatusText, "Connected : 1");
    }
}

}  // namespace
}  // namespace qel::test
