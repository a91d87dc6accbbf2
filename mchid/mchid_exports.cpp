// The twenty functions of mcHID.dll (mchid.h), exported under their plain names through
// mchid.def. Each forwards to the one session of this load of the DLL.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "mchid/mchid.h"
#include "mchid/win32_hid_system.h"
#include "mchid/window_message_library.h"
#include "panel/hidapi_library.h"
#include "panel/hidlibrary_factory.h"
#include "panel/hidmessage.h"
#include "panel/virtual_library.h"

extern "C" {
McHidConnectFunction McHidConnect;
McHidDisconnectFunction McHidDisconnect;
McHidGetItemFunction McHidGetItem;
McHidGetItemCountFunction McHidGetItemCount;
McHidReadFunction McHidRead;
McHidWriteFunction McHidWrite;
McHidReadExFunction McHidReadEx;
McHidWriteExFunction McHidWriteEx;
McHidGetHandleFunction McHidGetHandle;
McHidGetVendorIDFunction McHidGetVendorID;
McHidGetProductIDFunction McHidGetProductID;
McHidGetVersionFunction McHidGetVersion;
McHidGetVendorNameFunction McHidGetVendorName;
McHidGetProductNameFunction McHidGetProductName;
McHidGetSerialNumberFunction McHidGetSerialNumber;
McHidGetInputReportLengthFunction McHidGetInputReportLength;
McHidGetOutputReportLengthFunction McHidGetOutputReportLength;
McHidSetReadNotifyFunction McHidSetReadNotify;
McHidIsReadNotifyEnabledFunction McHidIsReadNotifyEnabled;
McHidIsAvailableFunction McHidIsAvailable;
}

namespace qel {
namespace {

static_assert(MCHID_READ_SIZE == kReceiveBufferSize);
static_assert(MCHID_WRITE_SIZE == kCommandReportSize);
static_assert(MCHID_MESSAGE == kHidMessage);
static_assert(MCHID_EVENT_PLUGGED == static_cast<int>(HidEvent::Plugged) &&
              MCHID_EVENT_UNPLUGGED == static_cast<int>(HidEvent::Unplugged) &&
              MCHID_EVENT_CHANGED == static_cast<int>(HidEvent::Changed) &&
              MCHID_EVENT_READ == static_cast<int>(HidEvent::Read));
static_assert(WindowMessageLibrary::kReportQueueCapacity == 256, "the bound mchid.h promises");

// Names a file that receives the virtual panels' writes at Disconnect, one line each:
// milliseconds after Connect, product ID, command letter. A test facility like the panels.
constexpr const char* kVirtualWritesVariable = "QEL1000_VIRTUAL_WRITES";

// The DLL has no window to report in; what its host should know goes to standard error.
class StandardErrorLog final : public LogSink {
public:
    void AppendLine(std::string_view line) override {
        std::fprintf(stderr, "mcHID: %.*s\n", static_cast<int>(line.size()), line.data());
    }
};

// The process environment itself, not the C run time's copy of it: a host may set a variable
// either way.
std::string EnvironmentValue(const char* name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::string value(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

struct Session {
    StandardErrorLog Log;  // before Library: the back end writes to it until it goes
    std::unique_ptr<WindowMessageLibrary> Library;
    VirtualPanels* Panels = nullptr;  // the back end, when it plays a script
    std::string WritesPath;
    std::atomic<bool> Running{false};
};

void SaveWrites(const VirtualPanels& panels, const std::string& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const WriteRecord& write : panels.Writes()) {
        file << write.AtMs << ' ' << write.ProductId << ' ' << write.Letter << '\n';
    }
    if (!file) {
        std::fprintf(stderr, "mcHID: %s: cannot write\n", path.c_str());
    }
}

// The virtual panels when QEL1000_VIRTUAL_PANELS names a script, else the real ones through
// hidapi. Null when neither can start; the reason is on standard error.
std::unique_ptr<Session> StartSession() {
    auto session = std::make_unique<Session>();
    std::unique_ptr<HidLibrary> backEnd;
    const std::string script = EnvironmentValue(kVirtualPanelsVariable);
    if (!script.empty()) {
        PanelScriptFile events = ReadPanelScriptFile(session->Log, script);
        if (!events.Readable) {
            return nullptr;
        }
        auto panels = std::make_unique<VirtualPanels>(std::move(events.Events),
                                                      VirtualPanels::Clock::RealTime);
        session->Panels = panels.get();
        session->WritesPath = EnvironmentValue(kVirtualWritesVariable);
        backEnd = std::move(panels);
    } else {
        std::unique_ptr<HidrawSystem> system = CreateWin32HidSystem();
        if (std::optional<std::string> problem = system->Start()) {
            session->Log.AppendLine("Panels: " + *problem);
            return nullptr;
        }
        backEnd = std::make_unique<HidapiLibrary>(std::move(system), session->Log);
    }
    session->Library = std::make_unique<WindowMessageLibrary>(std::move(backEnd));
    return session;
}

struct DllState {
    std::mutex Mutex;  // Connect and Disconnect
    std::unique_ptr<Session> Owned;
    // The session once connected; it stays until the DLL is unloaded, so a Write on a worker
    // thread never finds it gone.
    std::atomic<Session*> Current{nullptr};

    ~DllState() {
        // Only a process that ends without Disconnect gets here with the session running. Its
        // threads have been ended by then, and waiting for them could hang the exit.
        if (Owned && Owned->Running) {
            static_cast<void>(Owned.release());
        }
    }
};

DllState State;

WindowMessageLibrary* Library() {
    Session* session = State.Current.load(std::memory_order_acquire);
    return session != nullptr ? session->Library.get() : nullptr;
}

McHidBool Truth(bool value) {
    return value ? 1 : 0;
}

}  // namespace
}  // namespace qel

using qel::Library;
using qel::Truth;

McHidBool McHidConnect(void* window) {
    std::lock_guard lock(qel::State.Mutex);
    if (qel::State.Owned) {
        return 0;
    }
    std::unique_ptr<qel::Session> session = qel::StartSession();
    if (!session) {
        return 0;
    }
    const HWND target = static_cast<HWND>(window);
    const bool connected =
        session->Library->Connect([target](qel::HidEvent event, qel::HidHandle handle) {
            return PostMessageA(target, qel::kHidMessage, static_cast<WPARAM>(event),
                                static_cast<LPARAM>(handle)) != 0;
        });
    session->Running = connected;
    qel::State.Owned = std::move(session);
    qel::State.Current.store(qel::State.Owned.get(), std::memory_order_release);
    return Truth(connected);
}

McHidBool McHidDisconnect() {
    std::lock_guard lock(qel::State.Mutex);
    qel::Session* session = qel::State.Owned.get();
    if (session == nullptr || !session->Running.exchange(false)) {
        return 1;
    }
    session->Library->Disconnect();
    if (session->Panels != nullptr && !session->WritesPath.empty()) {
        qel::SaveWrites(*session->Panels, session->WritesPath);
    }
    return 1;
}

McHidHandle McHidGetItem(int32_t index) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr ? library->Item(index) : 0;
}

