#include "platform/vk_mapping.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "translate/keycode.h"

namespace qel::test {
namespace {

std::string Hex(std::uint8_t virtualKey) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(virtualKey));
    return text;
}

bool IsLetterOrDigit(std::uint8_t vk) {
    return (vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A);
}

// Every code key text or the key capture dialog can produce.
std::vector<std::uint8_t> SendableCodes() {
    std::vector<std::uint8_t> codes;
    for (const KeyName& name : kKeyNames) codes.push_back(name.VirtualKey);
    for (int vk = 0x30; vk <= 0x39; ++vk) codes.push_back(static_cast<std::uint8_t>(vk));
    for (int vk = 0x41; vk <= 0x5A; ++vk) codes.push_back(static_cast<std::uint8_t>(vk));
    for (int vk = 0x70; vk <= 0x87; ++vk) codes.push_back(static_cast<std::uint8_t>(vk));  // F1-F24
    for (int vk = 0xBA; vk <= 0xC0; ++vk)
        codes.push_back(static_cast<std::uint8_t>(vk));  // US punctuation
    for (int vk = 0xDB; vk <= 0xDE; ++vk) codes.push_back(static_cast<std::uint8_t>(vk));
    for (int vk = 0xA0; vk <= 0xA5; ++vk)
        codes.push_back(static_cast<std::uint8_t>(vk));  // left/right modifiers
    for (const std::uint8_t vk :
         {0x08, 0x10, 0x11, 0x12, 0x13, 0x14, 0x2C, 0x5B, 0x5C, 0x5D, 0x90, 0x91, 0xE2}) {
        codes.push_back(vk);
    }
    return codes;
}

TEST(VkMapping, EveryCodeABindingCanHoldReachesAKey) {
    for (const std::uint8_t vk : SendableCodes()) {
        SCOPED_TRACE(Hex(vk));
        const VkKeyMapping* mapping = FindVkKeyMapping(vk);
        ASSERT_NE(mapping, nullptr);
        EXPECT_EQ(mapping->VirtualKey, vk);
        EXPECT_NE(mapping->EvdevCode, 0);
        EXPECT_NE(mapping->Keysym, 0u);
    }
}

TEST(VkMapping, CodesWithoutAKeyOnAKeyboardFindNothing) {
    for (const std::uint8_t vk : {0x00, 0x01, 0x07, 0x3A, 0x40, 0x88, 0xE5, 0xFF}) {
        SCOPED_TRACE(Hex(vk));
        EXPECT_EQ(FindVkKeyMapping(vk), nullptr);
    }
}

TEST(VkMapping, OnlyLettersAndDigitsFollowTheLayout) {
    for (const VkKeyMapping& mapping : VkKeyMappings()) {
        SCOPED_TRACE(Hex(mapping.VirtualKey));
        EXPECT_EQ(mapping.Placement == KeyPlacement::ByLayout, IsLetterOrDigit(mapping.VirtualKey));
    }
}

TEST(VkMapping, LeftAndGenericModifiersShareTheirKey) {
    // SendKey presses the generic codes; a binding captured from the left key must land
    // on the same key, or Shift held by one would not combine with the other.
    for (const auto& [generic, left] : {std::pair{0x10, 0xA0}, {0x11, 0xA2}, {0x12, 0xA4}}) {
        SCOPED_TRACE(Hex(static_cast<std::uint8_t>(generic)));
        EXPECT_EQ(FindVkKeyMapping(static_cast<std::uint8_t>(generic))->EvdevCode,
                  FindVkKeyMapping(static_cast<std::uint8_t>(left))->EvdevCode);
    }
}

struct ContextFree {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapFree {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StateFree {
    void operator()(xkb_state* state) const { xkb_state_unref(state); }
};
using Keymap = std::unique_ptr<xkb_keymap, KeymapFree>;

// The system's own US keymap; null without XKB data.
Keymap UsKeymap() {
    if (!std::filesystem::exists("/usr/share/X11/xkb")) return nullptr;
    std::unique_ptr<xkb_context, ContextFree> context(
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context) return nullptr;
    const xkb_rule_names us{"evdev", "pc105", "us", "", ""};
    return Keymap(xkb_keymap_new_from_names(context.get(), &us, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

// Checks the key code column against the keysym column through the system's own US
// keymap: a wrong key code almost never types the keysym written beside it.
TEST(VkMapping, EachKeyCodeTypesItsKeysymOnAUsKeyboard) {
    const Keymap keymap = UsKeymap();
    if (!keymap) GTEST_SKIP() << "no XKB data";

    // F13-F24 type launcher keysyms in XKB's default map, and no US key types
    // KP_Separator; their key codes are the keys' own.
    const std::set<std::uint8_t> notTypedOnUs = {0x6C, 0x7C, 0x7D, 0x7E, 0x7F, 0x80, 0x81,
                                                 0x82, 0x83, 0x84, 0x85, 0x86, 0x87};
    for (const VkKeyMapping& mapping : VkKeyMappings()) {
        if (notTypedOnUs.contains(mapping.VirtualKey)) continue;
        SCOPED_TRACE(Hex(mapping.VirtualKey));
        const xkb_keycode_t keycode = mapping.EvdevCode + 8;
        bool typed = false;
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap.get(), keycode, 0);
        for (xkb_level_index_t level = 0; level < levels && !typed; ++level) {
            const xkb_keysym_t* syms = nullptr;
            const int count =
                xkb_keymap_key_get_syms_by_level(keymap.get(), keycode, 0, level, &syms);
            for (int i = 0; i < count; ++i) typed = typed || syms[i] == mapping.Keysym;
        }
        EXPECT_TRUE(typed) << "key " << mapping.EvdevCode << " does not type keysym 0x" << std::hex
                           << mapping.Keysym;
    }
}

// The keypad level column against the system's own US keymap: each keypad key types its
// keysym only in the Num Lock state its level names, and Num Lock changes no other key.
TEST(VkMapping, KeypadKeysTypeTheirKeysymOnlyInTheNumLockStateOfTheirLevel) {
    const Keymap keymap = UsKeymap();
    if (!keymap) GTEST_SKIP() << "no XKB data";
    const xkb_mod_mask_t numLock = 1u << xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_NUM);
    std::unique_ptr<xkb_state, StateFree> state(xkb_state_new(keymap.get()));
    ASSERT_TRUE(state);
    const auto typed = [&](const VkKeyMapping& mapping, bool numLockOn) {
        xkb_state_update_mask(state.get(), 0, 0, numLockOn ? numLock : 0, 0, 0, 0);
        return xkb_state_key_get_one_sym(state.get(), mapping.EvdevCode + 8u);
    };

    int keypadKeys = 0;
    for (const VkKeyMapping& mapping : VkKeyMappings()) {
        SCOPED_TRACE(Hex(mapping.VirtualKey));
        if (mapping.Keypad == KeypadLevel::Fixed) {
            EXPECT_EQ(typed(mapping, true), typed(mapping, false))
                << "Num Lock changes what key " << mapping.EvdevCode << " types";
            continue;
        }
        ++keypadKeys;
        const bool numLockOn = mapping.Keypad == KeypadLevel::Number;
        EXPECT_EQ(typed(mapping, numLockOn), mapping.Keysym);
        EXPECT_NE(typed(mapping, !numLockOn), mapping.Keysym);
    }
    EXPECT_EQ(keypadKeys, 12) << "NUMPAD0-9, DECIMAL and CLEAR";
}

}  // namespace
}  // namespace qel::test
