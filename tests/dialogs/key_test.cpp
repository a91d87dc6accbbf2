#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialog_fixture.h"

namespace qel::test {
namespace {

// The capture dialog shown for bezel unit 0's softkey_3 (slot 15) by its "Change" button.
class KeyCapture : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        IniForm->show();
    }

    // Clicks softkey_3's "Change" and does what the user does while the capture is up.
    void Change(const std::function<void()>& whileShown) {
        ModalScript script([&] {
            EXPECT_TRUE(KeyForm->isVisible());
            whileShown();
        });
        IniForm->Bezel().ChangeButtons[kSoftkey3]->click();
        EXPECT_FALSE(script.TimedOut());
        EXPECT_FALSE(KeyForm->isVisible());
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
    Change([this] {
        EXPECT_EQ(KeyForm->DescriptionLbl()->text().toStdString(), "Press a key for 'SOFTKEY_3'");
        EXPECT_EQ(KeyForm->windowTitle().toStdString(), "QEL1000 Key");
        EXPECT_EQ(KeyForm->ResetBtn()->focusPolicy(), Qt::NoFocus);
        Press(Qt::Key_A);
    });
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
        Change([&] { Press(c.Key, c.Modifiers); });
        EXPECT_EQ(Units().BezelUnits[0].Buttons[kSoftkey3].Key, c.Code);
        EXPECT_EQ(Softkey3Line(), c.Line);
        // The row shows the new key text at once.
        EXPECT_EQ(IniForm->Bezel().KeyLabels[kSoftkey3]->text().toStdString(),
                  std::string(c.Line).substr(std::string("softkey_3=").size()));
    }
}

TEST_F(KeyCapture, ModifiersAndLockKeysAloneStoreNothingAndKeepWaiting) {
    struct Case {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
    };
    const std::vector<Case> cases{{Qt::Key_Shift, Qt::ShiftModifier},
                                  {Qt::Key_Control, Qt::ControlModifier},
                                  {Qt::Key_Alt, Qt::AltModifier},
                                  {Qt::Key_CapsLock, Qt::NoModifier},
                                  {Qt::Key_NumLock, Qt::NoModifier},
                                  {Qt::Key_ScrollLock, Qt::NoModifier},
                                  {Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier}};
    Change([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Key);
            Press(c.Key, c.Modifiers);
            EXPECT_TRUE(KeyForm->isVisible());
        }
        EXPECT_EQ(Files.WriteCount, 0U);
        EXPECT_EQ(Units().BezelUnits[0].Buttons[kSoftkey3].Key, 0);
        Press(Qt::Key_B, Qt::ShiftModifier);
    });
    EXPECT_EQ(Softkey3Line(), "softkey_3=SHIFT+B");
}

TEST_F(KeyCapture, KeysSentToTheResetButtonAreCapturedNotClicked) {
    Change([this] { QTest::keyClick(KeyForm->ResetBtn(), Qt::Key_Space); });
    EXPECT_EQ(Softkey3Line(), "softkey_3=SPACE");
}

TEST_F(KeyCapture, ResetUnbindsAndKeepsTheKeyWithAnEmptyValue) {
    Change([this] { Press(Qt::Key_F3); });
    ASSERT_EQ(Softkey3Line(), "softkey_3=F3");

    Change([this] { QTest::mouseClick(KeyForm->ResetBtn(), Qt::LeftButton); });
    EXPECT_EQ(Units().BezelUnits[0].Buttons[kSoftkey3].Key, 0);
    EXPECT_EQ(Softkey3Line(), "softkey_3=");
    EXPECT_EQ(IniForm->Bezel().KeyLabels[kSoftkey3]->text().toStdString(), "");
}

TEST_F(KeyCapture, CaptureAnswersTheKeyZeroForResetAndNothingWhenClosed) {
    const auto capture = [this](const std::function<void()>& action) {
        ModalScript script(action);
        const std::optional<KeyCode> code = KeyForm->Capture(QStringLiteral("NAV_IN_INCR"));
        EXPECT_FALSE(script.TimedOut());
        return code;
    };
    EXPECT_EQ(capture([this] {
                  EXPECT_EQ(KeyForm->DescriptionLbl()->text().toStdString(),
                            "Press a key for 'NAV_IN_INCR'");
                  Press(Qt::Key_F2, Qt::AltModifier);
              }),
              std::optional<KeyCode>(0x471));
    EXPECT_EQ(capture([this] { QTest::mouseClick(KeyForm->ResetBtn(), Qt::LeftButton); }),
              std::optional<KeyCode>(0));
    EXPECT_EQ(capture([this] { KeyForm->close(); }), std::nullopt);
    EXPECT_EQ(Files.WriteCount, 0U) << "the capture itself stores nothing";
}

TEST_F(KeyCapture, TitleBarCloseChangesNothing) {
    Change([this] { Press(Qt::Key_F3); });
    const std::string before = FileText();
    const auto writes = Files.WriteCount;

    Change([this] { KeyForm->close(); });  // what the title bar's close button does
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(Files.WriteCount, writes);
    EXPECT_EQ(Units().BezelUnits[0].Buttons[kSoftkey3].Key, 0x72);
    EXPECT_EQ(IniForm->Bezel().KeyLabels[kSoftkey3]->text().toStdString(), "F3");
}

}  // namespace
}  // namespace qel::test
