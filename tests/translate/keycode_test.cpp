#include <gtest/gtest.h>

#include <string>

#include "translate/keycode.h"

namespace qel::test {
namespace {

TEST(KeyCodeToText, PrintsModifiersInFixedOrderThenNameOrCharacter) {
    struct Case {
        KeyCode Code;
        std::string Text;
    };
    const Case cases[] = {
        {0x0000, ""},  // unbound, although byte 0 has no name
        {0x0070, "F1"},
        {0x007B, "F12"},
        {0x007C, "|"},  // F13 has no name: its character
        {0x0141, "SHIFT+A"},
        {0x0630, "CTRL+ALT+0"},
        {0x0720, "SHIFT+CTRL+ALT+SPACE"},
        {0x0560, "SHIFT+ALT+NUMPAD0"},
        {0x0060, "NUMPAD0"},  // not the backquote character
        {0x006D, "DASH"},
        {0x00BA, std::string(1, '\xBA')},  // letter-less code: one raw character
        {0x0008, std::string(1, '\x08')},  // Backspace has no name
        {0x0100, "SHIFT+"},                // modifiers without a key: no NUL character
        {0x0700, "SHIFT+CTRL+ALT+"},
        {0x0871, "F2"},  // bits above Alt are not part of a binding
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.Code);
        EXPECT_EQ(KeyCodeToText(c.Code), c.Text);
    }
}

TEST(KeyCodeToText, AppendKeepsWhatTheLineAlreadyHolds) {
    std::string line = "Key=('";
    AppendKeyCodeText(line, 0x0272);
    EXPECT_EQ(line, "Key=('CTRL+F3");
}

}  // namespace
}  // namespace qel::test
