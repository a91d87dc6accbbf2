// mcHID.dlls for the loader's tests. Built twice: without IsAvailable, the last name resolved
// (QEL_STUB_WITHOUT_ISAVAILABLE), and whole, posting a fixed set of notification messages from
// Connect (mchid_stub_post.cpp). Both count every call made to them; StubCalls tells how many.
// No windows.h here: it would declare kernel32's GetVersion over ours.
#include <cstdint>

#include "hid/mchid_abi.h"

// Posts the messages of the whole stub to window; the other stub posts nothing.
void PostStubMessages(void* window);

namespace {

int Calls = 0;

int Called() {
    ++Calls;
    return 0;
}

}  // namespace

#define QEL_STUB_EXPORT extern "C" __declspec(dllexport)

QEL_STUB_EXPORT McHidConnectFunction Connect;
QEL_STUB_EXPORT McHidDisconnectFunction Disconnect;
QEL_STUB_EXPORT McHidGetItemFunction GetItem;
QEL_STUB_EXPORT McHidGetItemCountFunction GetItemCount;
QEL_STUB_EXPORT McHidReadFunction Read;
QEL_STUB_EXPORT McHidWriteFunction Write;
QEL_STUB_EXPORT McHidReadExFunction ReadEx;
QEL_STUB_EXPORT McHidWriteExFunction WriteEx;
QEL_STUB_EXPORT McHidGetHandleFunction GetHandle;
QEL_STUB_EXPORT McHidGetVendorIDFunction GetVendorID;
QEL_STUB_EXPORT McHidGetProductIDFunction GetProductID;
QEL_STUB_EXPORT McHidGetVersionFunction GetVersion;
QEL_STUB_EXPORT McHidGetVendorNameFunction GetVendorName;
QEL_STUB_EXPORT McHidGetProductNameFunction GetProductName;
QEL_STUB_EXPORT McHidGetSerialNumberFunction GetSerialNumber;
QEL_STUB_EXPORT McHidGetInputReportLengthFunction GetInputReportLength;
QEL_STUB_EXPORT McHidGetOutputReportLengthFunction GetOutputReportLength;
QEL_STUB_EXPORT McHidSetReadNotifyFunction SetReadNotify;
QEL_STUB_EXPORT McHidIsReadNotifyEnabledFunction IsReadNotifyEnabled;
QEL_STUB_EXPORT int StubCalls();

McHidBool Connect(void* window) {
    PostStubMessages(window);
    return Called();
}

McHidBool Disconnect() {
    PostStubMessages(nullptr);
    return Called();
}

// Handle 8 has a report (type 0xC3, payload 0x5A); no other handle has one.
McHidBool Read(McHidHandle handle, uint8_t* buffer) {
    Called();
    if (handle != 8) {
        return 0;
    }
    buffer[0] = 0x00;
    buffer[1] = 0xC3;
    buffer[2] = 0x5A;
    return 1;
}

McHidHandle GetItem(int32_t) {
    return static_cast<McHidHandle>(Called());
}
int32_t GetItemCount() {
    return Called();
}
McHidBool Write(McHidHandle, const uint8_t*) {
    return Called();
}
int32_t ReadEx(McHidHandle, uint8_t*, int32_t) {
    return Called();
}
int32_t WriteEx(McHidHandle, const uint8_t*, int32_t) {
    return Called();
}
McHidHandle GetHandle(int32_t, int32_t) {
    return static_cast<McHidHandle>(Called());
}
int32_t GetVendorID(McHidHandle) {
    return Called();
}
int32_t GetProductID(McHidHandle) {
    return Called();
}
int32_t GetVersion(McHidHandle) {
    return Called();
}
int32_t GetVendorName(McHidHandle, char*, int32_t) {
    return Called();
}
int32_t GetProductName(McHidHandle, char*, int32_t) {
    return Called();
}
int32_t GetSerialNumber(McHidHandle, char*, int32_t) {
    return Called();
}
int32_t GetInputReportLength(McHidHandle) {
    return Called();
}
int32_t GetOutputReportLength(McHidHandle) {
    return Called();
}
McHidBool SetReadNotify(McHidHandle, McHidBool) {
    return Called();
}
McHidBool IsReadNotifyEnabled(McHidHandle) {
    return Called();
}
int StubCalls() {
    return Calls;
}

#ifndef QEL_STUB_WITHOUT_ISAVAILABLE
QEL_STUB_EXPORT McHidIsAvailableFunction IsAvailable;
McHidBool IsAvailable(McHidHandle) {
    return Called();
}
#endif
