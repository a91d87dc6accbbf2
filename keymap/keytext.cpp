#include "keymap/keytext.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "base/ascii.h"

namespace qel {
namespace {

struct ModifierName {
    std::string_view Name;
    KeyCode Bit;
};

// Matched before the key names: the prefixes KeyCodeToText writes, without their '+'.
constexpr std::array<ModifierName, 3> kModifierNames{{
    {"shift", kShiftBit},
    {"ctrl", kCtrlBit},
    {"alt", kAltBit},
}};

// token is already lower case; the key names are stored upper case.
bool MatchesName(std::string_view token, std::string_view name) {
    if (token.size() != name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] != AsciiLower(name[i])) {
            return false;
        }
    }
    return true;
}

// "f13"-"f24" and "vk_01"-"vk_ff", the forms KeyCodeToText gives keys that have no name and
// no character; nothing else.
std::optional<std::uint8_t> UnnamedKeyOf(std::string_view lowered) {
    if (lowered.size() == 3 && lowered[0] == 'f') {
        int number = 0;
        const auto [end, error] = std::from_chars(lowered.data() + 1, lowered.data() + 3, number);
        if (error == std::errc() && end == lowered.data() + 3 && number >= kF13Number &&
            number <= kF13Number + (kVkF24 - kVkF13)) {
            return static_cast<std::uint8_t>(kVkF13 + (number - kF13Number));
        }
        return std::nullopt;
    }
    if (lowered.size() == kVirtualKeyPrefix.size() + 2 &&
        MatchesName(lowered.substr(0, kVirtualKeyPrefix.size()), kVirtualKeyPrefix)) {
        unsigned code = 0;
        const char* digits = lowered.data() + kVirtualKeyPrefix.size();
        const auto [end, error] = std::from_chars(digits, digits + 2, code, 16);
        if (error == std::errc() && end == digits + 2 && code != 0) {
            return static_cast<std::uint8_t>(code);
        }
    }
    return std::nullopt;
}

struct ParseState {
    KeyCode Modifiers = 0;
    std::uint8_t KeyByte = 0;
};

void DecideToken(std::string_view lowered, char asWritten, const KeyLayout& layout,
                 ParseState& state, LogSink& log) {
    if (lowered.size() == 1) {
        // The character as written: the layout's answer carries the shift state in the high
        // byte, which a binding does not keep ("!" is the 1 key, 0xFF for no key at all).
        state.KeyByte = static_cast<std::uint8_t>(layout.VkKeyScan(asWritten) & 0xFF);
        return;
    }
    for (const ModifierName& modifier : kModifierNames) {
        if (lowered == modifier.Name) {
            state.Modifiers |= modifier.Bit;
            return;
        }
    }
    for (const KeyName& key : kKeyNames) {
        if (MatchesName(lowered, key.Name)) {
            state.KeyByte = key.VirtualKey;
            return;
        }
    }
    if (const std::optional<std::uint8_t> key = UnnamedKeyOf(lowered)) {
        state.KeyByte = *key;
        return;
    }
    std::string line = "Unknown key '";
    line += lowered;
    line += "' found in config";
    log.AppendLine(line);
}

}  // namespace

KeyCode ParseKeyText(std::string_view text, const KeyLayout& layout, LogSink& log) {
    text = text.substr(0, text.find('\0'));
    if (text.empty()) {
        return 0;
    }
    ParseState state;
    std::string token;
    std::size_t tokenStart = 0;
    // One pass past the end: the end closes the last token as '+' closes the others.
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '+') {
            token += AsciiLower(text[i]);
            continue;
        }
        const char firstAsWritten = tokenStart < text.size() ? text[tokenStart] : '\0';
        DecideToken(token, firstAsWritten, layout, state, log);
        token.clear();
        tokenStart = i + 1;
    }
    return state.Modifiers | state.KeyByte;
}

}  // namespace qel
