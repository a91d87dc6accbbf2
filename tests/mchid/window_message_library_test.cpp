#include "mchid/window_message_library.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "hid/virtual_library.h"

namespace qel::test {
namespace {

struct Message {
    HidEvent Event = HidEvent::Changed;
    HidHandle Handle = 0;
    bool operator==(const Message&) const = default;
};

constexpr HidEvent kPlugged = HidEvent::Plugged;
constexpr HidEvent kUnplugged = HidEvent::Unplugged;
constexpr HidEvent kChanged = HidEvent::Changed;
constexpr HidEvent kRead = HidEvent::Read;

// The library over manually driven virtual panels, with the window's message queue recorded.
struct Rig {
    VirtualPanels* Panels = nullptr;  // owned by Library
    std::unique_ptr<WindowMessageLibrary> Library;
    std::mutex Mutex;
    std::vector<Message> Messages;
    bool WindowTakesReads = true;

    explicit Rig(std::size_t capacity = WindowMessageLibrary::kReportQueueCapacity) {
        auto panels = std::make_unique<VirtualPanels>();
        Panels = panels.get();
        Library = std::make_unique<WindowMessageLibrary>(std::move(panels), capacity);
        EXPECT_TRUE(Library->Connect([this](HidEvent event, HidHandle handle) {
            std::lock_guard lock(Mutex);
            if (event == kRead && !WindowTakesReads) {
                return false;
            }
            Messages.push_back({event, handle});
            return true;
        }));
    }

    std::vector<Message> Take() {
        std::lock_guard lock(Mutex);
        return std::exchange(Messages, {});
    }

    // The report Read hands over, or nothing.
    std::optional<InputReport> Read(HidHandle handle) {
        InputReport report{};
        report.fill(0xEE);  // so untouched bytes show
        if (!Library->Read(handle, report)) {
            EXPECT_EQ(report[0], 0xEE) << "a failed Read leaves the buffer alone";
            return std::nullopt;
        }
        return report;
    }

