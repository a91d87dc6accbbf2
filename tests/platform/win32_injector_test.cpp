// The Win32 keystroke back end through a recording of its Win32 calls: the core's key events,
// one keybd_event each, in order, with the key's scan code and the extended flag.
#include "platform/win32_injector.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "translate/keycode.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

struct KeybdEventCall {
    std::uint8_t VirtualKey;
    std::uint8_t ScanCode;
    std::uint32_t Flags;
    std::uintptr_t ExtraInfo;
    bool operator==(const KeybdEventCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const KeybdEventCall& call) {
    return out << std::hex << "{vk 0x" << int{call.VirtualKey} << ", scan 0x" << int{call.ScanCode}
               << ", flags " << call.Flags << ", extra " << call.ExtraInfo << "}";
}

// Answers MapVirtualKeyA from a table (0 for codes it lacks) and keeps every keybd_event.
class RecordingCalls final : public Win32KeyboardCalls {
public:
    RecordingCalls(std::vector<KeybdEventCall>& events,
                   std::map<std::uint8_t, std::uint32_t> layout)
        : Events(events), Layout(std::move(layout)) {}
    void KeybdEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                    std::uintptr_t extraInfo) override {
        Events.push_back({virtualKey, scanCode, flags, extraInfo});
    }
    std::uint32_t MapVirtualKeyCode(std::uint32_t code, std::uint32_t mapType) override {
        EXPECT_EQ(mapType, static_cast<std::uint32_t>(MAPVK_VK_TO_VSC));
        const auto found = Layout.find(static_cast<std::uint8_t>(code));
        return found == Layout.end() ? 0 : found->second;
    }

private:
    std::vector<KeybdEventCall>& Events;
    std::map<std::uint8_t, std::uint32_t> Layout;
};

constexpr std::uint32_t kUp = KEYEVENTF_KEYUP;
constexpr std::uint32_t kExt = KEYEVENTF_EXTENDEDKEY;

KeybdEventCall Down(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags = 0) {
    return {vk, scan, flags, 0};
}
KeybdEventCall Up(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags = 0) {
    return {vk, scan, flags | kUp, 0};
}

// What MapVirtualKeyA gives for a US layout on Windows; keypad keys left out, as Wine does.
const std::map<std::uint8_t, std::uint32_t> kUsLayout = {
    {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38}, {0x1B, 0x01}, {0x25, 0x4B}, {0x2E, 0x53},
    {0x41, 0x1E}, {0x42, 0x30}, {0x5A, 0x2C}, {0x70, 0x3B}, {0x6F, 0x35}, {0xA3, 0x1D},
};

