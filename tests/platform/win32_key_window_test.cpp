// Keystrokes for real: the Win32 injector types into a window of the test's own that holds the
// focus and records every key message with its virtual-key code, scan code (lParam bits 16-23)
// and extended flag (bit 24). Needs a display: under Wine, run it with xvfb-run.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32_injector.h"
#include "support/win32_key_log_window.h"
#include "translate/keycode.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

class KeyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (Window.Handle() == nullptr) {
#ifdef QEL_TEST_HAS_DISPLAY
            FAIL() << "no window could be made on the display arranged for this test";
#else
            GTEST_SKIP() << "no display for a window: run this test under xvfb-run";
#endif
        }
        ASSERT_TRUE(Window.TakeFocus()) << "the window did not get the focus";
        KeyLogWindow::Pump(100);
        Window.TakeKeys();
    }

    KeyLogWindow Window;
};

TEST_F(KeyWindowTest, FocusedWindowReceivesEachKeyWithItsVirtualKeyAndRealScanCode) {
    struct Case {
        const char* Name;
        KeyCode Code;
        std::vector<ReceivedKey> Keys;
    };
    const std::vector<Case> cases = {
        {"F1", 0x70, Tap(0x70, 0x3B)},
        {"SHIFT+F1", kShiftBit | 0x70, Held(0x10, 0x2A, Tap(0x70, 0x3B))},
        {"B", 0x42, Tap(0x42, 0x30)},
        {"ESC, the one key with scan code 1", 0x1B, Tap(0x1B, 0x01)},
        {"ENTER", 0x0D, Tap(0x0D, 0x1C)},
        {"LEFT, extended", 0x25, Tap(0x25, 0x4B, true)},
        {"DELETE, extended", 0x2E, Tap(0x2E, 0x53, true)},
        {"PAGEUP, extended", 0x21, Tap(0x21, 0x49, true)},
        {"SLASH, keypad Divide, extended", 0x6F, Tap(0x6F, 0x35, true)},
        // The keypad keys Wine's layout gives no scan code: the standard key's.
        {"NUMPAD6", 0x66, Tap(0x66, 0x4D)},
        {"DECIMAL", 0x6E, Tap(0x6E, 0x53)},
        {"CTRL+NUMPAD0", kCtrlBit | 0x60, Held(0x11, 0x1D, Tap(0x60, 0x52))},
        {"ALT+1", kAltBit | 0x31, Held(0x12, 0x38, Tap(0x31, 0x02))},
        // Windows reports right Ctrl by the generic code, extended.
        {"right Ctrl", 0xA3, Tap(0x11, 0x1D, true)},
    };
    Win32Injector injector(RealWin32KeyboardCalls());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SendKey(injector, c.Code, true);
        EXPECT_EQ(Window.WaitForKeys(c.Keys.size()), c.Keys);
    }
}

}  // namespace
}  // namespace qel::test
