#include "core/hidhook.h"

#include <gtest/gtest.h>

#include "hid/hidmessage.h"
#include "panel_fixture.h"

namespace qel::test {
namespace {

using Slots = std::array<std::uint32_t, kDeviceCount>;

// One notification with the event code of the window message form (1-4).
void Hook(PanelRig& rig, int eventCode, HidHandle handle) {
    rig.Hook->HidMessageHook({static_cast<HidEvent>(eventCode), handle});
}

TEST(HidMessage, OnlyTheHidMessageWithEventCodesOneToFourIsANotification) {
    struct Case {
        unsigned Message;
        std::uintptr_t EventCode;
        std::optional<HidEvent> Event;
    };
    const Case cases[] = {
        {kHidMessage, 0, std::nullopt},
        {kHidMessage, 1, HidEvent::Plugged},
        {kHidMessage, 2, HidEvent::Unplugged},
        {kHidMessage, 3, HidEvent::Changed},
        {kHidMessage, 4, HidEvent::Read},
        {kHidMessage, 5, std::nullopt},
        {kHidMessage, ~std::uintptr_t{0}, std::nullopt},
        {kHidMessage + 1, 1, std::nullopt},
        {16, 3, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "message " << c.Message << " code " << c.EventCode);
        EXPECT_EQ(HidEventOfMessage(c.Message, c.EventCode), c.Event);
    }
    // The handle travels in the low 32 bits of a wider, signed parameter.
    EXPECT_EQ(HidHandleOfMessage(static_cast<std::intptr_t>(0xFFFFFFFFu)), 0xFFFFFFFFu);
    EXPECT_EQ(HidHandleOfMessage(12345), 12345u);
}

TEST(HidHook, EachUnitLandsInItsOwnSlotWithItsConnectedCaption) {
    PanelRig rig;
    std::array<HidHandle, kDeviceCount> handles{};
    for (int i = 0; i < kDeviceCount; ++i) {
        handles[static_cast<std::size_t>(i)] = rig.Panels->Plug(kFirstBezelProductId + i);
    }
    rig.Drain();
    for (int i = 0; i < kDeviceCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rig.Slots()[static_cast<std::size_t>(i)], handles[static_cast<std::size_t>(i)]);
        EXPECT_EQ(rig.View.Captions[static_cast<std::size_t>(i)],
                  kUnits[static_cast<std::size_t>(i)].ConnectedCaption);
    }
    EXPECT_EQ(rig.View.Captions[4], "QELAudio-0: Connected");
    EXPECT_EQ(rig.View.Captions[5], "QELAudio-1: Connected");
    EXPECT_EQ(rig.Hook->ConnectedCount, 6);
    EXPECT_EQ(rig.View.StatusText, "Connected : 6");
}

TEST(HidHook, PluggedAfterChangedCountsTheUnitTwiceUntilTheNextChanged) {
    PanelRig rig;
    const HidHandle handle = rig.Panels->Plug(685);  // raises plugged, changed
    rig.Queue.Take();
    Hook(rig, 3, 0);
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    Hook(rig, 1, handle);
    EXPECT_EQ(rig.Hook->ConnectedCount, 2);
    EXPECT_EQ(rig.View.StatusText, "Connected : 2");
    Hook(rig, 3, 0);
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
}

TEST(HidHook, UnitFoundOnlyByChangedIsCountedButKeepsItsIdleCaption) {
    PanelRig rig;
    const HidHandle handle = rig.Panels->Plug(688);
    rig.Queue.Take();
    Hook(rig, 3, 0);
    EXPECT_EQ(rig.Slots()[4], handle);
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.Captions[4], "QELAudio-0:");
}