    // The connected panel sends a report of type 0xC1 whose byte 2 is marker.
    void Send(int productId, std::uint8_t marker) {
        const std::uint8_t bytes[] = {0x00, 0xC1, marker};
        ASSERT_TRUE(Panels->SendReport(productId, bytes));
    }
};

InputReport ReportOf(std::initializer_list<std::uint8_t> bytes) {
    InputReport report{};
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return report;
}

TEST(WindowMessageLibrary, EachNotificationBecomesOneMessageAndReadHandsOverTheAnnouncedReport) {
    Rig rig;
    EXPECT_TRUE(rig.Take().empty()) << "nothing is announced before a panel comes";
    const HidHandle panel = rig.Panels->Plug(684);
    EXPECT_EQ(rig.Take(), (std::vector<Message>{{kPlugged, panel}, {kChanged, 0}}));

    rig.Send(684, 0x01);
    EXPECT_TRUE(rig.Take().empty()) << "no read events before SetReadNotify";
    EXPECT_FALSE(rig.Read(panel)) << "and no report kept for Read";

    ASSERT_TRUE(rig.Library->SetReadNotify(panel, true));
    EXPECT_TRUE(rig.Library->IsReadNotifyEnabled(panel));
    const std::uint8_t bytes[] = {0x00, 0xC2, 0x10, 0x20, 0x30};
    ASSERT_TRUE(rig.Panels->SendReport(684, bytes));
    rig.Send(684, 0x02);
    EXPECT_EQ(rig.Take(), (std::vector<Message>{{kRead, panel}, {kRead, panel}}));
    EXPECT_EQ(rig.Read(panel), ReportOf({0x00, 0xC2, 0x10, 0x20, 0x30}));
    EXPECT_EQ(rig.Read(panel), ReportOf({0x00, 0xC1, 0x02}));
    EXPECT_FALSE(rig.Read(panel)) << "each report is handed over once";
    EXPECT_FALSE(rig.Read(0));
}

TEST(WindowMessageLibrary, AFullQueueDropsItsOldestReportAndEveryMessageStillFindsTheNextOne) {
    Rig rig(3);
    const HidHandle panel = rig.Panels->Plug(685);
    const HidHandle other = rig.Panels->Plug(688);
    rig.Library->SetReadNotify(panel, true);
    rig.Library->SetReadNotify(other, true);
    for (std::uint8_t marker = 1; marker <= 5; ++marker) {
        rig.Send(685, marker);
    }
    rig.Send(688, 0x77);
    rig.Take();

    for (std::uint8_t marker : {3, 4, 5}) {
        SCOPED_TRACE(static_cast<int>(marker));
        EXPECT_EQ(rig.Read(panel), ReportOf({0x00, 0xC1, marker}));
    }
    EXPECT_FALSE(rig.Read(panel)) << "the two surplus read events find nothing";
    EXPECT_EQ(rig.Read(other), ReportOf({0x00, 0xC1, 0x77})) << "other devices keep theirs";
    EXPECT_EQ(rig.Library->DroppedReports(), 2u);
}

TEST(WindowMessageLibrary, AReportWhoseMessageCannotBePostedIsNotKept) {
    Rig rig;
    const HidHandle panel = rig.Panels->Plug(686);
    rig.Library->SetReadNotify(panel, true);
    rig.Send(686, 0x01);
    rig.WindowTakesReads = false;
    rig.Send(686, 0x02);
    rig.WindowTakesReads = true;
    rig.Send(686, 0x03);

    EXPECT_EQ(rig.Read(panel), ReportOf({0x00, 0xC1, 0x01}));
    EXPECT_EQ(rig.Read(panel), ReportOf({0x00, 0xC1, 0x03}))
        << "the next message must not collect the report nobody announced";
    EXPECT_FALSE(rig.Read(panel));
    EXPECT_EQ(rig.Library->DroppedReports(), 1u);

    // With the queue full, the unannounced report must not push out the one still awaited.
    Rig full(1);
    const HidHandle unit = full.Panels->Plug(686);
    full.Library->SetReadNotify(unit, true);
    full.Send(686, 0x01);
    full.WindowTakesReads = false;
    full.Send(686, 0x02);
    EXPECT_EQ(full.Read(unit), ReportOf({0x00, 0xC1, 0x01}));
    EXPECT_EQ(full.Library->DroppedReports(), 1u);
}

TEST(WindowMessageLibrary, AfterRemovalTheIdsAnswerAndAnnouncedReportsAreStillReadable) {
    Rig rig;
    const HidHandle bezel = rig.Panels->Plug(684);
    const HidHandle audio = rig.Panels->Plug(688);
    rig.Library->SetReadNotify(bezel, true);
    rig.Send(684, 0x42);
    rig.Take();
    ASSERT_TRUE(rig.Panels->Unplug(684));
    EXPECT_EQ(rig.Take(), (std::vector<Message>{{kUnplugged, bezel}, {kChanged, 0}}));

    EXPECT_EQ(rig.Library->GetVendorID(bezel), 0x0D59);
    EXPECT_EQ(rig.Library->GetProductID(bezel), 684);
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 684), 0u);
    EXPECT_EQ(rig.Library->GetHandle(0x0D59, 688), audio);
    EXPECT_EQ(rig.Read(bezel), ReportOf({0x00, 0xC1, 0x42}))
        << "its read event was posted before the removal";

    EXPECT_FALSE(rig.Library->IsAvailable(bezel));
    EXPECT_FALSE(rig.Library->IsReadNotifyEnabled(bezel));
    EXPECT_FALSE(rig.Library->SetReadNotify(bezel, true));
    EXPECT_TRUE(rig.Library->IsAvailable(audio));
    EXPECT_EQ(rig.Library->ItemCount(), 1);
    EXPECT_EQ(rig.Library->Item(0), audio);
    for (int index : {-1, 1, 6}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(rig.Library->Item(index), 0u);
    }
}

TEST(WindowMessageLibrary, ConnectsOnceAndAfterDisconnectSendsNothingAndKeepsNothing) {
    Rig rig;
    const HidHandle panel = rig.Panels->Plug(687);
    rig.Library->SetReadNotify(panel, true);
    rig.Send(687, 0x01);
    rig.Take();
    EXPECT_FALSE(rig.Library->Connect([](HidEvent, HidHandle) { return true; }))
        << "a second session would start numbering handles again";

    rig.Library->Disconnect();
    EXPECT_TRUE(rig.Take().empty());
    EXPECT_FALSE(rig.Read(panel)) << "waiting reports go with the session";
    EXPECT_EQ(rig.Library->ItemCount(), 0);
    EXPECT_EQ(rig.Library->GetProductID(panel), 0) << "the back end has gone";
    const std::array<std::uint8_t, kCommandReportSize> command{0x00, 'A'};
    EXPECT_FALSE(rig.Library->Write(panel, command));
    EXPECT_FALSE(rig.Library->Connect([](HidEvent, HidHandle) { return true; }));
}

