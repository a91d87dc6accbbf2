#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/keycapture.h"
#include "translate/keycode.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

TEST(KeyCapture, MainKeyTakesTheModifierBitsHeld) {
    struct Case {
        std::uint8_t VirtualKey;
        ModifierState Modifiers;
        KeyCode Code;
        const char* Text;
    };
    for (const Case& c :
         std::vector<Case>{{0x70, {true, true, false}, 0x370, "SHIFT+CTRL+F1"},
                           {0x1B, {}, 0x1B, "ESC"},
                           {'A', {false, false, true}, 0x441, "ALT+A"},
                           {0x66, {true, true, true}, 0x766, "SHIFT+CTRL+ALT+NUMPAD6"},
                           {0x5B, {}, 0x5B, "VK_5B"},  // the Windows key is a main key
                           {0xFF, {}, 0xFF, "VK_FF"}}) {
        SCOPED_TRACE(c.Text);
        const KeyCode code = CaptureKeyCode(c.VirtualKey, c.Modifiers);
        EXPECT_EQ(code, c.Code);
        EXPECT_EQ(KeyCodeToText(code, UsEnglishLayout()), c.Text);
    }
}

TEST(KeyCapture, ModifiersAndLockKeysAloneCaptureNothingWhateverIsHeld) {
    for (const std::uint8_t key :
         {0x00, 0x10, 0x11, 0x12, 0x14, 0x90, 0x91, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}) {
        SCOPED_TRACE(static_cast<int>(key));
        EXPECT_FALSE(IsMainKey(key));
        for (const ModifierState held : {ModifierState{}, ModifierState{true, true, true},
                                         ModifierState{false, true, false}}) {
            EXPECT_EQ(CaptureKeyCode(key, held), 0);
        }
    }
}

TEST(KeyCapture, NeighboursOfTheLockKeysAreMainKeys) {
    for (const std::uint8_t key : {0x13, 0x15, 0x0F, 0x8F, 0x92, 0x9F, 0xA6}) {
        SCOPED_TRACE(static_cast<int>(key));
        EXPECT_TRUE(IsMainKey(key));
    }
}

}  // namespace
}  // namespace qel::test