int32_t McHidGetItemCount() {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr ? library->ItemCount() : 0;
}

McHidBool McHidRead(McHidHandle handle, uint8_t* buffer) {
    qel::WindowMessageLibrary* library = Library();
    if (library == nullptr || buffer == nullptr) {
        return 0;
    }
    return Truth(
        library->Read(handle, std::span<uint8_t, MCHID_READ_SIZE>(buffer, MCHID_READ_SIZE)));
}

McHidBool McHidWrite(McHidHandle handle, const uint8_t* buffer) {
    qel::WindowMessageLibrary* library = Library();
    if (library == nullptr || buffer == nullptr) {
        return 0;
    }
    return Truth(library->Write(
        handle, std::span<const uint8_t, MCHID_WRITE_SIZE>(buffer, MCHID_WRITE_SIZE)));
}

int32_t McHidReadEx(McHidHandle, uint8_t*, int32_t) {
    return 0;
}

int32_t McHidWriteEx(McHidHandle, const uint8_t*, int32_t) {
    return 0;
}

McHidHandle McHidGetHandle(int32_t vendorId, int32_t productId) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr ? library->GetHandle(vendorId, productId) : 0;
}

int32_t McHidGetVendorID(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr ? library->GetVendorID(handle) : 0;
}

int32_t McHidGetProductID(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr ? library->GetProductID(handle) : 0;
}

int32_t McHidGetVersion(McHidHandle) {
    return 0;
}

int32_t McHidGetVendorName(McHidHandle, char*, int32_t) {
    return 0;
}

int32_t McHidGetProductName(McHidHandle, char*, int32_t) {
    return 0;
}

int32_t McHidGetSerialNumber(McHidHandle, char*, int32_t) {
    return 0;
}

int32_t McHidGetInputReportLength(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr && library->IsAvailable(handle) ? MCHID_READ_SIZE : 0;
}

int32_t McHidGetOutputReportLength(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return library != nullptr && library->IsAvailable(handle) ? MCHID_WRITE_SIZE : 0;
}

McHidBool McHidSetReadNotify(McHidHandle handle, McHidBool enabled) {
    qel::WindowMessageLibrary* library = Library();
    return Truth(library != nullptr && library->SetReadNotify(handle, enabled != 0));
}

McHidBool McHidIsReadNotifyEnabled(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return Truth(library != nullptr && library->IsReadNotifyEnabled(handle));
}

McHidBool McHidIsAvailable(McHidHandle handle) {
    qel::WindowMessageLibrary* library = Library();
    return Truth(library != nullptr && library->IsAvailable(handle));
}
