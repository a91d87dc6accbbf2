#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/qtkeytranslation.h"

namespace qel::test {
namespace {

struct Translation {
    int QtKey;
    Qt::KeyboardModifiers Modifiers;
    std::uint8_t VirtualKey;
};

void ExpectTranslations(const std::vector<Translation>& table) {
    for (const Translation& t : table) {
        SCOPED_TRACE(testing::Message() << "Qt key 0x" << std::hex << t.QtKey << " modifiers 0x"
                                        << t.Modifiers.toInt());
        EXPECT_EQ(QtKeyToVirtualKey(t.QtKey, t.Modifiers), t.VirtualKey);
    }
}

TEST(QtKeyTranslation, LettersDigitsAndFunctionKeysKeepTheirCodes) {
    ExpectTranslations({
        {Qt::Key_A, Qt::NoModifier, 'A'},
        {Qt::Key_Z, Qt::ShiftModifier, 'Z'},
        {Qt::Key_0, Qt::NoModifier, '0'},
        {Qt::Key_9, Qt::ControlModifier, '9'},
        {Qt::Key_F1, Qt::NoModifier, 0x70},
        {Qt::Key_F12, Qt::NoModifier, 0x7B},
        {Qt::Key_F13, Qt::NoModifier, 0x7C},
        {Qt::Key_F24, Qt::NoModifier, 0x87},
    });
}

TEST(QtKeyTranslation, ShiftedCharactersNameTheKeyThatTypesThemOnAUsKeyboard) {
    ExpectTranslations({
        {Qt::Key_Exclam, Qt::ShiftModifier, '1'},     {Qt::Key_At, Qt::ShiftModifier, '2'},
        {Qt::Key_NumberSign, Qt::ShiftModifier, '3'}, {Qt::Key_Dollar, Qt::ShiftModifier, '4'},
        {Qt::Key_Percent, Qt::ShiftModifier, '5'},    {Qt::Key_AsciiCircum, Qt::ShiftModifier, '6'},
        {Qt::Key_Ampersand, Qt::ShiftModifier, '7'},  {Qt::Key_Asterisk, Qt::ShiftModifier, '8'},
        {Qt::Key_ParenLeft, Qt::ShiftModifier, '9'},  {Qt::Key_ParenRight, Qt::ShiftModifier, '0'},
        {Qt::Key_Semicolon, Qt::NoModifier, 0xBA},    {Qt::Key_Colon, Qt::ShiftModifier, 0xBA},
        {Qt::Key_Equal, Qt::NoModifier, 0xBB},        {Qt::Key_Plus, Qt::ShiftModifier, 0xBB},
        {Qt::Key_Comma, Qt::NoModifier, 0xBC},        {Qt::Key_Less, Qt::ShiftModifier, 0xBC},
        {Qt::Key_Minus, Qt::NoModifier, 0xBD},        {Qt::Key_Underscore, Qt::ShiftModifier, 0xBD},
        {Qt::Key_Period, Qt::NoModifier, 0xBE},       {Qt::Key_Greater, Qt::ShiftModifier, 0xBE},
        {Qt::Key_Slash, Qt::NoModifier, 0xBF},        {Qt::Key_Question, Qt::ShiftModifier, 0xBF},
        {Qt::Key_QuoteLeft, Qt::NoModifier, 0xC0},    {Qt::Key_AsciiTilde, Qt::ShiftModifier, 0xC0},
        {Qt::Key_BracketLeft, Qt::NoModifier, 0xDB},  {Qt::Key_BraceLeft, Qt::ShiftModifier, 0xDB},
        {Qt::Key_Backslash, Qt::NoModifier, 0xDC},    {Qt::Key_Bar, Qt::ShiftModifier, 0xDC},
        {Qt::Key_BracketRight, Qt::NoModifier, 0xDD}, {Qt::Key_BraceRight, Qt::ShiftModifier, 0xDD},
        {Qt::Key_Apostrophe, Qt::NoModifier, 0xDE},   {Qt::Key_QuoteDbl, Qt::ShiftModifier, 0xDE},
    });
}

TEST(QtKeyTranslation, KeypadDigitsAndOperatorsGetTheNumpadCodes) {
    ExpectTranslations({
        {Qt::Key_0, Qt::KeypadModifier, 0x60},
        {Qt::Key_5, Qt::KeypadModifier, 0x65},
        {Qt::Key_9, Qt::KeypadModifier | Qt::ShiftModifier, 0x69},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 0x6A},
        {Qt::Key_Plus, Qt::KeypadModifier, 0x6B},
        {Qt::Key_Comma, Qt::KeypadModifier, 0x6C},
        {Qt::Key_Minus, Qt::KeypadModifier, 0x6D},
        {Qt::Key_Period, Qt::KeypadModifier, 0x6E},
        {Qt::Key_Slash, Qt::KeypadModifier, 0x6F},
        // Num Lock off: the keypad's navigation keys are the main block's.
        {Qt::Key_Home, Qt::KeypadModifier, 0x24},
        {Qt::Key_Insert, Qt::KeypadModifier, 0x2D},
        {Qt::Key_Clear, Qt::KeypadModifier, 0x0C},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D},
    });
}

