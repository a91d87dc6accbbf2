// The program's HID library on Windows: mcHID.dll. Ours plays QEL1000_VIRTUAL_PANELS itself,
// so the whole Windows path runs the same with virtual panels as with real ones.
#include "hid/hidlibrary_factory.h"
#include "hid/mchid_library.h"

namespace qel {

HidLibraryLoad CreateHidLibrary(LogSink& log) {
    return LoadMcHidLibrary(log);
}

}  // namespace qel
