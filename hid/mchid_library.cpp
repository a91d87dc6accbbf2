#include "hid/mchid_library.h"

#include <windows.h>

#include <array>
#include <bit>
#include <string>
#include <string_view>
#include <utility>

#include "hid/mchid_abi.h"
#include "hid/hidmessage.h"
#include "platform/win32_system_message.h"

namespace qel {
namespace {

constexpr char kDllName[] = "mcHID.dll";
constexpr char kWindowClass[] = "QelMcHidNotifications";

static_assert(sizeof(InputReport) == MCHID_READ_SIZE);
static_assert(kCommandReportSize == MCHID_WRITE_SIZE);

using Addresses = std::array<FARPROC, kMcHidExportNames.size()>;

// Where a name stands among the exports, checked while compiling.
consteval std::size_t ExportIndex(std::string_view name) {
    for (std::size_t index = 0; index < kMcHidExportNames.size(); ++index) {
        if (name == kMcHidExportNames[index]) {
            return index;
        }
    }
    throw "not a function of mcHID.dll";
}

template <typename Function>
Function* EntryPoint(const Addresses& addresses, std::size_t index) {
    return std::bit_cast<Function*>(addresses[index]);
}

// The functions the program calls. The other twelve are resolved, so a DLL lacking one is
// refused, but never called.
struct EntryPoints {
    McHidConnectFunction* Connect = nullptr;
    McHidDisconnectFunction* Disconnect = nullptr;
    McHidReadFunction* Read = nullptr;
    McHidWriteFunction* Write = nullptr;
    McHidGetHandleFunction* GetHandle = nullptr;
    McHidGetVendorIDFunction* GetVendorID = nullptr;
    McHidGetProductIDFunction* GetProductID = nullptr;
    McHidSetReadNotifyFunction* SetReadNotify = nullptr;
};

// "error N: description", so that a missing DLL's 126 is plain to see.
std::string ErrorText(DWORD error) {
    return "error " + std::to_string(error) + ": " + SystemMessage(error);
}

class McHidLibrary final : public HidLibrary {
public:
    McHidLibrary(HMODULE module, const EntryPoints& entry, LogSink& log)
        : Module(module), Entry(entry), Log(log) {}
    ~McHidLibrary() override {
        Disconnect();
        FreeLibrary(Module);
    }
    McHidLibrary(const McHidLibrary&) = delete;
    McHidLibrary& operator=(const McHidLibrary&) = delete;

    void Connect(NotificationPoster post) override {
        if (Started) {
            return;
        }
        Started = true;
        Window = CreateNotificationWindow();
        if (Window == nullptr) {
            Log.AppendLine(std::string(kDllName) + ": no window for its notifications (" +
                           ErrorText(GetLastError()) + ")");
            return;
        }
        SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        Post = std::move(post);
        // Not looked at: a library that could not start announces nothing, and that is all
        // the program could make of it.
        static_cast<void>(Entry.Connect(Window));
    }

    void Disconnect() override {
        if (Window == nullptr) {
            return;
        }
        static_cast<void>(Entry.Disconnect());
        // Notifications still queued for the window go with it.
        DestroyWindow(Window);
        Window = nullptr;
        Post = nullptr;
    }

    int GetVendorID(HidHandle handle) override { return Entry.GetVendorID(handle); }
    int GetProductID(HidHandle handle) override { return Entry.GetProductID(handle); }
    HidHandle GetHandle(int vendorId, int productId) override {
        return Entry.GetHandle(vendorId, productId);
    }
    void SetReadNotify(HidHandle handle, bool enabled) override {
        static_cast<void>(Entry.SetReadNotify(handle, enabled ? 1 : 0));
    }
    bool Write(HidHandle handle, CommandReport report) override {
        return Entry.Write(handle, report.data()) != 0;
    }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        const std::optional<HidEvent> event = HidEventOfMessage(message, wParam);
        auto* library = reinterpret_cast<McHidLibrary*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!event || library == nullptr) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        library->Announce(*event, HidHandleOfMessage(lParam));
        return 0;
    }

    // A message-only window of the calling thread: it needs no display and is never shown,
    // and its messages come through that thread's message loop.
    static HWND CreateNotificationWindow() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return nullptr;
        }
        return CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                               nullptr);
    }

    void Announce(HidEvent event, HidHandle handle) {
        if (!Post) {
            return;
        }
        switch (event) {
            case HidEvent::Read: {
                // The report is taken at once, so the notification carries it and the handling
                // never goes back to the library for it.
                HidNotification read{HidEvent::Read, handle};
                if (Entry.Read(handle, read.Report.data()) != 0) {
                    Post(read);
                }
                break;
            }
            case HidEvent::Changed:
                Post({HidEvent::Changed, 0});
                break;
            case HidEvent::Plugged:
            case HidEvent::Unplugged:
                Post({event, handle});
                break;
        }
    }

    const HMODULE Module;
    const EntryPoints Entry;
    LogSink& Log;
    bool Started = false;
    HWND Window = nullptr;
    NotificationPoster Post;
};

HidLibraryLoad Failed(LogSink& log, std::string reason) {
    log.AppendLine(reason);
    return Failure{std::move(reason)};
}

}  // namespace

HidLibraryLoad LoadMcHidLibrary(LogSink& log) {
    const HMODULE module = LoadLibraryA(kDllName);
    if (module == nullptr) {
        return Failed(log,
                      std::string(kDllName) + ": cannot load (" + ErrorText(GetLastError()) + ")");
    }
    Addresses addresses{};
    for (std::size_t index = 0; index < addresses.size(); ++index) {
        addresses[index] = GetProcAddress(module, kMcHidExportNames[index]);
        if (addresses[index] == nullptr) {
            FreeLibrary(module);
            return Failed(log,
                          std::string(kDllName) + ": has no function " + kMcHidExportNames[index]);
        }
    }
    const EntryPoints entry{
        .Connect = EntryPoint<McHidConnectFunction>(addresses, ExportIndex("Connect")),
        .Disconnect = EntryPoint<McHidDisconnectFunction>(addresses, ExportIndex("Disconnect")),
        .Read = EntryPoint<McHidReadFunction>(addresses, ExportIndex("Read")),
        .Write = EntryPoint<McHidWriteFunction>(addresses, ExportIndex("Write")),
        .GetHandle = EntryPoint<McHidGetHandleFunction>(addresses, ExportIndex("GetHandle")),
        .GetVendorID = EntryPoint<McHidGetVendorIDFunction>(addresses, ExportIndex("GetVendorID")),
        .GetProductID =
            EntryPoint<McHidGetProductIDFunction>(addresses, ExportIndex("GetProductID")),
        .SetReadNotify =
            EntryPoint<McHidSetReadNotifyFunction>(addresses, ExportIndex("SetReadNotify")),
    };
    std::unique_ptr<HidLibrary> library = std::make_unique<McHidLibrary>(module, entry, log);
    return library;
}

}  // namespace qel
