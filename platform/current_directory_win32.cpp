#include <windows.h>

#include <array>
#include <string>

#include "platform/current_directory.h"
#include "platform/win32_system_message.h"
#include "platform/win32_text.h"

namespace qel {
namespace {

// The current directory in UTF-16, as the system keeps it.
std::wstring CurrentDirectoryW() {
    std::wstring directory(::GetCurrentDirectoryW(0, nullptr), L'\0');
    const DWORD length =
        ::GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    directory.resize(length < directory.size() ? length : 0);
    return directory;
}

}  // namespace

KeyMapLocation LocateKeyMapInCurrentDirectory(KeyMapPathBuffer& buffer) {
    // The program's 260-byte buffer, zeroed, with its stated length one less: a directory too
    // long for it leaves it empty.
    std::array<char, MAX_PATH> directory{};
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH - 1, directory.data());
    if (length == 0) {
        return Failure{KeyMapUnusable("the current directory cannot be found (" +
                                      SystemMessage(::GetLastError()) + ")")};
    }
    if (length >= MAX_PATH - 1) {
        return KeyMapDirectoryTooLong(buffer);
    }
    const std::string spelled(directory.data(), length);
    // Characters the code page lacks come back as '?', which names no folder.
    const std::wstring wide = WideOf(spelled, CP_ACP);
    if (wide != CurrentDirectoryW()) {
        return Failure{
            KeyMapUnusable("the current directory cannot be spelled in the system's "
                           "code page " +
                           std::to_string(::GetACP()))};
    }
    KeyMapLocation location = LocateKeyMap(buffer, spelled);
    // The rule counts the code page's bytes; the files are opened by their UTF-8 name.
    if (!location) return location;
    return Utf8Of(WideOf(location.Value(), CP_ACP));
}

}  // namespace qel
