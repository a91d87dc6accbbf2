#pragma once

#include <string>
#include <string_view>

// Case of ASCII letters only: names in keymap.ini and the simulator settings are ASCII, and
// every other byte must stay as it was written, whatever the machine's locale.
namespace qel {

[[nodiscard]] constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] constexpr char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

[[nodiscard]] inline std::string AsciiLowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = AsciiLower(c);
    }
    return lower;
}

[[nodiscard]] inline std::string AsciiUppered(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    return upper;
}

}  // namespace qel
