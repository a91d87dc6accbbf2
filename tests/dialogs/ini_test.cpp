#include <string>
#include <vector>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include "dialogs/bevel.h"
#include "dialog_fixture.h"
#include "keymap/bindingslot.h"

namespace qel::test {
namespace {

using KeySettings = DialogFixture;

constexpr int kRowPitch = 25;

struct RowExpectation {
    int Slot;
    int Position;
    const char* Name;
};

template <typename Rows>
void ExpectRowAt(const Rows& rows, const RowExpectation& row) {
    SCOPED_TRACE(row.Name);
    const auto slot = static_cast<std::size_t>(row.Slot);
    ASSERT_NE(rows.NameLabels[slot], nullptr);
    EXPECT_EQ(rows.NameLabels[slot]->text().toStdString(), row.Name);
    const int top = kRowPitch * row.Position;
    EXPECT_EQ(rows.NameLabels[slot]->pos(), QPoint(10, top + 5));
    EXPECT_EQ(rows.KeyLabels[slot]->pos(), QPoint(240, top + 5));
    EXPECT_EQ(rows.RowBevels[slot]->geometry(), QRect(1, top + 1, 540, 25));
    EXPECT_EQ(rows.ChangeButtons[slot]->geometry(), QRect(405, top + 1, 50, 22));
    // The tag is the binding slot, not the display position.
    EXPECT_EQ(rows.ChangeButtons[slot]->property("tag").toInt(), row.Slot);
}

TEST_F(KeySettings, OpeningShowsBezelUnitZeroWithEveryRowInSlotOrder) {
    IniForm->show();
    EXPECT_EQ(IniForm->DeviceCB()->currentText().toStdString(), "QEL 1000 - 0");
    const std::vector<std::string> units{"QEL 1000 - 0", "QEL 1000 - 1",  "QEL 1000 - 2",
                                         "QEL 1000 - 3", "QEL Audio - 0", "QEL Audio - 1"};
    ASSERT_EQ(IniForm->DeviceCB()->count(), static_cast<int>(units.size()));
    for (int i = 0; i < IniForm->DeviceCB()->count(); ++i) {
        EXPECT_EQ(IniForm->DeviceCB()->itemText(i).toStdString(), units[i]) << "item " << i;
    }
    EXPECT_EQ(IniForm->SelectedUnit, BezelUnit(0));
    ASSERT_NE(IniForm->Bezel().Box, nullptr);
    EXPECT_TRUE(IniForm->Bezel().Box->isVisible());
    EXPECT_FALSE(IniForm->Audio().Box->isVisible());
    EXPECT_FALSE(IniForm->DefaultSB()->isVisible());

    for (const RowExpectation& row : std::vector<RowExpectation>{{0, 0, "AFCS_IAS"},
                                                                 {15, 15, "SOFTKEY_3"},
                                                                 {39, 39, "IDVOL_PUSH"},
                                                                 {40, 40, "NAV_IN_DECR"},
                                                                 {41, 41, "NAV_IN_INCR"},
                                                                 {67, 67, "RANGE_INCR"},
                                                                 {68, 68, "RANGE_PAN_N"},
                                                                 {75, 75, "RANGE_PAN_NW"},
                                                                 {76, 76, "RANGE_PUSH"}}) {
        ExpectRowAt(IniForm->Bezel(), row);
    }
    for (int slot = 0; slot < kBezelSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const auto index = static_cast<std::size_t>(slot);
        ASSERT_NE(IniForm->Bezel().NameLabels[index], nullptr);
        EXPECT_EQ(IniForm->Bezel().NameLabels[index]->y(), kRowPitch * slot + 5);
        EXPECT_TRUE(IniForm->Bezel().ChangeButtons[index]->isVisibleTo(IniForm.get()));
    }
    // Every row can be scrolled to.
    EXPECT_GE(IniForm->Bezel().Content->height(), kRowPitch * kBezelSlotCount);
}

TEST_F(KeySettings, AudioUnitSkipsUnnamedPositionsButTagsRowsWithTheirSlot) {
    IniForm->show();
    ChooseUnit(AudioUnit(0));
    EXPECT_EQ(IniForm->SelectedUnit, AudioUnit(0));
    EXPECT_TRUE(IniForm->Audio().Box->isVisible());
    EXPECT_FALSE(IniForm->Bezel().Box->isVisible());

    for (const RowExpectation& row : std::vector<RowExpectation>{
             {0, 0, "COM1_MIC"}, {8, 6, "DME"}, {32, 23, "COPLT_DECR"}, {35, 26, "PILOT_INCR"}}) {
        ExpectRowAt(IniForm->Audio(), row);
    }
    EXPECT_EQ(IniForm->Audio().NameLabels[8]->y(), 155);
    EXPECT_EQ(IniForm->Audio().NameLabels[32]->y(), 580);
    EXPECT_EQ(IniForm->Audio().ChangeButtons[32]->y(), 576);

    int rows = 0;
    for (int slot = 0; slot < kAudioSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const bool unnamed = slot == 6 || slot == 7 || slot == 14 || slot == 15 || slot == 22 ||
                             slot == 23 || (slot >= 29 && slot <= 31);
        const auto index = static_cast<std::size_t>(slot);
        EXPECT_EQ(IniForm->Audio().NameLabels[index] == nullptr, unnamed);
        EXPECT_EQ(IniForm->Audio().ChangeButtons[index] == nullptr, unnamed);
        rows += unnamed ? 0 : 1;
    }
    EXPECT_EQ(rows, 27);
}

TEST_F(KeySettings, SwitchingUnitsReusesTheRowsAndRewritesOnlyKeyTexts) {
    ASSERT_TRUE(Core->BindSlot(BezelUnit(0), 15, 0x72).Ok());              // bezel 0 softkey_3: F3
    ASSERT_TRUE(Core->BindSlot(BezelUnit(1), 15, kShiftBit | 0x70).Ok());  // bezel 1: SHIFT+F1
    ASSERT_TRUE(Core->BindSlot(AudioUnit(0), 8, 'D').Ok());                // audio 0 DME: D
    IniForm->show();

    const auto bezelRows = IniForm->Bezel();
    struct Step {
        int DeviceIndex;
        const char* Softkey3Text;  // bezel row 15
    };
    for (const Step& step : {Step{0, "F3"}, Step{1, "SHIFT+F1"}, Step{2, ""}, Step{0, "F3"}}) {
        SCOPED_TRACE(step.DeviceIndex);
        ChooseUnit(DeviceUnit(step.DeviceIndex));
        EXPECT_EQ(IniForm->Bezel().NameLabels, bezelRows.NameLabels);
        EXPECT_EQ(IniForm->Bezel().KeyLabels, bezelRows.KeyLabels);
        EXPECT_EQ(IniForm->Bezel().RowBevels, bezelRows.RowBevels);
        EXPECT_EQ(IniForm->Bezel().ChangeButtons, bezelRows.ChangeButtons);
        EXPECT_EQ(IniForm->Bezel().KeyLabels[15]->text().toStdString(), step.Softkey3Text);
        // An unbound control shows no key text.
        EXPECT_EQ(IniForm->Bezel().KeyLabels[16]->text().toStdString(), "");
        EXPECT_EQ(IniForm->Bezel().NameLabels[15]->text().toStdString(), "SOFTKEY_3");
    }

    ChooseUnit(AudioUnit(0));
    EXPECT_EQ(IniForm->Audio().KeyLabels[8]->text().toStdString(), "D");
    const auto audioRows = IniForm->Audio();
    ChooseUnit(AudioUnit(1));
    EXPECT_EQ(IniForm->Audio().NameLabels, audioRows.NameLabels);
    EXPECT_EQ(IniForm->Audio().KeyLabels[8]->text().toStdString(), "");

    // Back to a bezel unit: the audio rows go, the bezel rows show that unit's keys.
    ChooseUnit(BezelUnit(1));
    EXPECT_FALSE(IniForm->Audio().Box->isVisible());
    EXPECT_TRUE(IniForm->Bezel().Box->isVisible());
    EXPECT_EQ(IniForm->Bezel().KeyLabels[15]->text().toStdString(), "SHIFT+F1");
}

TEST_F(KeySettings, ChangeOpensTheCaptureForTheRowAndStoresTheKeyForTheUnit) {
    IniForm->show();
    ModalScript script([this] {
        EXPECT_TRUE(KeyForm->isVisible());
        EXPECT_EQ(KeyForm->DescriptionLbl()->text().toStdString(), "Press a key for 'SOFTKEY_3'");
        QTest::keyClick(KeyForm.get(), Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier);
    });
    IniForm->Bezel().ChangeButtons[15]->click();
    EXPECT_FALSE(script.TimedOut());
    EXPECT_FALSE(KeyForm->isVisible());
    EXPECT_EQ(Units().BezelUnits[0].Buttons[15].Key, 0x370);
    EXPECT_NE(FileText().find("softkey_3=SHIFT+CTRL+F1"), std::string::npos) << FileText();
    EXPECT_EQ(IniForm->Bezel().KeyLabels[15]->text().toStdString(), "SHIFT+CTRL+F1");
}

TEST_F(KeySettings, CaptureForAnotherUnitStoresThereAndTheDialogShowsUnitZeroAgain) {
    struct Case {
        int DeviceIndex;
        int Slot;
        const char* Section;
        const char* Line;
    };
    for (const Case& c : {Case{2, 41, "[qel_1000_2]", "nav_in_incr=A"},
                          Case{5, 35, "[qel_audio_1]", "pilot_incr=A"}}) {
        SCOPED_TRACE(c.Line);
        IniForm->show();
        ChooseUnit(DeviceUnit(c.DeviceIndex));
        const bool audio = c.DeviceIndex >= 4;
        QPushButton* change =
            audio ? IniForm->Audio().ChangeButtons[static_cast<std::size_t>(c.Slot)]
                  : IniForm->Bezel().ChangeButtons[static_cast<std::size_t>(c.Slot)];
        ModalScript script([this] { QTest::keyClick(KeyForm.get(), Qt::Key_A); });
        change->click();
        EXPECT_FALSE(script.TimedOut());
        // The settings dialog becomes the active form again when the capture closes.
        EXPECT_TRUE(QTest::qWaitFor([this] { return IniForm->DeviceCB()->currentIndex() == 0; }));

        const std::string text = FileText();
        const auto section = text.find(c.Section);
        ASSERT_NE(section, std::string::npos) << text;
        EXPECT_NE(text.find(c.Line, section), std::string::npos) << text;
        const KeyCode* stored = BindingField(Units(), DeviceUnit(c.DeviceIndex), c.Slot);
        EXPECT_EQ(*stored, 'A');
        EXPECT_EQ(IniForm->DeviceCB()->currentIndex(), 0);
        EXPECT_EQ(IniForm->SelectedUnit, BezelUnit(0));
        EXPECT_TRUE(IniForm->Bezel().Box->isVisible());
        if (!audio) {
            EXPECT_EQ(IniForm->Bezel().KeyLabels[static_cast<std::size_t>(c.Slot)]->text(), "");
        }
        IniForm->hide();
    }
}

TEST_F(KeySettings, ReturningFromAnotherApplicationKeepsTheChosenUnit) {
    IniForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(IniForm.get()));
    ChooseUnit(BezelUnit(3));
    // Another application takes the focus, then the user comes back.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(IniForm.get());
    QT_WARNING_POP
    EXPECT_EQ(IniForm->DeviceCB()->currentIndex(), 3);
    EXPECT_EQ(IniForm->SelectedUnit, BezelUnit(3));

    // Another form of the program taking the focus and giving it back is an activation.
    QWidget other;
    other.show();
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(IniForm.get());
    QT_WARNING_POP
    EXPECT_EQ(IniForm->DeviceCB()->currentIndex(), 0);
}

TEST_F(KeySettings, OkRightAfterOpeningLeavesTheFileAlone) {
    IniForm->show();
    QTest::mouseClick(IniForm->Button1(), Qt::LeftButton);
    EXPECT_FALSE(IniForm->isVisible());
    EXPECT_EQ(IniForm->result(), QDialog::Accepted);
    EXPECT_EQ(Files.WriteCount, 0U);
    EXPECT_TRUE(Files.Files.empty());
}

}  // namespace
}  // namespace qel::test
