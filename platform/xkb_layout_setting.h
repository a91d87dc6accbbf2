#pragma once

#include <string>
#include <string_view>

namespace qel {

// An XKB layout and variant, as setxkbmap takes them. An empty layout means US.
struct XkbLayoutName {
    std::string Layout;
    std::string Variant;
    bool operator==(const XkbLayoutName&) const = default;
};

// XKBLAYOUT and XKBVARIANT of a text in the form of /etc/default/keyboard (shell
// assignments, values optionally quoted). Of a list such as "de,us" the first entry
// counts: it is the layout active after login. Missing or unreadable lines give empty.
[[nodiscard]] XkbLayoutName ParseKeyboardDefaults(std::string_view text);

// The configured layout: XKB_DEFAULT_LAYOUT / XKB_DEFAULT_VARIANT when set, else
// /etc/default/keyboard, else empty (US).
[[nodiscard]] XkbLayoutName ConfiguredXkbLayout();

}  // namespace qel
