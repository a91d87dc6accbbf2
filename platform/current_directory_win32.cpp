#include <windows.h>

#include <array>
#include <string>

#include "platform/current_directory.h"
#include "platform/win32_system_message.h"

namespace qel {
namespace {

std::wstring FromCodePage(UINT codePage, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string ToUtf8(const std::wstring& wide) {
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

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
        return Failure{KeyMapUnusable("the current directory is longer than " +
                                      std::to_string(buffer.LongestDirectory()) + " characters")};
    }
    const std::string spelled(directory.data(), length);
    // Characters the code page lacks come back as '?', which names no folder.
    const std::wstring wide = FromCodePage(CP_ACP, spelled);
    if (wide != CurrentDirectoryW()) {
        return Failure{
            KeyMapUnusable("the current directory cannot be spelled in the system's "
                           "code page " +
                           std::to_string(::GetACP()))};
    }
    KeyMapLocation location = LocateKeyMap(buffer, spelled);
    // The rule counts the code page's bytes; the files are opened by their UTF-8 name.
    if (!location) return location;
    return ToUtf8(FromCodePage(CP_ACP, location.Value()));
}

}  // namespace qel
