#pragma once

// Windows only. A top-level window of a test's own that holds the keyboard focus and records
// every key message it receives: down or up, the virtual-key code (wParam), the scan code
// (lParam bits 16-23) and the extended flag (bit 24). It needs a display: under Wine an X server
// (xvfb-run). Main thread only.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

namespace qel::test {

struct ReceivedKey {
    bool Down;
    std::uint8_t VirtualKey;
    std::uint8_t ScanCode;
    bool Extended;
    bool operator==(const ReceivedKey&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ReceivedKey& key) {
    return out << std::hex << (key.Down ? "{down" : "{up") << " vk 0x" << int{key.VirtualKey}
               << " scan 0x" << int{key.ScanCode} << (key.Extended ? " extended}" : "}")
               << std::dec;
}

// A key pressed and released.
inline std::vector<ReceivedKey> Tap(std::uint8_t vk, std::uint8_t scan, bool extended = false) {
    return {{true, vk, scan, extended}, {false, vk, scan, extended}};
}

// keys with a modifier held around them.
inline std::vector<ReceivedKey> Held(std::uint8_t vk, std::uint8_t scan,
                                     std::vector<ReceivedKey> keys) {
    keys.insert(keys.begin(), {true, vk, scan, false});
    keys.push_back({false, vk, scan, false});
    return keys;
}

class KeyLogWindow {
public:
    KeyLogWindow() {
        const HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Record;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kClassName;
        ::RegisterClassA(&windowClass);  // fails harmlessly when registered before
        Window = ::CreateWindowExA(0, kClassName, "key log", WS_OVERLAPPEDWINDOW, 20, 20, 240, 120,
                                   nullptr, nullptr, instance, nullptr);
        if (Window != nullptr) {
            ::SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            ::ShowWindow(Window, SW_SHOW);
        }
    }
    ~KeyLogWindow() {
        if (Window != nullptr) ::DestroyWindow(Window);
    }
    KeyLogWindow(const KeyLogWindow&) = delete;
    KeyLogWindow& operator=(const KeyLogWindow&) = delete;

    // Null when there is no display to create a window on.
    [[nodiscard]] HWND Handle() const { return Window; }

    // Brings the window to the front with the keyboard focus; false when it has not got it
    // within the limit.
    bool TakeFocus(DWORD limitMs = 5000) {
        const DWORD deadline = ::GetTickCount() + limitMs;
        do {
            ::SetForegroundWindow(Window);
            ::SetFocus(Window);
            Pump(20);
        } while (::GetFocus() != Window && static_cast<LONG>(deadline - ::GetTickCount()) > 0);
        return ::GetFocus() == Window;
    }

    // Dispatches this thread's messages for about the given time.
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

    [[nodiscard]] std::size_t Count() const { return Keys.size(); }

    // The keys received so far; they are forgotten.
    std::vector<ReceivedKey> TakeKeys() {
        std::vector<ReceivedKey> keys;
        keys.swap(Keys);
        return keys;
    }

    // Pumps until count keys have come or the limit has passed, then a little longer so that
    // keys beyond the expected ones show too; returns and forgets them.
    std::vector<ReceivedKey> WaitForKeys(std::size_t count, DWORD limitMs = 5000) {
        const DWORD deadline = ::GetTickCount() + limitMs;
        while (Keys.size() < count && static_cast<LONG>(deadline - ::GetTickCount()) > 0) {
            Pump(10);
        }
        Pump(50);
        return TakeKeys();
    }

private:
    static constexpr const char* kClassName = "QelKeyLog";

    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<KeyLogWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
            case WM_KEYDOWN:
            case WM_KEYUP:
            case WM_SYSKEYDOWN:
            case WM_SYSKEYUP:
                if (self == nullptr) break;
                // Alt turns key messages into their SYS forms; down or up is what counts here.
                self->Keys.push_back({message == WM_KEYDOWN || message == WM_SYSKEYDOWN,
                                      static_cast<std::uint8_t>(wParam),
                                      static_cast<std::uint8_t>((lParam >> 16) & 0xFF),
                                      ((lParam >> 24) & 1) != 0});
                return 0;
            default:
                break;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    HWND Window = nullptr;
    std::vector<ReceivedKey> Keys;
};

}  // namespace qel::test
