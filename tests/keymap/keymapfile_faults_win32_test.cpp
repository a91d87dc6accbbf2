// How the Win32 file access words the faults of keymapfile_faults_test.cpp: the system's own
// message for each error, as FormatMessage gives it in the language of the machine.
#include <windows.h>

#include <string>

#include "disk_bench.h"
#include "platform/win32_system_message.h"

namespace qel::test {
namespace {}  // namespace

PlatformFaultWords PlatformFaults() {
    // Read-only is a file attribute on Windows, which binds every user.
    return {SystemMessage(ERROR_PATH_NOT_FOUND), "Is a folder", SystemMessage(ERROR_ACCESS_DENIED),
            true};
}

}  // namespace qel::test
