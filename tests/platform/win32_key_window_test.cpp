// Keystrokes for real: the Win32 injector types into a window of the test's own that holds the
// focus and records every key message with its virtual-key code, scan code (lParam bits 16-23)
// and extended flag (bit 24). Needs a display: under Wine, run it with xvfb-run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/win32_injector.h"
#include "translate/keycode.h"
#include "translate/sendkey.h"

namespace qel::test {
namespace {

struct ReceivedKey {
    bool Down;
    std::uint8_t VirtualKey;
    std::uint8_t ScanCode;
    bool Extended;
    bool operator==(const ReceivedKey&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReceivedKey& key) {
    return out << std::hex << (key.Down ? "{down" : "{up") << " vk 0x" << int{key.VirtualKey}
               << " scan 0x" << int{key.ScanCode} << (key.Extended ? " extended}" : "}");
}

std::vector<ReceivedKey>* Received = nullptr;

LRESULT CALLBACK RecordKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // Alt turns key messages into their SYS forms; down or up is what counts here.
            Received->push_back({message == WM_KEYDOWN || message == WM_SYSKEYDOWN,
                                 static_cast<std::uint8_t>(wParam),
                                 static_cast<std::uint8_t>((lParam >> 16) & 0xFF),
                                 ((lParam >> 24) & 1) != 0});
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

class KeyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Received = &Keys;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordKeys;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QelKeyLog";
        ::RegisterClassA(&windowClass);
        Window = ::CreateWindowExA(0, "QelKeyLog", "key log", WS_OVERLAPPEDWINDOW, 20, 20, 240, 120,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        if (Window == nullptr) {
            GTEST_SKIP() << "no display for a window: run this test under xvfb-run";
        }
        ::ShowWindow(Window, SW_SHOW);
        ::SetForegroundWindow(Window);
        ::SetFocus(Window);
        const DWORD deadline = ::GetTickCount() + 5000;
        while (::GetFocus() != Window && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            Pump(20);
        }
        ASSERT_EQ(::GetFocus(), Window) << "the window did not get the focus";
        Pump(100);
        Keys.clear();
    }
    void TearDown() override {
        if (Window != nullptr) ::DestroyWindow(Window);
        Received = nullptr;
    }

    static void Pump(DWORD milliseconds) {
        const DWORD deadline = ::GetTickCount() + milliseconds;
        do {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
            ::Sleep(5);
        } while (static_cast<LONG>(deadline - ::GetTickCount()) > 0);
    }

    std::vector<ReceivedKey> WaitForKeys(std::size_t count) {
        const DWORD deadline = ::GetTickCount() + 5000;
        while (Keys.size() < count && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            Pump(10);
        }
        Pump(50);  // anything beyond the expected keys shows too
        std::vector<ReceivedKey> keys;
        keys.swap(Keys);
        return keys;
    }

    HWND Window = nullptr;
    std::vector<ReceivedKey> Keys;
};

std::vector<ReceivedKey> Tap(std::uint8_t vk, std::uint8_t scan, bool extended = false) {
    return {{true, vk, scan, extended}, {false, vk, scan, extended}};
}

std::vector<ReceivedKey> Held(std::uint8_t vk, std::uint8_t scan, std::vector<ReceivedKey> keys) {
    keys.insert(keys.begin(), {true, vk, scan, false});
    keys.push_back({false, vk, scan, false});
    return keys;
}

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
        EXPECT_EQ(WaitForKeys(c.Keys.size()), c.Keys);
    }
}

}  // namespace
}  // namespace qel::test
