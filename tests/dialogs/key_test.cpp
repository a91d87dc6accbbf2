#include <string>
#include <vector>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/dialog_fixture.h"

namespace qel::test {
namespace {

// The capture dialog shown for bezel unit 0's softkey_3 (slot 15), as "Change" shows it.
class KeyCapture : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        IniForm->show();
        KeyForm->Description = QStringLiteral("Press a key for 'SOFTKEY_3'");
        KeyForm->BindingSlot = kSoftkey3;
        KeyForm->show();
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(KeyForm.get(), key, modifiers);
    }

    [[nodiscard]] std::string Softkey3Line() {
        const std::string text = FileText();
        const auto start = text.find("softkey_3=");
        if (start == std::string::npos) return "(none)";
        return text.substr(start, text.find_first_of("\r\n", start) - start);
    }

    static constexpr int kSoftkey3 = 15;
};

TEST_F(KeyCapture, ShowingPutsTheDescriptionUp) {
    EXPECT_EQ(KeyForm->DescriptionLbl->text().toStdString(), "Press a key for 'SOFTKEY_3'");
    EXPECT_EQ(KeyForm->windowTitle().toStdString(), "QEL1000 Key");
    EXPECT_EQ(KeyForm->ResetBtn->focusPolicy(), Qt::NoFocus);
}

TEST_F(KeyCapture, FirstMainKeyIsBoundWithItsModifiersAndCloses) {
    struct Case {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        KeyCode Code;
        const char* Line;
    };
    // Escape, Enter, Tab and Space are keys like any other here: none cancels or navigates.
    const std::vector<Case> cases{
        {Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier, 0x370, "softkey_3=SHIFT+CTRL+F1"},
        {Qt::Key_Escape, Qt::NoModifier, 0x1B, "softkey_3=ESC"},
        {Qt::Key_Return, Qt::NoModifier, 0x0D, "softkey_3=ENTER"},
        {Qt::Key_Enter, Qt::KeypadModifier, 0x0D, "softkey_3=ENTER"},
        {Qt::Key_Tab, Qt::NoModifier, 0x09, "softkey_3=TAB"},
        {Qt::Key_Backtab, Qt::ShiftModifier, 0x109, "softkey_3=SHIFT+TAB"},
        {Qt::Key_Space, Qt::NoModifier, 0x20, "softkey_3=SPACE"},
        {Qt::Key_6, Qt::KeypadModifier | Qt::AltModifier, 0x466, "softkey_3=ALT+NUMPAD6"},
        {Qt::Key_Exclam, Qt::ShiftModifier, 0x131, "softkey_3=SHIFT+1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        KeyForm->show();
        Press(c.Key, c.Modifiers);
        EXPECT_FALSE(KeyForm->isVisible());
        EXPECT_EQ(Units.BezelUnits[0].Buttons[kSoftkey3].Key, c.Code);
        EXPECT_EQ(Softkey3Line(), c.Line);
        // The row shows the new key text at once.
        EXPECT_EQ(IniForm->Bezel.KeyLabels[kSoftkey3]->text().toStdString(),
                  std::string(c.Line).substr(std::string("softkey_3=").size()));
    }
}

TEST_F(KeyCapture, ModifiersAndLockKeysAloneStoreNothingAndKeepWaiting) {
    struct Case {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
    };
    for (const Case& c :
         std::vector<Case>{{Qt::Key_Shift, Qt::ShiftModifier},
                           {Qt::Key_Control, Qt::ControlModifier},
                           {Qt::Key_Alt, Qt::AltModifier},
                           {Qt::Key_CapsLock, Qt::NoModifier},
                           {Qt::Key_NumLock, Qt::NoModifier},
                           {Qt::Key_ScrollLock, Qt::NoModifier},
                           {Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier}}) {
        SCOPED_TRACE(c.Key);
        Press(c.Key, c.Modifiers);
        EXPECT_TRUE(KeyForm->isVisible());
    }
    EXPECT_EQ(Files.WriteCount, 0U);
    EXPECT_EQ(Units.BezelUnits[0].Buttons[kSoftkey3].Key, 0);

    Press(Qt::Key_B, Qt::ShiftModifier);
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_EQ(Softkey3Line(), "softkey_3=SHIFT+B");
}

TEST_F(KeyCapture, KeysSentToTheResetButtonAreCapturedNotClicked) {
    QTest::keyClick(KeyForm->ResetBtn, Qt::Key_Space);
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_EQ(Softkey3Line(), "softkey_3=SPACE");
}

TEST_F(KeyCapture, ResetUnbindsAndKeepsTheKeyWithAnEmptyValue) {
    Press(Qt::Key_F3);
    ASSERT_EQ(Softkey3Line(), "softkey_3=F3");

    KeyForm->show();
    QTest::mouseClick(KeyForm->ResetBtn, Qt::LeftButton);
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_EQ(Units.BezelUnits[0].Buttons[kSoftkey3].Key, 0);
    EXPECT_EQ(Softkey3Line(), "softkey_3=");
    EXPECT_EQ(IniForm->Bezel.KeyLabels[kSoftkey3]->text().toStdString(), "");
}

TEST_F(KeyCapture, TitleBarCloseChangesNothing) {
    Press(Qt::Key_F3);
    const std::string before = FileText();
    const auto writes = Files.WriteCount;

    KeyForm->show();
    KeyForm->close();  // what the title bar's close button does
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(Files.WriteCount, writes);
    EXPECT_EQ(Units.BezelUnits[0].Buttons[kSoftkey3].Key, 0x72);
    EXPECT_EQ(IniForm->Bezel.KeyLabels[kSoftkey3]->text().toStdString(), "F3");
}

}  // namespace
}  // namespace qel::test
