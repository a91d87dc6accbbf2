#include "translate/keycode.h"

namespace qel {

namespace {

// Modifier prefixes in their fixed print order, whatever order they were pressed in.
struct ModifierPrefix {
    KeyCode Bit;
    std::string_view Text;
};
constexpr std::array<ModifierPrefix, 3> kModifierPrefixes{{
    {kShiftBit, "SHIFT+"},
    {kCtrlBit, "CTRL+"},
    {kAltBit, "ALT+"},
}};

// Index of every named virtual-key code, built once from the name table at compile time.
constexpr std::array<std::string_view, 256> MakeNameIndex() {
    std::array<std::string_view, 256> index{};
    for (const KeyName& entry : kKeyNames) {
        index[entry.VirtualKey] = entry.Name;
    }
    return index;
}
constexpr std::array<std::string_view, 256> kNameIndex = MakeNameIndex();

}  // namespace

std::string_view KeyNameOf(std::uint8_t virtualKey) {
    return kNameIndex[virtualKey];
}

void AppendKeyCodeText(std::string& text, KeyCode code) {
    code &= kKeyCodeMask;
    if (code == 0) {
        return;
    }
    for (const ModifierPrefix& prefix : kModifierPrefixes) {
        if ((code & prefix.Bit) != 0) {
            text += prefix.Text;
        }
    }
    const auto virtualKey = static_cast<std::uint8_t>(code & 0xFF);
    if (const std::string_view name = KeyNameOf(virtualKey); !name.empty()) {
        text += name;
    } else if (virtualKey != 0) {
        // Unnamed keys print as the character of the same code: letters and digits
        // read as themselves. Code 0 prints nothing, so a text never holds a NUL.
        text += static_cast<char>(virtualKey);
    }
}

std::string KeyCodeToText(KeyCode code) {
    std::string text;
    AppendKeyCodeText(text, code);
    return text;
}

}  // namespace qel
