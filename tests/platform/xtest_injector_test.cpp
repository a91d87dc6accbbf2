#include "platform/xtest_injector.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "input_test_window.h"
#include "input_xvfb.h"
#include "support/memory_log.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;

struct ExpectedKey {
    bool Press;
    unsigned long Keysym;  // as the receiving program reads it, modifiers applied
    unsigned State;
};

// X modifier mask bits (X.h's ShiftMask, ControlMask, Mod1Mask; its macros clash with GoogleTest).
constexpr unsigned kNoMods = 0;
constexpr unsigned kShift = 1u << 0;
constexpr unsigned kCtrl = 1u << 2;
constexpr unsigned kAlt = 1u << 3;

// A private X server, a focused window on it and an injector talking to it.
class XTestInjectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        Server = XvfbServer::Start(whyNot);
        if (!Server) GTEST_SKIP() << whyNot;
        Window = TestWindow::Open(Server->DisplayName());
        ASSERT_TRUE(Window) << "no focused window on " << Server->DisplayName();
        Injector = XTestInjector::Open(Log, Server->DisplayName());
        ASSERT_TRUE(Injector) << "XTest is missing on " << Server->DisplayName();
    }

    void SwitchLayout(const std::string& layout) {
        const RunResult result =
            RunProgram({"setxkbmap", "-display", Server->DisplayName(), layout}, 10s);
        if (result == RunResult::NotInstalled) GTEST_SKIP() << "setxkbmap is not installed";
        ASSERT_EQ(result, RunResult::Succeeded) << "setxkbmap " << layout;
    }

    // The expected keys and then nothing more for a short while.
    std::vector<ReceivedKey> ReceiveKeys(std::size_t count) {
        std::vector<ReceivedKey> received = Window->WaitForKeys(count, 3s);
        const std::vector<ReceivedKey> stray = Window->WaitForKeys(1, 200ms);
        received.insert(received.end(), stray.begin(), stray.end());
        return received;
    }

    void ExpectKeys(const std::vector<ExpectedKey>& expected,
                    const std::vector<ReceivedKey>& received) {
        ASSERT_EQ(received.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("event " + std::to_string(i));
            EXPECT_EQ(received[i].Press, expected[i].Press);
            EXPECT_EQ(received[i].Typed, expected[i].Keysym) << "keycode " << received[i].Keycode;
            EXPECT_EQ(received[i].State & (kShift | kCtrl | kAlt), expected[i].State);
        }
    }

    // Num Lock as the server has it once the injector's requests have reached it.
    bool NumLockSettlesAt(bool on) {
        const auto deadline = std::chrono::steady_clock::now() + 1s;
        while (Window->NumLockLocked() != on && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
        return Window->NumLockLocked() == on;
    }

    MemoryLog Log;
    std::unique_ptr<XvfbServer> Server;
    std::unique_ptr<TestWindow> Window;
    std::unique_ptr<XTestInjector> Injector;
};

