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

// Letter and digit keys have the codes of their upper-case characters on every layout.
constexpr bool IsLetterOrDigitKey(std::uint8_t virtualKey) {
    return (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
}

}  // namespace

std::string_view KeyNameOf(std::uint8_t virtualKey) {
    return kNameIndex[virtualKey];
}

void AppendKeyCodeText(std::string& text, KeyCode code, const KeyLayout& layout) {
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
    if (virtualKey == 0) {
        // Prefixes alone: a text never holds a NUL.
        return;
    }
    if (const std::string_view name = KeyNameOf(virtualKey); !name.empty()) {
        text += name;
    } else if (IsLetterOrDigitKey(virtualKey)) {
        text += static_cast<char>(virtualKey);
    } else if (const char typed = layout.UnshiftedCharacter(virtualKey); typed != '\0') {
        // The character of the key's own code would read back as whatever key types that
        // character (0x2C, Print Screen, as ','); the one this key types reads back as it.
        text += typed;
    } else if (virtualKey >= kVkF13 && virtualKey <= kVkF24) {
        const int number = kF13Number + (virtualKey - kVkF13);
        text += 'F';
        text += static_cast<char>('0' + number / 10);
        text += static_cast<char>('0' + number % 10);
    } else {
        // By number: no layout can read it as another key.
        constexpr std::string_view kHexDigits = "0123456789ABCDEF";
        text += kVirtualKeyPrefix;
        text += kHexDigits[virtualKey >> 4];
        text += kHexDigits[virtualKey & 0x0F];
    }
}

std::string KeyCodeToText(KeyCode code, const KeyLayout& layout) {
    std::string text;
    AppendKeyCodeText(text, code, layout);
    return text;
}

}  // namespace qel
