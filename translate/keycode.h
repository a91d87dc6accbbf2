#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "translate/keylayout.h"

namespace qel {

// A binding: low byte a Windows virtual-key code, plus modifier bits. 0 = unbound.
using KeyCode = std::int32_t;

inline constexpr KeyCode kShiftBit = 0x100;
inline constexpr KeyCode kCtrlBit = 0x200;
inline constexpr KeyCode kAltBit = 0x400;
inline constexpr KeyCode kKeyCodeMask = 0x7FF;

inline constexpr std::uint8_t kVkShift = 0x10;
inline constexpr std::uint8_t kVkControl = 0x11;
inline constexpr std::uint8_t kVkMenu = 0x12;

struct KeyName {
    std::uint8_t VirtualKey;
    std::string_view Name;
};

// The 43 keys with a name in key text; the parser accepts the same names in lower case.
inline constexpr std::array<KeyName, 43> kKeyNames{{
    {0x09, "TAB"},     {0x0C, "CLEAR"},    {0x0D, "ENTER"},    {0x1B, "ESC"},
    {0x20, "SPACE"},   {0x21, "PAGEUP"},   {0x22, "PAGEDOWN"}, {0x23, "END"},
    {0x24, "HOME"},    {0x25, "LEFT"},     {0x26, "UP"},       {0x27, "RIGHT"},
    {0x28, "DOWN"},    {0x2D, "INSERT"},   {0x2E, "DELETE"},   {0x60, "NUMPAD0"},
    {0x61, "NUMPAD1"}, {0x62, "NUMPAD2"},  {0x63, "NUMPAD3"},  {0x64, "NUMPAD4"},
    {0x65, "NUMPAD5"}, {0x66, "NUMPAD6"},  {0x67, "NUMPAD7"},  {0x68, "NUMPAD8"},
    {0x69, "NUMPAD9"}, {0x6A, "ASTERISK"}, {0x6B, "PLUS"},     {0x6C, "SEPARATOR"},
    {0x6D, "DASH"},    {0x6E, "DECIMAL"},  {0x6F, "SLASH"},    {0x70, "F1"},
    {0x71, "F2"},      {0x72, "F3"},       {0x73, "F4"},       {0x74, "F5"},
    {0x75, "F6"},      {0x76, "F7"},       {0x77, "F8"},       {0x78, "F9"},
    {0x79, "F10"},     {0x7A, "F11"},      {0x7B, "F12"},
}};

// Keys with no name that are not typed by a character of the layout: 0x7C-0x87 are written
// "F13"-"F24", every other one "VK_" and two upper-case hex digits ("VK_13").
inline constexpr std::uint8_t kVkF13 = 0x7C;
inline constexpr std::uint8_t kVkF24 = 0x87;
inline constexpr int kF13Number = 13;
inline constexpr std::string_view kVirtualKeyPrefix = "VK_";

// Text form of a binding, e.g. "SHIFT+CTRL+F1"; empty for 0. A value with modifier
// bits and no key byte gives just the prefixes ("SHIFT+"): never a NUL character.
// After the prefixes: the key's name, its letter or digit, the character the layout types
// with it unshifted (";"), "F13"-"F24", or "VK_2C", so that every text reads back through
// the same layout to the value it came from. Bits above Alt are ignored. Allocates nothing
// beyond the text. Any thread.
std::string KeyCodeToText(KeyCode code, const KeyLayout& layout);

// The same text appended to text, so that callers building a line reuse one buffer.
void AppendKeyCodeText(std::string& text, KeyCode code, const KeyLayout& layout);

// The name of a virtual-key code in key text ("F1", "NUMPAD0"), or empty if it has none.
[[nodiscard]] std::string_view KeyNameOf(std::uint8_t virtualKey);

}  // namespace qel