TEST(HidHook, ChangedSwitchesReadNotifyOnSoReportsOfAChangedOnlyUnitArrive) {
    PanelRig rig;
    rig.Panels->Plug(686);
    rig.Queue.Take();
    Hook(rig, 3, 0);
    const std::uint8_t report[] = {0, 0xC2, 1, 2, 3};
    rig.Panels->SendReport(686, report);
    rig.Drain();
    ASSERT_EQ(rig.Decoded.size(), 1U);
    EXPECT_EQ(rig.Decoded[0].ProductId, 686);
}

TEST(HidHook, UnplugOfAHandleInNoSlotKeepsTheCountButResetsTheLabel) {
    PanelRig rig;
    const HidHandle first = rig.Panels->Plug(684);
    rig.Drain();
    // A second unit with the same product ID takes the slot; the first is in no slot any more.
    const HidHandle second = rig.Panels->Plug(684);
    rig.Queue.Take();
    Hook(rig, 1, second);
    ASSERT_EQ(rig.Slots()[0], second);
    ASSERT_EQ(rig.Hook->ConnectedCount, 2);
    rig.Panels->Unplug(684);  // the earliest: first
    rig.Queue.Take();
    Hook(rig, 2, first);
    EXPECT_EQ(rig.Hook->ConnectedCount, 2);
    EXPECT_EQ(rig.Slots()[0], second);
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0:");
}

TEST(HidHook, UnplugOfHandleZeroDoesNotCountTheEmptySlotsAsGone) {
    PanelRig rig;
    const HidHandle handle = rig.Panels->Plug(686);
    rig.Drain();
    ASSERT_EQ(rig.Hook->ConnectedCount, 1);
    Hook(rig, 2, 0);
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
    EXPECT_EQ(rig.Slots()[2], handle);
}

TEST(HidHook, UnplugClearsTheSlotAndResetsTheLabelFromTheGoneDevicesProductId) {
    PanelRig rig;
    rig.Panels->Plug(689);
    rig.Panels->Plug(687);
    rig.Drain();
    rig.Panels->Unplug(689);
    rig.Drain();
    EXPECT_EQ(rig.Slots()[5], 0U);
    EXPECT_NE(rig.Slots()[3], 0U);
    EXPECT_EQ(rig.View.Captions[5], "QELAudio-1:");
    EXPECT_EQ(rig.View.Captions[3], "QEL1000-3: Connected");
    EXPECT_EQ(rig.Hook->ConnectedCount, 1);
    EXPECT_EQ(rig.View.StatusText, "Connected : 1");
}

TEST(HidHook, OtherVendorsAndProductsAreConsumedAndChangeNothing) {
    struct Case {
        int VendorId;
        int ProductId;
    };
    const Case cases[] = {
        {0x046D, 684}, {kPanelVendorId, 683}, {kPanelVendorId, 690}, {0x046D, 0xC52B}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.VendorId << ":" << c.ProductId);
        PanelRig rig;
        const HidHandle handle = rig.Panels->PlugOther(c.VendorId, c.ProductId);
        rig.Queue.Take();
        Hook(rig, 1, handle);
        Hook(rig, 4, handle);
        EXPECT_EQ(rig.Hook->ConnectedCount, 0);
        EXPECT_EQ(rig.Slots(), Slots{});
        EXPECT_EQ(rig.View.StatusText, "Connected : 0");
        EXPECT_TRUE(rig.Decoded.empty());
        EXPECT_EQ(rig.Hook->ReadCount, 0);
    }
}

TEST(HidHook, AllUnitsGoneAfterChangedLeavesEmptySlotsAndZeroCount) {
    PanelRig rig;
    for (int pid = 684; pid <= 689; ++pid) {
        rig.Panels->Plug(pid);
    }
    rig.Drain();
    for (int pid = 684; pid <= 689; ++pid) {
        rig.Panels->Unplug(pid);
    }
    rig.Drain();
    EXPECT_EQ(rig.Slots(), Slots{});
    EXPECT_EQ(rig.Hook->ConnectedCount, 0);
    EXPECT_EQ(rig.View.StatusText, "Connected : 0");
    for (int i = 0; i < kDeviceCount; ++i) {
        EXPECT_EQ(rig.View.Captions[static_cast<std::size_t>(i)],
                  kUnits[static_cast<std::size_t>(i)].IdleCaption);
    }
}