// The back end announces on its own threads while the window's thread reads: every report
// arrives once, in order (and ThreadSanitizer watches the hand-over).
TEST(WindowMessageLibrary, ReportsAnnouncedOnAnotherThreadAreReadInOrder) {
    constexpr int kReports = 2000;
    Rig rig(kReports);
    const HidHandle panel = rig.Panels->Plug(684);
    rig.Library->SetReadNotify(panel, true);
    rig.Take();

    std::thread sender([&] {
        for (int sequence = 0; sequence < kReports; ++sequence) {
            const std::uint8_t bytes[] = {0x00, 0xC1, static_cast<std::uint8_t>(sequence),
                                          static_cast<std::uint8_t>(sequence >> 8)};
            rig.Panels->SendReport(684, bytes);
        }
    });
    int expected = 0;
    std::string fault;
    while (expected < kReports && fault.empty()) {
        for (const Message& message : rig.Take()) {
            const std::optional<InputReport> report = rig.Read(panel);
            if (message != Message{kRead, panel} || !report) {
                fault = "message " + std::to_string(expected) + " without its report";
                break;
            }
            const int sequence = (*report)[2] + ((*report)[3] << 8);
            if (sequence != expected) {
                fault = "report " + std::to_string(sequence) + " where " +
                        std::to_string(expected) + " was due";
                break;
            }
            ++expected;
        }
        std::this_thread::yield();
    }
    sender.join();
    EXPECT_EQ(fault, "");
    EXPECT_FALSE(rig.Read(panel));
    EXPECT_EQ(rig.Library->DroppedReports(), 0u);
}

// A back end that tells when it is destroyed, and whose Write waits until it is let go.
class ProbeBackEnd final : public HidLibrary {
public:
    ProbeBackEnd(std::atomic<bool>& destroyed, std::atomic<bool>& writing,
                 std::atomic<bool>& release)
        : Destroyed(destroyed), Writing(writing), Release(release) {}
    ~ProbeBackEnd() override { Destroyed = true; }
    void Connect(NotificationPoster) override {}
    void Disconnect() override {}
    int GetVendorID(HidHandle) override { return 0; }
    int GetProductID(HidHandle) override { return 0; }
    HidHandle GetHandle(int, int) override { return 0; }
    void SetReadNotify(HidHandle, bool) override {}
    bool Write(HidHandle, CommandReport) override {
        Writing = true;
        while (!Release) {
            std::this_thread::yield();
        }
        return true;
    }

private:
    std::atomic<bool>& Destroyed;
    std::atomic<bool>& Writing;
    std::atomic<bool>& Release;
};

// mcHID.dll's back end must go at Disconnect: left to the DLL's unloading, the end of its
// threads would wait for Windows' loader, which waits for the unloading.
TEST(WindowMessageLibrary, DisconnectLetsGoOfTheBackEndAndAWriteUnderWayKeepsItUntilItReturns) {
    for (const bool writeUnderWay : {false, true}) {
        SCOPED_TRACE(writeUnderWay);
        std::atomic<bool> destroyed{false};
        std::atomic<bool> writing{false};
        std::atomic<bool> release{false};
        WindowMessageLibrary library(std::make_unique<ProbeBackEnd>(destroyed, writing, release));
        ASSERT_TRUE(library.Connect([](HidEvent, HidHandle) { return true; }));
        std::thread worker;
        if (writeUnderWay) {
            worker = std::thread([&library] {
                const std::array<std::uint8_t, kCommandReportSize> command{0x00, 'B'};
                EXPECT_TRUE(library.Write(1, command));
            });
            while (!writing) {
                std::this_thread::yield();
            }
        }
        library.Disconnect();
        EXPECT_EQ(destroyed, !writeUnderWay);
        release = true;
        if (worker.joinable()) {
            worker.join();
        }
        EXPECT_TRUE(destroyed);
    }
}

}  // namespace
}  // namespace qel::test
