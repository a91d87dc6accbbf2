#include "hid/win32_device_watch.h"

#include <windows.h>

#include <dbt.h>
// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include <utility>

#include "base/ascii.h"
#include "platform/win32_text.h"

namespace qel {
namespace {

constexpr wchar_t kWindowClass[] = L"QelMcHidDeviceWatch";

Failure Failed(const char* operation) {
    return Failure{std::string(operation) + " failed (error " + std::to_string(GetLastError()) +
                   ")"};
}

// The module this code is in, so the window class belongs to the DLL, not to its host.
HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        kWindowClass, &module);
    return module;
}

}  // namespace

std::string DevicePathKey(std::string_view path) {
    return AsciiLowered(path);
}

struct Win32DeviceWatch::Window {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* watch = reinterpret_cast<Win32DeviceWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_DEVICECHANGE:
                if (watch != nullptr &&
                    (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
                    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
                    if (header != nullptr &&
                        header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
                        const auto* device =
                            reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
                        watch->Push({wParam == DBT_DEVICEARRIVAL,
                                     DevicePathKey(Utf8Of(device->dbcc_name))});
                    }
                }
                return TRUE;
            case WM_CLOSE:
                DestroyWindow(window);
                return 0;
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
            default:
                return DefWindowProcW(window, message, wParam, lParam);
        }
    }
};

Win32DeviceWatch::Win32DeviceWatch() {
    Thread = std::thread([this] { ThreadMain(); });
    std::unique_lock lock(Mutex);
    Changed.wait(lock, [this] { return Started; });
}

Win32DeviceWatch::~Win32DeviceWatch() {
    {
        std::lock_guard lock(Mutex);
        if (WindowHandle != nullptr) {
            PostMessageW(static_cast<HWND>(WindowHandle), WM_CLOSE, 0, 0);
        }
    }
    Thread.join();
}

void Win32DeviceWatch::ThreadMain() {
    const HMODULE module = ThisModule();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Window::Procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    // A class outlives the DLL that registered it, so it is unregistered when the watch ends:
    // a later load of the DLL at another address must not find the old window procedure.
    const bool registered = RegisterClassExW(&windowClass) != 0;

    Status problem;
    HDEVNOTIFY notification = nullptr;
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  module, nullptr);
    if (window == nullptr) {
        problem = Failed("CreateWindowExW");
    } else {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        HidD_GetHidGuid(&filter.dbcc_classguid);
        notification = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (notification == nullptr) {
            problem = Failed("RegisterDeviceNotificationW");
            DestroyWindow(window);
            window = nullptr;
        }
    }
    {
        std::lock_guard lock(Mutex);
        Started = true;
        StartProblem = problem;
        WindowHandle = window;
    }
    Changed.notify_all();

    if (window != nullptr) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        UnregisterDeviceNotification(notification);
    }
    if (registered) {
        UnregisterClassW(kWindowClass, module);
    }
}

void Win32DeviceWatch::Push(DeviceInterfaceChange change) {
    {
        std::lock_guard lock(Mutex);
        Pending.push_back(std::move(change));
    }
    Changed.notify_all();
}

Status Win32DeviceWatch::Watching() const {
    std::lock_guard lock(Mutex);
    return StartProblem;
}

std::optional<DeviceInterfaceChange> Win32DeviceWatch::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(Mutex);
    Changed.wait_for(lock, timeout, [this] { return Woken || !Pending.empty(); });
    if (Woken) {
        Woken = false;
        return std::nullopt;
    }
    if (Pending.empty()) {
        return std::nullopt;
    }
    DeviceInterfaceChange change = std::move(Pending.front());
    Pending.pop_front();
    return change;
}

void Win32DeviceWatch::Wake() {
    {
        std::lock_guard lock(Mutex);
        Woken = true;
    }
    Changed.notify_all();
}

}  // namespace qel
