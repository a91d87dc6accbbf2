// How the Win32 file access words the faults of keymapfile_faults_test.cpp: the system's own
// message for each error, as FormatMessage gives it in the language of the machine.
#include <windows.h>

#include <string>

#include "disk_bench.h"

namespace qel::test {
namespace {

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message(text, length);
    ::LocalFree(text);
    while (!message.empty() &&
           (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

}  // namespace

PlatformFaultWords PlatformFaults() {
    // Read-only is a file attribute on Windows, which binds every user.
    return {SystemMessage(ERROR_PATH_NOT_FOUND), "Is a folder", SystemMessage(ERROR_ACCESS_DENIED),
            true};
}

}  // namespace qel::test
