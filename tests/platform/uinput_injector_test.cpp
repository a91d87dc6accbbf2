#include "platform/uinput_injector.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/evdev_key_table.h"
#include "platform/uinput_device.h"
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

// Keeps the events the virtual keyboard would have written; its Num Lock light is
// whatever the test sets.
class RecordingDevice final : public VirtualKeyboard {
public:
    RecordingDevice(std::vector<EvdevEvent>& events, const bool& numLock)
        : Events(events), NumLock(numLock) {}
    void Emit(std::uint16_t type, std::uint16_t code, std::int32_t value) override {
        Events.push_back({type, code, value});
    }
    bool NumLockLit() override { return NumLock; }
    std::vector<EvdevEvent>& Events;
    const bool& NumLock;
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
                              std::make_unique<RecordingDevice>(Events, NumLockLit), Log);
    }
    std::vector<EvdevEvent> Events;
    bool NumLockLit = false;
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
    SendKey(injector, 0xBA, true);  // OEM_1

    EXPECT_EQ(Events, Keys({{KEY_Y, true},
                            {KEY_Y, false},
                            {KEY_Z, true},
                            {KEY_Z, false},
                            {KEY_A, true},
                            {KEY_A, false},
                            {KEY_SEMICOLON, true},
                            {KEY_SEMICOLON, false}}));
}

TEST_F(UinputInjectorTest, KeypadKeysTypeTheirLevelInEitherNumLockStateAndLeaveItAsItWas) {
    using KeyList = std::vector<std::pair<std::uint16_t, bool>>;
    const auto plain = [](std::uint16_t key) { return KeyList{{key, true}, {key, false}}; };
    // The key between two taps of Num Lock, which leave it as it was.
    const auto tapped = [](std::uint16_t key) {
        return KeyList{{KEY_NUMLOCK, true}, {KEY_NUMLOCK, false}, {key, true},
                       {key, false},        {KEY_NUMLOCK, true},  {KEY_NUMLOCK, false}};
    };
    const auto held = [](std::uint16_t modifier, KeyList keys) {
        keys.insert(keys.begin(), {modifier, true});
        keys.push_back({modifier, false});
        return keys;
    };
    struct Case {
        const char* Name;
        bool NumLockLit;
        KeyCode Code;
        KeyList Keys;
    };
    const std::vector<Case> cases{
        {"NUMPAD4, Num Lock off", false, 0x64, tapped(KEY_KP4)},
        {"NUMPAD4, Num Lock on", true, 0x64, plain(KEY_KP4)},
        {"NUMPAD0, Num Lock off", false, 0x60, tapped(KEY_KP0)},
        {"DECIMAL, Num Lock off", false, 0x6E, tapped(KEY_KPDOT)},
        {"DECIMAL, Num Lock on", true, 0x6E, plain(KEY_KPDOT)},
        // The modifiers go down first and up last, around the taps.
        {"CTRL+NUMPAD9, Num Lock off", false, kCtrlBit | 0x69, held(KEY_LEFTCTRL, tapped(KEY_KP9))},
        {"SHIFT+NUMPAD7, Num Lock on", true, kShiftBit | 0x67, held(KEY_LEFTSHIFT, plain(KEY_KP7))},
        // CLEAR is keypad 5 as Windows reports it with Num Lock off.
        {"CLEAR, Num Lock on", true, 0x0C, tapped(KEY_KP5)},
        {"CLEAR, Num Lock off", false, 0x0C, plain(KEY_KP5)},
        {"ASTERISK, Num Lock off", false, 0x6A, plain(KEY_KPASTERISK)},
    };
    // One injector throughout: the light is read at every key.
    UinputInjector injector = MakeInjector({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        NumLockLit = c.NumLockLit;
        Events.clear();
        SendKey(injector, c.Code, true);
        std::vector<EvdevEvent> expected;
        for (const auto& key : c.Keys) {
            const std::vector<EvdevEvent> one = Keys({key});
            expected.insert(expected.end(), one.begin(), one.end());
        }
        EXPECT_EQ(Events, expected);
    }
    EXPECT_TRUE(Log.Lines.empty());
}

TEST(LatestNumLockLight, FollowsTheLastNumLockEventTheSystemWroteAndIgnoresTheRest) {
    struct Case {
        const char* Name;
        bool Lit;
        std::vector<input_event> Written;
        bool Expected;
    };
    const auto event = [](std::uint16_t type, std::uint16_t code, std::int32_t value) {
        input_event written{};
        written.type = type;
        written.code = code;
        written.value = value;
        return written;
    };
    const std::vector<Case> cases{
        {"nothing written, unlit", false, {}, false},
        {"nothing written, lit", true, {}, true},
        {"lit", false, {event(EV_LED, LED_NUML, 1)}, true},
        {"lit then unlit", false, {event(EV_LED, LED_NUML, 1), event(EV_LED, LED_NUML, 0)}, false},
        {"other lights and reports",
         true,
         {event(EV_LED, LED_CAPSL, 0), event(EV_SYN, SYN_REPORT, 0), event(EV_LED, LED_SCROLLL, 0)},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        int fds[2];
        ASSERT_EQ(pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
        // More events than one read takes, so the reading goes on until none is left.
        std::vector<input_event> written(40, event(EV_SYN, SYN_REPORT, 0));
        written.insert(written.end(), c.Written.begin(), c.Written.end());
        const auto size = static_cast<ssize_t>(written.size() * sizeof(input_event));
        ASSERT_EQ(write(fds[1], written.data(), static_cast<std::size_t>(size)), size);
        EXPECT_EQ(LatestNumLockLight(fds[0], c.Lit), c.Expected);
        close(fds[0]);
        close(fds[1]);
    }
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