TEST_F(XTestInjectorTest, FocusedWindowReceivesEachKeystrokeInOrderWithItsModifiers) {
    SendKey(*Injector, kShiftBit | kCtrlBit | 0x70, true);  // SHIFT+CTRL+F1
    SendKey(*Injector, 0x41, true);                         // A
    SendKey(*Injector, 0x65, true);                         // NUMPAD5
    SendKey(*Injector, 0x1B, true);                         // ESC

    const std::vector<ExpectedKey> expected{
        {true, XK_Shift_L, kNoMods},
        {true, XK_Control_L, kShift},
        {true, XK_F1, kShift | kCtrl},
        {false, XK_F1, kShift | kCtrl},
        {false, XK_Shift_L, kShift | kCtrl},
        {false, XK_Control_L, kCtrl},
        {true, XK_a, kNoMods},
        {false, XK_a, kNoMods},
        {true, XK_KP_5, kNoMods},
        {false, XK_KP_5, kNoMods},
        {true, XK_Escape, kNoMods},
        {false, XK_Escape, kNoMods},
    };
    ExpectKeys(expected, ReceiveKeys(expected.size()));
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(XTestInjectorTest, KeypadKeysTypeTheirLevelInEitherNumLockStateAndLeaveItAsItWas) {
    struct Case {
        std::string Name;
        KeyCode Code;
        std::vector<ExpectedKey> Keys;
    };
    const auto tap = [](unsigned long keysym) {
        return std::vector<ExpectedKey>{{true, keysym, kNoMods}, {false, keysym, kNoMods}};
    };
    std::vector<Case> cases;
    for (int digit = 0; digit <= 9; ++digit) {
        cases.push_back({"NUMPAD" + std::to_string(digit), 0x60 + digit,
                         tap(XK_KP_0 + static_cast<unsigned long>(digit))});
    }
    cases.push_back({"DECIMAL", 0x6E, tap(XK_KP_Decimal)});
    // Windows reports CLEAR for keypad 5 with Num Lock off.
    cases.push_back({"CLEAR", 0x0C, tap(XK_KP_Begin)});
    cases.push_back({"ASTERISK", 0x6A, tap(XK_KP_Multiply)});
    // The binding's modifiers are down before the key and up after it.
    cases.push_back({"CTRL+NUMPAD4",
                     kCtrlBit | 0x64,
                     {{true, XK_Control_L, kNoMods},
                      {true, XK_KP_4, kCtrl},
                      {false, XK_KP_4, kCtrl},
                      {false, XK_Control_L, kCtrl}}});

    for (const bool numLock : {false, true}) {
        SCOPED_TRACE(numLock ? "Num Lock on" : "Num Lock off");
        ASSERT_TRUE(Window->LockNumLock(numLock)) << "the keymap has no Num Lock";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name);
            SendKey(*Injector, c.Code, true);
            ExpectKeys(c.Keys, Window->WaitForKeys(c.Keys.size(), 3s));
            EXPECT_TRUE(NumLockSettlesAt(numLock));
        }
        // Num Lock was locked and unlocked, never pressed: the window saw no key of its own.
        EXPECT_TRUE(Window->WaitForKeys(1, 200ms).empty());
    }
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(XTestInjectorTest, LettersFollowTheLayoutWhileOemKeysKeepTheirPosition) {
    // One key before the switch, so the injector holds the US keymap when it changes.
    SendKey(*Injector, 0x5A, true);
    ExpectKeys({{true, XK_z, kNoMods}, {false, XK_z, kNoMods}}, ReceiveKeys(2));
    SwitchLayout("de");

    SendKey(*Injector, 0x5A, true);  // Z: on a German keyboard the key at the US Y position
    SendKey(*Injector, 0xBA, true);  // OEM_1: the US semicolon key, which types o umlaut there
    const std::vector<ReceivedKey> received = ReceiveKeys(4);
    ExpectKeys({{true, XK_z, kNoMods},
                {false, XK_z, kNoMods},
                {true, XK_odiaeresis, kNoMods},
                {false, XK_odiaeresis, kNoMods}},
               received);
    ASSERT_EQ(received.size(), 4u);
    constexpr unsigned kUsYKey = 29;          // KEY_Y + 8
    constexpr unsigned kUsSemicolonKey = 47;  // KEY_SEMICOLON + 8
    EXPECT_EQ(received[0].Keycode, kUsYKey);
    EXPECT_EQ(received[2].Keycode, kUsSemicolonKey);
}

TEST_F(XTestInjectorTest, KeyMissingFromTheLayoutIsSkippedAndLoggedOnceWithoutRemapping) {
    SwitchLayout("ru");  // Cyrillic only: no key types a Latin a

    SendKey(*Injector, 0x41, true);
    SendKey(*Injector, 0x41, true);
    SendKey(*Injector, 0x1B, true);

    ExpectKeys({{true, XK_Escape, kNoMods}, {false, XK_Escape, kNoMods}}, ReceiveKeys(2));
    ASSERT_EQ(Log.Lines.size(), 1u);
    EXPECT_EQ(Log.Lines[0], "Key 0x41 not sent: the X keyboard layout has no key for it");
    EXPECT_EQ(Window->KeysymAt(38, 0), static_cast<unsigned long>(XK_Cyrillic_ef))
        << "keymap was changed";
}

TEST_F(XTestInjectorTest, CodeWithoutKeySendsNothingAndOnlyAKeyCodeIsLoggedOnce) {
    // A binding of modifiers alone sends code 0 between them.
    SendKey(*Injector, kShiftBit, true);
    SendKey(*Injector, kShiftBit | kCtrlBit, true);
    SendKey(*Injector, 0xFF, true);
    SendKey(*Injector, kAltBit | 0xFF, true);

    ExpectKeys({{true, XK_Shift_L, kNoMods},
                {false, XK_Shift_L, kShift},
                {true, XK_Shift_L, kNoMods},
                {true, XK_Control_L, kShift},
                {false, XK_Shift_L, kShift | kCtrl},
                {false, XK_Control_L, kCtrl},
                {true, XK_Alt_L, kNoMods},
                {false, XK_Alt_L, kAlt}},
               ReceiveKeys(8));
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"Key 0xFF not sent: no key for this code"});
}

}  // namespace
}  // namespace qel::test
