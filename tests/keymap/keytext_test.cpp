#include "keymap/keytext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_log.h"
#include "translate/keycode.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

std::string UnknownLine(const std::string& token) {
    return "Unknown key '" + token + "' found in config";
}

struct ParseCase {
    std::string Text;
    KeyCode Expected;
    std::vector<std::string> Lines;  // log lines, in order
};

KeyCode Parse(std::string_view text, MemoryLog& log) {
    const UsEnglishLayout layout;
    return ParseKeyText(text, layout, log);
}

TEST(ParseKeyText, ReadsKeyTextAsTheKeyMapFileHoldsIt) {
    const std::vector<ParseCase> cases = {
        {"", 0, {}},
        {"F1", 0x70, {}},
        {"f1", 0x70, {}},
        {"Shift+F1", 0x170, {}},
        {"SHIFT+F1", 0x170, {}},
        {"shift+f1", 0x170, {}},
        {"PageDown", 0x22, {}},
        {"SHIFT+CTRL+ALT+A", 0x741, {}},
        {"alt+ctrl+shift+a", 0x741, {}},
        {"A", 0x41, {}},
        {"a", 0x41, {}},
        {"7", 0x37, {}},
        // The layout's shift state is dropped: '!' is the 1 key, without Shift.
        {"!", 0x31, {}},
        {"F1+F2", 0x71, {}},
        {"shift+shift", 0x100, {}},
        {"shift", 0x100, {}},
        {"NUMPAD5", 0x65, {}},
        {"ctrl+Asterisk", 0x26A, {}},
        // A character the layout cannot type.
        {"\xE9", 0xFF, {}},
        // The forms of keys with neither a name nor a character.
        {"F13", 0x7C, {}},
        {"shift+f24", 0x187, {}},
        {"Vk_2c", 0x2C, {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE("text: '" + c.Text + "'");
        MemoryLog log;
        EXPECT_EQ(Parse(c.Text, log), c.Expected);
        EXPECT_EQ(log.Lines, c.Lines);
    }
}

TEST(ParseKeyText, ReportsEveryUnknownTokenAndKeepsWhatTheOthersGave) {
    const std::vector<ParseCase> cases = {
        {"SHIFT+", 0x100, {UnknownLine("")}},
        {"+A", 0x41, {UnknownLine("")}},
        {"+", 0, {UnknownLine(""), UnknownLine("")}},
        // Blanks belong to the tokens; they are never trimmed.
        {"shift + a", 0, {UnknownLine("shift "), UnknownLine(" a")}},
        {"numpad10", 0, {UnknownLine("numpad10")}},
        {"F25", 0, {UnknownLine("f25")}},
        {"VK_00", 0, {UnknownLine("vk_00")}},
        {"VK_1G", 0, {UnknownLine("vk_1g")}},
        {"esc1", 0, {UnknownLine("esc1")}},
        {"ENTERX", 0, {UnknownLine("enterx")}},
        {"ctrl+ENTERX", 0x200, {UnknownLine("enterx")}},
        {"shift+xyz", 0x100, {UnknownLine("xyz")}},
        {"F2+xyz+alt", 0x471, {UnknownLine("xyz")}},
        // Only A-Z fold: other bytes show in the log as written.
        {"\xC3\x89T\xC3\xA9", 0, {UnknownLine("\xC3\x89t\xC3\xA9")}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE("text: '" + c.Text + "'");
        MemoryLog log;
        EXPECT_EQ(Parse(c.Text, log), c.Expected);
        EXPECT_EQ(log.Lines, c.Lines);
    }
}

TEST(ParseKeyText, StopsAtTheFirstNul) {
    MemoryLog log;
    EXPECT_EQ(Parse(std::string_view("F1\0+xyz", 7), log), 0x70);
    EXPECT_TRUE(log.Lines.empty());
    EXPECT_EQ(Parse(std::string_view("\0F1", 3), log), 0);
    EXPECT_TRUE(log.Lines.empty());
}

TEST(ParseKeyText, HandlesTheLongestValueTheReaderDeliversInFull) {
    // Modifiers, a run of empty tokens and a key at the very end: 509 characters.
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "alt+";
    }
    text += "ctrl+ctrl+ctrl+";
    while (text.size() < 507) {
        text += "+";
    }
    text += "F9";
    ASSERT_EQ(text.size(), 509U);
    MemoryLog log;
    EXPECT_EQ(Parse(text, log), 0x678);
    // The separators run together: each gap is one empty token.
    EXPECT_EQ(log.Lines.size(), 507U - (100 * 4 + 15));
}

// The US layout, but typing '+' unshifted on the '=' key, as several European layouts do.
struct PlusUnshiftedLayout final : KeyLayout {
    std::uint16_t VkKeyScan(char c) const override { return c == '+' ? 0xBB : Us.VkKeyScan(c); }
    char UnshiftedCharacter(std::uint8_t key) const override { return Table[key]; }
    UsEnglishLayout Us;
    UnshiftedCharacterTable Table =
        FindUnshiftedCharacters([this](char c) { return VkKeyScan(c); });
};

void ExpectEveryBoundKeyReadsBack(const KeyLayout& layout) {
    for (KeyCode key = 0x01; key <= 0xFF; ++key) {
        for (KeyCode modifiers = 0; modifiers <= (kShiftBit | kCtrlBit | kAltBit);
             modifiers += kShiftBit) {
            const KeyCode code = modifiers | key;
            const std::string text = KeyCodeToText(code, layout);
            SCOPED_TRACE("code " + std::to_string(code) + " as '" + text + "'");
            MemoryLog log;
            EXPECT_EQ(ParseKeyText(text, layout, log), code);
            EXPECT_TRUE(log.Lines.empty());
        }
    }
}

TEST(ParseKeyText, ReadsBackEveryBoundKeyWithEveryModifierSet) {
    ExpectEveryBoundKeyReadsBack(UsEnglishLayout());
    ExpectEveryBoundKeyReadsBack(PlusUnshiftedLayout());
}

TEST(ParseKeyText, ReadsBackUnboundAsUnbound) {
    MemoryLog log;
    EXPECT_EQ(Parse(KeyCodeToText(0, UsEnglishLayout()), log), 0);
    EXPECT_TRUE(log.Lines.empty());
}

}  // namespace
}  // namespace qel::test
