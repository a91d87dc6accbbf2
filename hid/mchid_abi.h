/* mcHID.dll, the panels' HID library: the twenty functions it exports, as the program loads
 * them and as our own mcHID.dll implements them.
 *
 * Loading: there is no import library. A caller loads the DLL by name and resolves each function
 * with GetProcAddress under the plain name given below ("Connect", "GetVersion", ...), in the
 * order of kMcHidExportNames. Each name has a function type here, McHid<Name>Function, to
 * declare a pointer with. The functions are not declared under their own names: GetVersion
 * would clash with the kernel32 function of that name in every file that includes windows.h.
 *
 * Calling convention: 64-bit Windows only. x64 has a single calling convention (the first four
 * arguments in registers, the caller cleans the stack), so the types carry no __stdcall or
 * __cdecl; the compiler would ignore either. A 32-bit build would have to choose one; none is
 * made.
 *
 * Types: handles are McHidHandle, 32 bits unsigned, non-zero while they name a device and never
 * reused while the DLL stays loaded; 0 means none. Truth values are McHidBool, 0 false, 1 true.
 * USB IDs are int32_t.
 *
 * Notifications: after Connect(window) the library posts message 0x80C8 to window, never during
 * the Connect call itself: wParam the event code (1 plugged, 2 unplugged, 3 changed, 4 read),
 * lParam the device handle (0 for changed). Every device of vendor 0x0D59 present at Connect is
 * announced plugged, then one changed; later each arrival is announced plugged then changed,
 * each removal unplugged then changed. With read notification on, each input report is
 * announced once, and Read hands it over.
 *
 * Threads: Write may run on any number of threads at once while one other thread (the window's)
 * makes the other calls.
 *
 * Functions this library does not provide answer "not available" as their entries below say:
 * ReadEx, WriteEx, GetVersion, GetVendorName, GetProductName, GetSerialNumber.
 *
 * Test facility: when the environment variable QEL1000_VIRTUAL_PANELS names a panel script at
 * Connect, virtual panels play it instead of the real ones being watched; when
 * QEL1000_VIRTUAL_WRITES names a file as well, their writes are saved there at Disconnect, and
 * every Write that comes after Disconnect has begun adds a line "after-disconnect LETTER".
 */
#ifndef QEL_MCHID_MCHID_H
#define QEL_MCHID_MCHID_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#error "mcHID.dll is built and loaded as 64-bit code only"
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t McHidHandle;
typedef int32_t McHidBool;

/* Bytes Read writes: byte 0 the report ID, byte 1 the report type, the payload from byte 2,
 * zeros after the report. */
#define MCHID_READ_SIZE 128
/* Bytes Write sends: byte 0 the report ID (0), byte 1 the command, bytes 2-11. */
#define MCHID_WRITE_SIZE 12
/* The notification message and its event codes. */
#define MCHID_MESSAGE 0x80C8
#define MCHID_EVENT_PLUGGED 1
#define MCHID_EVENT_UNPLUGGED 2
#define MCHID_EVENT_CHANGED 3
#define MCHID_EVENT_READ 4

/* window is an HWND. Starts watching; notifications go to window from now on. 0 when window
 * is not a window, when the library could not start (its reason goes to standard error) or
 * when it was connected before: one session per load of the DLL, so handles stay unique. */
typedef McHidBool McHidConnectFunction(void* window);
/* Stops watching, closes every device and forgets every waiting report; nothing is posted once
 * it returns, and no thread of the library is left once every Write under way has returned.
 * Always 1. Call it before unloading the DLL: threads cannot be ended while Windows unloads it. */
typedef McHidBool McHidDisconnectFunction(void);
/* The index-th connected device (from 0, in order of arrival); 0 when out of range. */
typedef McHidHandle McHidGetItemFunction(int32_t index);
/* How many devices are connected. */
typedef int32_t McHidGetItemCountFunction(void);
/* Copies the oldest announced, not yet read input report of handle into buffer
 * (MCHID_READ_SIZE bytes) and forgets it. 0, buffer untouched, when none waits. Each device
 * keeps at most 256 reports waiting; beyond that its oldest is dropped, and the read event
 * that announced it then finds the next one. */
typedef McHidBool McHidReadFunction(McHidHandle handle, uint8_t* buffer);
/* Sends buffer (MCHID_WRITE_SIZE bytes) to the device as an output report. 0 when the device
 * has gone or the write failed. */
typedef McHidBool McHidWriteFunction(McHidHandle handle, const uint8_t* buffer);
/* Not available: always 0, buffer untouched. */
typedef int32_t McHidReadExFunction(McHidHandle handle, uint8_t* buffer, int32_t size);
/* Not available: always 0, nothing sent. */
typedef int32_t McHidWriteExFunction(McHidHandle handle, const uint8_t* buffer, int32_t size);
/* The connected device with these IDs (the earliest connected if several); 0 if none. */
typedef McHidHandle McHidGetHandleFunction(int32_t vendorId, int32_t productId);
/* The device's vendor and product ID, still known after the device has gone; 0 for a handle
 * never given out. */
typedef int32_t McHidGetVendorIDFunction(McHidHandle handle);
typedef int32_t McHidGetProductIDFunction(McHidHandle handle);
/* The device's release number. Not available: always 0. */
typedef int32_t McHidGetVersionFunction(McHidHandle handle);
/* The device's strings, as 8-bit text. Not available: always 0, text untouched. */
typedef int32_t McHidGetVendorNameFunction(McHidHandle handle, char* text, int32_t size);
typedef int32_t McHidGetProductNameFunction(McHidHandle handle, char* text, int32_t size);
typedef int32_t McHidGetSerialNumberFunction(McHidHandle handle, char* text, int32_t size);
/* Bytes Read writes and Write sends for a connected device (MCHID_READ_SIZE,
 * MCHID_WRITE_SIZE); 0 for any other handle. */
typedef int32_t McHidGetInputReportLengthFunction(McHidHandle handle);
typedef int32_t McHidGetOutputReportLengthFunction(McHidHandle handle);
/* With 1, each later input report of the device is announced with a read event; with 0 none
 * is, and reports arriving meanwhile are not kept. 0 when the device is not connected. */
typedef McHidBool McHidSetReadNotifyFunction(McHidHandle handle, McHidBool enabled);
typedef McHidBool McHidIsReadNotifyEnabledFunction(McHidHandle handle);
/* 1 while the device is connected. */
typedef McHidBool McHidIsAvailableFunction(McHidHandle handle);

#ifdef __cplusplus
}  // extern "C"

#include <array>

namespace qel {

// The exported names in the order a caller resolves them.
inline constexpr std::array<const char*, 20> kMcHidExportNames = {
    "Connect",
    "Disconnect",
    "GetItem",
    "GetItemCount",
    "Read",
    "Write",
    "ReadEx",
    "WriteEx",
    "GetHandle",
    "GetVendorID",
    "GetProductID",
    "GetVersion",
    "GetVendorName",
    "GetProductName",
    "GetSerialNumber",
    "GetInputReportLength",
    "GetOutputReportLength",
    "SetReadNotify",
    "IsReadNotifyEnabled",
    "IsAvailable",
};

}  // namespace qel
#endif

#endif
