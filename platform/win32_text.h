#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qel {

// UTF-16 text of the Windows calls as UTF-8.
[[nodiscard]] inline std::string Utf8Of(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

// The same for the terminated strings the calls hand out; null gives empty.
[[nodiscard]] inline std::string Utf8Of(const wchar_t* text) {
    return text != nullptr ? Utf8Of(std::wstring_view(text)) : std::string();
}

// Text in codePage (UTF-8 unless named) as the UTF-16 of the Windows calls. Bytes that are not
// text in it become U+FFFD: for names that must not be guessed, see the file access.
[[nodiscard]] inline std::wstring WideOf(std::string_view text, UINT codePage = CP_UTF8) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), size);
    return result;
}

}  // namespace qel
