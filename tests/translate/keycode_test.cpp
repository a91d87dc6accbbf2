#include <gtest/gtest.h>

#include <string>

#include "translate/keycode.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

const UsEnglishLayout kUs;

TEST(KeyCodeToText, PrintsModifiersInFixedOrderThenNameOrCharacter) {
    struct Case {
        KeyCode Code;
        std::string Text;
    };
    const Case cases[] = {
        {0x0000, ""},  // unbound, although byte 0 has no name
        {0x0070, "F1"},
        {0x007B, "F12"},
        {0x007C, "F13"},  // no name, and no character on the layout
        {0x0087, "F24"},
        {0x0141, "SHIFT+A"},
        {0x0630, "CTRL+ALT+0"},
        {0x0720, "SHIFT+CTRL+ALT+SPACE"},
        {0x0560, "SHIFT+ALT+NUMPAD0"},
        {0x0060, "NUMPAD0"},  // not the backquote character
        {0x006D, "DASH"},
        {0x00BA, ";"},      // the character the key types, not the character of its code
        {0x002C, "VK_2C"},  // Print Screen: ',' would read back as the comma key
        {0x0013, "VK_13"},
        {0x0008, "VK_08"},  // Backspace has no name
        {0x00FF, "VK_FF"},
        {0x0100, "SHIFT+"},  // modifiers without a key: no NUL character
        {0x0700, "SHIFT+CTRL+ALT+"},
        {0x0871, "F2"},  // bits above Alt are not part of a binding
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.Code);
        EXPECT_EQ(KeyCodeToText(c.Code, kUs), c.Text);
    }
}

TEST(KeyCodeToText, AppendKeepsWhatTheLineAlreadyHolds) {
    std::string line = "Key=('";
    AppendKeyCodeText(line, 0x0272, kUs);
    EXPECT_EQ(line, "Key=('CTRL+F3");
}

}  // namespace
}  // namespace qel::test
