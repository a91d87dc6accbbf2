// The twenty functions of mcHID.dll (mchid.h), exported under their plain names through
// mchid.def. Each forwards to the one session of this load of the DLL.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <utility>

#include "mchid/dll_session.h"
#include "hid/mchid_abi.h"
#include "mchid/window_message_library.h"
#include "hid/hidmessage.h"

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

// The byte of a command report (MCHID_WRITE_SIZE bytes) that holds the command letter.
constexpr std::size_t kCommandByte = 1;

struct DllState {
    std::mutex Mutex;  // Connect and Disconnect
    std::unique_ptr<DllSession> Owned;
    // The session once connected; it stays until the DLL is unloaded, so a Write on a worker
    // thread never finds it gone.
    std::atomic<DllSession*> Current{nullptr};

    ~DllState() {
        // Only a process that ends without Disconnect gets here with the session running. Its
        // threads have been ended by then, and waiting for them could hang the exit.
        if (Owned && !Owned->Disconnected) {
            static_cast<void>(Owned.release());
        }
    }
};

DllState State;

WindowMessageLibrary* Library() {
    DllSession* session = State.Current.load(std::memory_order_acquire);
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
    // Without a window the messages would pile up in a queue nobody reads.
    if (qel::State.Owned || !IsWindow(static_cast<HWND>(window))) {
        return 0;
    }
    std::unique_ptr<qel::DllSession> session = qel::StartDllSession();
    if (!session) {
        return 0;
    }
    const HWND target = static_cast<HWND>(window);
    const bool connected =
        session->Library->Connect([target](qel::HidEvent event, qel::HidHandle handle) {
            return PostMessageA(target, qel::kHidMessage, static_cast<WPARAM>(event),
                                static_cast<LPARAM>(handle)) != 0;
        });
    qel::State.Owned = std::move(session);
    qel::State.Current.store(qel::State.Owned.get(), std::memory_order_release);
    return Truth(connected);
}

McHidBool McHidDisconnect() {
    std::lock_guard lock(qel::State.Mutex);
    qel::DllSession* session = qel::State.Owned.get();
    if (session == nullptr || session->Disconnected.exchange(true)) {
        return 1;
    }
    session->Library->Disconnect();
    qel::FinishDllSession(*session);
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
    qel::DllSession* session = qel::State.Current.load(std::memory_order_acquire);
    if (session == nullptr || buffer == nullptr) {
        return 0;
    }
    if (session->Disconnected.load()) {
        // Its host promised to stop writing first; the virtual panels' record shows it did not.
        qel::NoteWriteAfterDisconnect(*session, buffer[qel::kCommandByte]);
        return 0;
    }
    return Truth(session->Library->Write(
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
