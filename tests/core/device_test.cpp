#include "core/device.h"

#include <gtest/gtest.h>

#include <functional>

#include "hid/virtual_library.h"
#include "support/unit_ids.h"

namespace qel::test {
namespace {

struct DeviceRig {
    VirtualPanels* Panels = nullptr;
    std::unique_ptr<TDeviceDM> Device;
    DeviceRig() {
        auto panels = std::make_unique<VirtualPanels>();
        Panels = panels.get();
        Device = std::make_unique<TDeviceDM>(std::move(panels), [](const HidNotification&) {});
        for (int i = 0; i < kDeviceCount; ++i) {
            Device->Handles[static_cast<std::size_t>(i)] = Panels->Plug(kFirstBezelProductId + i);
        }
    }
};

TEST(TDeviceDM, EachSendWritesItsLetterToItsUnitsSlot) {
    struct Case {
        const char* Name;
        std::function<void(TDeviceDM&)> Send;
        int ProductId;
        char Letter;
    };
    const Case cases[] = {
        {"G1000A 0", [](TDeviceDM& d) { d.SendG1000A(BezelUnit(0)); }, 684, 'A'},
        {"G1000B 1,0", [](TDeviceDM& d) { d.SendG1000B(BezelUnit(1), 0); }, 685, 'B'},
        {"G1000B 3,1", [](TDeviceDM& d) { d.SendG1000B(BezelUnit(3), 1); }, 687, 'C'},
        {"AudioA 0", [](TDeviceDM& d) { d.SendAudioA(AudioUnit(0)); }, 688, 'A'},
        {"AudioB 1", [](TDeviceDM& d) { d.SendAudioB(AudioUnit(1)); }, 689, 'B'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        DeviceRig rig;
        c.Send(*rig.Device);
        const auto writes = rig.Panels->Writes();
        ASSERT_EQ(writes.size(), 1U);
        EXPECT_EQ(writes[0].ProductId, c.ProductId);
        EXPECT_EQ(writes[0].Letter, c.Letter);
    }
}

TEST(TDeviceDM, EmptySlotsAndUnitsOutOfRangeWriteNothing) {
    DeviceRig rig;
    rig.Device->Handles[2] = 0;
    rig.Device->SendG1000A(BezelUnit(2));
    rig.Device->SendG1000A(BezelUnit(4));  // would be audio unit 0's slot
    rig.Device->SendG1000A(AudioUnit(0));  // an audio unit takes no bezel command
    rig.Device->SendG1000A(BezelUnit(-1));
    rig.Device->SendG1000B(BezelUnit(0), 2);  // no letter 'D'
    rig.Device->SendAudioA(AudioUnit(2));
    rig.Device->SendAudioB(AudioUnit(-1));
    EXPECT_EQ(rig.Panels->WriteCount(), 0U);
}

TEST(TDeviceDM, TheTableStartsEmptyAndAWriteToAGoneUnitFailsQuietly) {
    DeviceRig rig;
    TDeviceDM fresh(std::make_unique<VirtualPanels>(), nullptr);
    for (const auto& slot : fresh.Handles) {
        EXPECT_EQ(slot.load(), 0U);
    }
    rig.Panels->Unplug(686);
    rig.Device->SendG1000A(BezelUnit(2));  // the slot still holds the gone handle
    EXPECT_EQ(rig.Panels->WriteCount(), 0U);
}

TEST(TDeviceDM, WithoutALibraryItCallsNothingAndSendsAreHarmless) {
    TDeviceDM device(nullptr, nullptr);
    EXPECT_EQ(device.Library(), nullptr);
    device.Handles[0] = 7;
    device.SendG1000A(BezelUnit(0));
    device.SendAudioB(AudioUnit(1));
    device.Disconnect();
}

}  // namespace
}  // namespace qel::test
