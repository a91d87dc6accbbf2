#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/evdev_key_table.h"
#include "platform/xkb_layout_setting.h"
#include "platform/xkb_unshifted_keys.h"

namespace qel::test {
namespace {

TEST(ParseKeyboardDefaults, TakesTheFirstLayoutOfTheFileInItsUsualForms) {
    struct Case {
        const char* Text;
        XkbLayoutName Expected;
    };
    const Case cases[] = {
        {"XKBMODEL=\"pc105\"\nXKBLAYOUT=\"de\"\nXKBVARIANT=\"\"\n", {"de", ""}},
        {"XKBLAYOUT=fr\nXKBVARIANT=oss\n", {"fr", "oss"}},
        {"XKBLAYOUT=\"de,us\"\nXKBVARIANT=\"nodeadkeys,\"\n", {"de", "nodeadkeys"}},
        {"XKBLAYOUT=\"us,de\"\nXKBVARIANT=\",nodeadkeys\"\n", {"us", ""}},
        {"# XKBLAYOUT=\"ru\"\n  XKBLAYOUT = 'gb' \r\n", {"gb", ""}},
        {"export XKBLAYOUT=\"ch\"\n", {"ch", ""}},
        {"XKBMODEL=pc105\nBACKSPACE=guess\n", {"", ""}},
        {"XKBLAYOUT=\"", {"\"", ""}},
        {"", {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ParseKeyboardDefaults(c.Text), c.Expected);
    }
}

TEST(ConfiguredXkbLayout, EnvironmentOverridesTheSystemSetting) {
    setenv("XKB_DEFAULT_LAYOUT", "de,us", 1);
    setenv("XKB_DEFAULT_VARIANT", "nodeadkeys", 1);
    const XkbLayoutName name = ConfiguredXkbLayout();
    unsetenv("XKB_DEFAULT_LAYOUT");
    unsetenv("XKB_DEFAULT_VARIANT");
    EXPECT_EQ(name, (XkbLayoutName{"de", "nodeadkeys"}));
}

class XkbLayoutKeys : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/X11/xkb")) GTEST_SKIP() << "no XKB data";
    }
};

TEST_F(XkbLayoutKeys, LettersAreFoundOnTheKeyThatTypesThemInEachLayout) {
    struct Case {
        const char* Layout;
        char Letter;
        std::uint16_t Key;
    };
    const Case cases[] = {
        {"us", 'z', KEY_Z}, {"us", 'y', KEY_Y}, {"us", '1', KEY_1}, {"de", 'z', KEY_Y},
        {"de", 'y', KEY_Z}, {"de", '1', KEY_1}, {"fr", 'a', KEY_Q}, {"fr", 'm', KEY_SEMICOLON},
        {"", 'z', KEY_Z},  // no configured layout means US
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Layout) + " " + c.Letter);
        const auto keys = XkbUnshiftedKeys({c.Layout, ""});
        ASSERT_TRUE(keys.has_value());
        const auto found = keys->find(static_cast<std::uint32_t>(c.Letter));
        ASSERT_NE(found, keys->end());
        EXPECT_EQ(found->second, c.Key);
    }
}

TEST_F(XkbLayoutKeys, DigitsTypedOnlyWithShiftAreNotClaimed) {
    // On AZERTY the top row types digits with Shift only; those keys must not count
    // as typing the digit, so the table keeps the digit keys' US positions.
    const auto keys = XkbUnshiftedKeys({"fr", ""});
    ASSERT_TRUE(keys.has_value());
    EXPECT_FALSE(keys->contains('1'));
    EXPECT_EQ(BuildEvdevKeyTable(*keys)[0x31], KEY_1);
}

TEST_F(XkbLayoutKeys, UnknownLayoutGivesNothing) {
    EXPECT_FALSE(XkbUnshiftedKeys({"no-such-layout", ""}).has_value());
    EXPECT_FALSE(XkbUnshiftedKeys({"de", "no-such-variant"}).has_value());
}

TEST_F(XkbLayoutKeys, GermanTableMovesLettersButKeepsNamedAndPunctuationKeys) {
    const auto keys = XkbUnshiftedKeys({"de", ""});
    ASSERT_TRUE(keys.has_value());
    const EvdevKeyTable table = BuildEvdevKeyTable(*keys);
    struct Case {
        std::uint8_t VirtualKey;
        std::uint16_t Key;
    };
    const Case cases[] = {
        {0x5A, KEY_Y},         {0x59, KEY_Z},          {0x41, KEY_A},     {0x30, KEY_0},
        {0xBA, KEY_SEMICOLON}, {0xDE, KEY_APOSTROPHE}, {0xE2, KEY_102ND}, {0x70, KEY_F1},
        {0x65, KEY_KP5},       {0x10, KEY_LEFTSHIFT},  {0x00, 0},         {0xFF, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.VirtualKey));
        EXPECT_EQ(table[c.VirtualKey], c.Key);
    }
}

TEST_F(XkbLayoutKeys, VirtualKeyboardHasExactlyTheKeysTheTableSends) {
    const auto keys = XkbUnshiftedKeys({"de", ""});
    ASSERT_TRUE(keys.has_value());
    const EvdevKeyTable table = BuildEvdevKeyTable(*keys);
    const std::vector<std::uint16_t> enabled = KeysInTable(table);

    EXPECT_TRUE(std::is_sorted(enabled.begin(), enabled.end()));
    EXPECT_EQ(std::adjacent_find(enabled.begin(), enabled.end()), enabled.end()) << "duplicate key";
    EXPECT_EQ(std::count(enabled.begin(), enabled.end(), 0), 0);
    for (const std::uint16_t code : table) {
        if (code == 0) continue;
        SCOPED_TRACE(code);
        EXPECT_TRUE(std::binary_search(enabled.begin(), enabled.end(), code));
    }
}

}  // namespace
}  // namespace qel::test