TEST(QtKeyTranslation, NamedKeys) {
    ExpectTranslations({
        {Qt::Key_Backspace, Qt::NoModifier, 0x08},  {Qt::Key_Tab, Qt::NoModifier, 0x09},
        {Qt::Key_Backtab, Qt::ShiftModifier, 0x09}, {Qt::Key_Return, Qt::NoModifier, 0x0D},
        {Qt::Key_Pause, Qt::NoModifier, 0x13},      {Qt::Key_Escape, Qt::NoModifier, 0x1B},
        {Qt::Key_Space, Qt::NoModifier, 0x20},      {Qt::Key_PageUp, Qt::NoModifier, 0x21},
        {Qt::Key_PageDown, Qt::NoModifier, 0x22},   {Qt::Key_End, Qt::NoModifier, 0x23},
        {Qt::Key_Home, Qt::NoModifier, 0x24},       {Qt::Key_Left, Qt::NoModifier, 0x25},
        {Qt::Key_Up, Qt::NoModifier, 0x26},         {Qt::Key_Right, Qt::NoModifier, 0x27},
        {Qt::Key_Down, Qt::NoModifier, 0x28},       {Qt::Key_Print, Qt::NoModifier, 0x2C},
        {Qt::Key_SysReq, Qt::AltModifier, 0x2C},    {Qt::Key_Insert, Qt::NoModifier, 0x2D},
        {Qt::Key_Delete, Qt::NoModifier, 0x2E},     {Qt::Key_Menu, Qt::NoModifier, 0x5D},
        {Qt::Key_Shift, Qt::ShiftModifier, 0x10},   {Qt::Key_Control, Qt::ControlModifier, 0x11},
        {Qt::Key_Alt, Qt::AltModifier, 0x12},       {Qt::Key_CapsLock, Qt::NoModifier, 0x14},
        {Qt::Key_NumLock, Qt::NoModifier, 0x90},    {Qt::Key_ScrollLock, Qt::NoModifier, 0x91},
    });
}

TEST(QtKeyTranslation, KeysWithoutAVirtualKeyGiveZero) {
    ExpectTranslations({
        {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_Adiaeresis, Qt::NoModifier, 0},
        {Qt::Key_Eacute, Qt::ShiftModifier, 0},
        {Qt::Key_F25, Qt::NoModifier, 0},
        {0, Qt::NoModifier, 0},
        {-1, Qt::KeypadModifier, 0},
    });
}

TEST(QtKeyTranslation, ModifierStateTakesShiftCtrlAltOnly) {
    struct Case {
        Qt::KeyboardModifiers Modifiers;
        bool Shift, Ctrl, Alt;
    };
    for (const Case& c : std::vector<Case>{
             {Qt::NoModifier, false, false, false},
             {Qt::ShiftModifier, true, false, false},
             {Qt::ControlModifier | Qt::AltModifier, false, true, true},
             {Qt::MetaModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier, false, false, false},
             {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, true, true, true}}) {
        SCOPED_TRACE(c.Modifiers.toInt());
        const ModifierState state = QtModifiersToState(c.Modifiers);
        EXPECT_EQ(state.Shift, c.Shift);
        EXPECT_EQ(state.Ctrl, c.Ctrl);
        EXPECT_EQ(state.Alt, c.Alt);
    }
}

}  // namespace
}  // namespace qel::test