TEST(HidHook, UnitsPresentBeforeConnectAppearOnlyThroughLaterNotifications) {
    std::vector<ScriptEvent> script{{ScriptEvent::Kind::Plug, 0, kPanelVendorId, 684, {}}};
    PanelRig rig(script);
    EXPECT_EQ(rig.Slots(), Slots{});
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0:");
    rig.Panels->AdvanceTo(0);
    rig.Drain();
    EXPECT_NE(rig.Slots()[0], 0U);
    EXPECT_EQ(rig.View.Captions[0], "QEL1000-0: Connected");
}

TEST(HidHook, ReportsReachTheDecoderInOrderWithTheirProductIdAndCountAsReads) {
    PanelRig rig;
    rig.Panels->Plug(684);
    rig.Panels->Plug(689);
    rig.Drain();
    const std::vector<std::pair<int, std::vector<std::uint8_t>>> sent{
        {684, {0, 0xC1, 1}}, {689, {0, 0xC2, 2}}, {684, {0, 0xC3, 3}}, {684, {0, 0xC2, 4}}};
    for (const auto& [pid, bytes] : sent) {
        rig.Panels->SendReport(pid, bytes);
    }
    rig.Drain();
    ASSERT_EQ(rig.Decoded.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rig.Decoded[i].ProductId, sent[i].first);
        EXPECT_EQ(std::vector<std::uint8_t>(rig.Decoded[i].Bytes.begin(),
                                            rig.Decoded[i].Bytes.begin() + 3),
                  sent[i].second);
        EXPECT_EQ(rig.Decoded[i].Bytes[3], 0)
            << "bytes beyond the report must be zero, not left from an earlier one";
    }
    EXPECT_EQ(rig.Hook->ReadCount, 4);
}

TEST(HidHook, AReportSentJustBeforeItsUnitWentIsDecodedAsThatUnitsOwn) {
    PanelRig rig;
    rig.Panels->Plug(684);
    rig.Panels->Plug(685);
    rig.Drain();
    const std::uint8_t first[] = {0, 0xC1, 0xFF};
    const std::uint8_t second[] = {0, 0xC1, 0x01};
    rig.Panels->SendReport(684, first);
    rig.Panels->SendReport(685, second);
    rig.Panels->Unplug(685);  // its report is already on its way, with its own bytes
    rig.Drain();
    ASSERT_EQ(rig.Decoded.size(), 2U);
    EXPECT_EQ(rig.Decoded[0].ProductId, 684);
    EXPECT_EQ(rig.Decoded[0].Bytes[2], 0xFF);
    EXPECT_EQ(rig.Decoded[1].ProductId, 685);
    EXPECT_EQ(rig.Decoded[1].Bytes[2], 0x01) << "never another unit's or an older report";
    EXPECT_EQ(rig.Hook->ReadCount, 2);
    EXPECT_EQ(rig.Slots()[1], 0U);
}

TEST(HidHook, WithoutALibraryEveryNotificationIsConsumedAndNothingIsCalled) {
    NotificationQueue queue;
    TDeviceDM device(nullptr, queue.Poster());
    RecordingView view;
    int decoded = 0;
    HidHook hook(device, view, [&](UnitId, ReceiveBuffer) { ++decoded; });
    for (int code = 1; code <= 4; ++code) {
        hook.HidMessageHook({static_cast<HidEvent>(code), 1});
    }
    EXPECT_EQ(hook.ConnectedCount, 0);
    EXPECT_EQ(decoded, 0);
    EXPECT_EQ(view.StatusText, "Connected : 0");
}

}  // namespace
}  // namespace qel::test
