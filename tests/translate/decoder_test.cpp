#include <climits>

#include "translator_fixture.h"

namespace qel::test {
namespace {

using Decoder = TranslatorTest;

TEST_F(Decoder, ProductIdsOutsideThePanelsAreIgnored) {
    for (int productId : {INT_MIN, -1, 0, 683, 690, 691, 3417, INT_MAX}) {
        for (std::uint8_t type : {kReportC1, kReportC2, kReportC3}) {
            SCOPED_TRACE(testing::Message() << "product " << productId << " type " << int{type});
            ReportBytes report{};
            report.fill(0xFF);
            report[kReportTypeOffset] = type;
            // As the HID hook passes them: only a panel's product ID names a unit.
            if (const std::optional<UnitId> unit = UnitOfProduct(productId)) {
                Translator.DecodeReport(*unit, report);
            }
        }
    }
    for (const BezelUnitState& bezel : Units->BezelUnits) {
        EXPECT_EQ(bezel.Buttons[0].Current, 0);
        EXPECT_FALSE(bezel.Rotaries[0].Primed);
    }
    for (const AudioUnitState& audio : Units->AudioUnits) {
        EXPECT_EQ(audio.Buttons[0].Current, 0);
        EXPECT_FALSE(audio.Rotaries[0].Primed);
    }
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(Decoder, OtherReportTypesChangeNothing) {
    for (std::uint8_t type : {0x00, 0xC0, 0xC4, 0xFF}) {
        Send(BezelUnit(0), type, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        Send(AudioUnit(0), type, {0xFF, 0xFF, 0xFF, 0xFF});
    }
    EXPECT_EQ(Bezel(0).Buttons[0].Current, 0);
    EXPECT_FALSE(Bezel(0).Rotaries[0].Primed);
    EXPECT_EQ(Bezel(0).CurrentDirection, 0);
    EXPECT_FALSE(Audio(0).Rotaries[0].Primed);
    EXPECT_TRUE(Log.Lines.empty());
}

TEST_F(Decoder, UnitIndexesOutOfRangeAreIgnored) {
    for (int unit : {INT_MIN, -1, 2, 4, INT_MAX}) {
        SCOPED_TRACE(testing::Message() << "unit " << unit);
        Translator.ProcessAudioButtons(AudioUnit(unit));
        Translator.ProcessAudioRotaries(AudioUnit(unit));
        Send(AudioUnit(unit), kReportC2, {0xFF, 0xFF, 0xFF, 0xFF});
        if (unit != 2) {
            Send(BezelUnit(unit), kReportC1, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
            Translator.ProcessBezelButtons(BezelUnit(unit));
            Translator.ProcessBezelRotaries(BezelUnit(unit), RotaryHalf::First);
            Translator.ProcessPan(BezelUnit(unit));
        }
    }
    Translator.ProcessBezelRotaries(BezelUnit(0), static_cast<RotaryHalf>(7));
    // A unit of the other kind is not the pass's: its pending press stays unprocessed.
    Bezel(0).Buttons[0].Current = 1;
    Translator.ProcessAudioButtons(BezelUnit(0));
    EXPECT_FALSE(Bezel(0).Rotaries[0].Primed);
    EXPECT_TRUE(Log.Lines.empty());
}

// Every record, names included, must stay small enough to live inside the main window.
TEST(UnitStatesMemory, AllUnitsWithTheirNamesFitIn32KiB) {
    auto units = std::make_unique<UnitStates>();
    AssignCatalogueNames(*units);
    std::size_t heap = 0;
    auto count = [&heap](const std::string& name) {
        const auto* begin = reinterpret_cast<const char*>(&name);
        const bool inside = name.data() >= begin && name.data() < begin + sizeof(name);
        heap += inside ? 0 : name.capacity() + 1;
    };
    for (const BezelUnitState& bezel : units->BezelUnits) {
        for (const auto& button : bezel.Buttons) count(button.Name);
        for (const auto& rotary : bezel.Rotaries) count(rotary.Name);
        for (const auto& direction : bezel.PanDirections) count(direction.Name);
        count(bezel.PanPush.Name);
    }
    for (const AudioUnitState& audio : units->AudioUnits) {
        for (const auto& button : audio.Buttons) count(button.Name);
        for (const auto& rotary : audio.Rotaries) count(rotary.Name);
    }
    RecordProperty("UnitStatesBytes", static_cast<int>(sizeof(UnitStates)));
    RecordProperty("NameHeapBytes", static_cast<int>(heap));
    EXPECT_LE(sizeof(UnitStates) + heap, 32U * 1024U);
}

}  // namespace
}  // namespace qel::test
