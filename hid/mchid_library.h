#pragma once

#include "hid/hidlibrary_factory.h"
#include "base/logsink.h"

namespace qel {

// Windows only. The HidLibrary over mcHID.dll: LoadLibraryA("mcHID.dll"), then its twenty
// functions resolved in their order. Connect hands the DLL a hidden message-only window of the
// calling (main) thread; each notification message the DLL posts there is turned, as the main
// thread's message loop delivers it, into a HidNotification for the poster (a read event
// carries the report the DLL's Read hands over; when Read has none, nothing is posted).
//
// When the DLL is missing or lacks one of the names, the load fails, the reason is logged,
// the DLL is released again and none of its functions has been called.
[[nodiscard]] HidLibraryLoad LoadMcHidLibrary(LogSink& log);

}  // namespace qel
