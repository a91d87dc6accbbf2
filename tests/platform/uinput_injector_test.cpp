#include "platform/uinput_injector.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/evdev_key_table.h"
#include "support/memory_log.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

struct EvdevEvent {
    std::uint16_t Type;
    std::uint16_t Code;
    std::int32_t Value;
    bool operator==(const EvdevEvent&) const = default;
};

// Keeps the events the virtual keyboard would have written.
class RecordingDevice final : public EvdevEventSink {
public:
    explicit RecordingDevice(std::vector<EvdevEvent>& events) : Events(events) {}
    void Emit(std::uint16_t type, std::uint16_t code, std::int32_t value) override {
        Events.push_back({type, code, value});
    }
    std::vector<EvdevEvent>& Events;
};

// Each key event as the device must see it: the key, then a report of its own.
std::vector<EvdevEvent> Keys(std::initializer_list<std::pair<std::uint16_t, bool>> keys) {
    std::vector<EvdevEvent> events;
    for (const auto& [code, down] : keys) {
        events.push_back({EV_KEY, code, down ? 1 : 0});
        events.push_back({EV_SYN, SYN_REPORT, 0});
    }
    return events;
}

class UinputInjectorTest : public ::testing::Test {
protected:
    UinputInjector MakeInjector(const UnshiftedKeys& layoutKeys) {
        return UinputInjector(BuildEvdevKeyTable(layoutKeys),
                              std::make_unique<RecordingDevice>(Events), Log);
    }
    std::vector<EvdevEvent> Events;
    MemoryLog Log;
};

TEST_F(UinputInjectorTest, EveryEventIsReportedAtOnceInTheCallersOrder) {
    UinputInjector injector = MakeInjector({});
    SendKey(injector, kShiftBit | kCtrlBit | 0x70, true);  // SHIFT+CTRL+F1
    SendKey(injector, kAltBit | 0xBA, true);               // ALT+OEM_1

    EXPECT_EQ(Events, Keys({{KEY_LEFTSHIFT, true},
                            {KEY_LEFTCTRL, true},
                            {KEY_F1, true},
                            {KEY_F1, false},
                            {KEY_LEFTSHIFT, false},
                            {KEY_LEFTCTRL, false},
                            {KEY_LEFTALT, true},
                            {KEY_SEMICOLON, true},
                            {KEY_SEMICOLON, false},
                            {KEY_LEFTALT, false}}));
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(UinputInjectorTest, LettersGoToTheLayoutsKeyAndOtherKeysStayInPlace) {
    // A German layout as xkbcommon reports it: y and z swapped.
    UinputInjector injector = MakeInjector({{'z', KEY_Y}, {'y', KEY_Z}});
    SendKey(injector, 0x5A, true);  // Z
    SendKey(injector, 0x59, true);  // Y
    SendKey(injector, 0x41, true);  // A: not in the layout's answer, so the US key
    SendKey(injector, 0x65, true);  // NUMPAD5

    EXPECT_EQ(Events, Keys({{KEY_Y, true},
                            {KEY_Y, false},
                            {KEY_Z, true},
                            {KEY_Z, false},
                            {KEY_A, true},
                            {KEY_A, false},
                            {KEY_KP5, true},
                            {KEY_KP5, false}}));
}

TEST_F(UinputInjectorTest, CodeWithoutKeySendsNothingAndOnlyAKeyCodeIsLoggedOnce) {
    UinputInjector injector = MakeInjector({});
    SendKey(injector, kShiftBit, true);  // modifiers alone: code 0 between them
    SendKey(injector, kShiftBit | kCtrlBit, true);
    SendKey(injector, 0xFF, true);
    SendKey(injector, kAltBit | 0xFF, true);

    EXPECT_EQ(Events, Keys({{KEY_LEFTSHIFT, true},
                            {KEY_LEFTSHIFT, false},
                            {KEY_LEFTSHIFT, true},
                            {KEY_LEFTCTRL, true},
                            {KEY_LEFTSHIFT, false},
                            {KEY_LEFTCTRL, false},
                            {KEY_LEFTALT, true},
                            {KEY_LEFTALT, false}}));
    EXPECT_EQ(
        Log.Lines,
        (std::vector<std::string>{"Key 0xFF not sent: no key on the virtual keyboard for it"}));
}

}  // namespace
}  // namespace qel::test
