// The program's HID library where there is no mcHID.dll: virtual panels or hidapi in-process.
#include <cstdlib>

#include "hid/hidapi_library.h"
#include "hid/hidlibrary_factory.h"
#include "hid/hidraw_system.h"

namespace qel {

HidLibraryLoad CreateHidLibrary(LogSink& log) {
    const char* scriptPath = std::getenv(kVirtualPanelsVariable);
    if (scriptPath != nullptr && *scriptPath != '\0') {
        return CreateVirtualPanelsFromFile(log, scriptPath);
    }
    return StartHidapiLibrary(CreateHidrawSystem(), log);
}

}  // namespace qel