TEST(Win32Injector, EachKeyEventIsOneKeybdEventWithTheKeysScanCodeInTheCoresOrder) {
    struct Case {
        const char* Name;
        KeyCode Code;
        std::map<std::uint8_t, std::uint32_t> Layout;
        std::vector<KeybdEventCall> Calls;
    };
    const std::vector<Case> cases = {
        {"F1", 0x70, kUsLayout, {Down(0x70, 0x3B), Up(0x70, 0x3B)}},
        // Modifiers go down Shift, Ctrl, Alt and up in the same order.
        {"SHIFT+CTRL+ALT+B",
         kShiftBit | kCtrlBit | kAltBit | 0x42,
         kUsLayout,
         {Down(0x10, 0x2A), Down(0x11, 0x1D), Down(0x12, 0x38), Down(0x42, 0x30), Up(0x42, 0x30),
          Up(0x10, 0x2A), Up(0x11, 0x1D), Up(0x12, 0x38)}},
        // The layout's answer wins: on a German keyboard the key that types Z is the US Y key.
        {"Z on a German layout", 0x5A, {{0x5A, 0x15}}, {Down(0x5A, 0x15), Up(0x5A, 0x15)}},
        // A layout without the keypad: the standard key's code.
        {"NUMPAD6 unknown to the layout", 0x66, kUsLayout, {Down(0x66, 0x4D), Up(0x66, 0x4D)}},
        {"DECIMAL with no layout at all", 0x6E, {}, {Down(0x6E, 0x53), Up(0x6E, 0x53)}},
        // Extended keys say so, or they would be their keypad twins (Left is keypad 4's code).
        {"LEFT", 0x25, kUsLayout, {Down(0x25, 0x4B, kExt), Up(0x25, 0x4B, kExt)}},
        {"CTRL+DELETE",
         kCtrlBit | 0x2E,
         kUsLayout,
         {Down(0x11, 0x1D), Down(0x2E, 0x53, kExt), Up(0x2E, 0x53, kExt), Up(0x11, 0x1D)}},
        {"SLASH, keypad Divide", 0x6F, kUsLayout, {Down(0x6F, 0x35, kExt), Up(0x6F, 0x35, kExt)}},
        {"right Ctrl", 0xA3, kUsLayout, {Down(0xA3, 0x1D, kExt), Up(0xA3, 0x1D, kExt)}},
        {"Num Lock", 0x90, {}, {Down(0x90, 0x45, kExt), Up(0x90, 0x45, kExt)}},
        {"Pause, Num Lock's code but not extended", 0x13, {}, {Down(0x13, 0x45), Up(0x13, 0x45)}},
        // Code 0 between modifiers goes out as the core gives it, with no scan code.
        {"SHIFT alone",
         kShiftBit,
         kUsLayout,
         {Down(0x10, 0x2A), Down(0x00, 0x00), Up(0x00, 0x00), Up(0x10, 0x2A)}},
        {"Print Screen as the layout names it",
         0x2C,
         {{0x2C, 0x54}},
         {Down(0x2C, 0x54), Up(0x2C, 0x54)}},
        {"Print Screen by its own code", 0x2C, {}, {Down(0x2C, 0x37, kExt), Up(0x2C, 0x37, kExt)}},
        // Only the low byte of the layout's answer is a scan code.
        {"answer with high bits", 0x42, {{0x42, 0xE030}}, {Down(0x42, 0x30), Up(0x42, 0x30)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<KeybdEventCall> calls;
        Win32Injector injector(std::make_unique<RecordingCalls>(calls, c.Layout));
        SendKey(injector, c.Code, true);
        EXPECT_EQ(calls, c.Calls);
        SendKey(injector, c.Code, false);
        EXPECT_EQ(calls.size(), c.Calls.size()) << "a release sends nothing";
    }
}

TEST(Win32Injector, NoKeyButEscapeCarriesEscapesScanCode) {
    // Sending scan code 1 with every key made each one Escape to programs that read scan codes.
    for (const auto& layout : {kUsLayout, std::map<std::uint8_t, std::uint32_t>{}}) {
        std::vector<KeybdEventCall> calls;
        Win32Injector injector(std::make_unique<RecordingCalls>(calls, layout));
        for (int vk = 0; vk < 256; ++vk) {
            injector.KeyEvent(static_cast<std::uint8_t>(vk), true);
        }
        ASSERT_EQ(calls.size(), 256U);
        for (const KeybdEventCall& call : calls) {
            SCOPED_TRACE(::testing::Message() << call);
            EXPECT_EQ(call.ScanCode == 0x01, call.VirtualKey == VK_ESCAPE);
        }
    }
}

TEST(StandardScanCode, EveryKeyOfTheCoresKeyNamesAndLettersAndDigitsHasOne) {
    // The keys bindings can name, and the modifiers: none may be sent without a scan code.
    std::vector<int> codes = {0x09, 0x0C, 0x0D, 0x10, 0x11, 0x12, 0x1B, 0x20, 0x2D, 0x2E};
    for (int vk = 0x21; vk <= 0x28; ++vk) codes.push_back(vk);
    for (int vk = 0x30; vk <= 0x39; ++vk) codes.push_back(vk);
    for (int vk = 0x41; vk <= 0x5A; ++vk) codes.push_back(vk);
    for (int vk = 0x60; vk <= 0x7B; ++vk) codes.push_back(vk);
    for (const int vk : codes) {
        SCOPED_TRACE(::testing::Message() << "vk 0x" << std::hex << vk);
        EXPECT_NE(StandardScanCode(static_cast<std::uint8_t>(vk)).Code, 0);
    }
    // Keys that share a code differ in the extended flag (Left and keypad 4), except a key's
    // two names: the generic modifiers and the left ones, CLEAR and keypad 5.
    const std::set<std::pair<int, int>> twoNames = {
        {0x10, 0xA0}, {0x11, 0xA2}, {0x12, 0xA4}, {0x0C, 0x65}};
    std::map<std::pair<int, bool>, int> seen;
    for (int vk = 0; vk < 256; ++vk) {
        const ScanCode scan = StandardScanCode(static_cast<std::uint8_t>(vk));
        if (scan.Code == 0) continue;
        const auto [at, fresh] = seen.emplace(std::pair{int{scan.Code}, scan.Extended}, vk);
        EXPECT_TRUE(fresh || twoNames.contains({at->second, vk}))
            << std::hex << "vk 0x" << vk << " has the code of vk 0x" << at->second;
    }
}

}  // namespace
}  // namespace qel::test
