#include "keymap/mindstar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keymap/ini_profile_store.h"
#include "keymap/keymapfile.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

const std::string kKeyMapPath = "/sim/keymap.ini";
const std::string kMindstarPath = "/mindstar/G1000.ini";

struct ImportBench {
    ImportBench() : Map(kKeyMapPath, Units, Store, Layout, Log) {}

    std::string& KeyMap() { return Files.Files[kKeyMapPath]; }
    std::string Value(std::string_view section, std::string_view key) {
        return Store.Read(kKeyMapPath).Value()->GetString(section, key, "<missing>", 510);
    }
    bool Import(std::string mindstarFile) {
        Files.Files[kMindstarPath] = std::move(mindstarFile);
        return Map.ImportMindstar(kMindstarPath).value_or(Failure{"not imported"}).Ok();
    }

    MemoryFileAccess Files;
    IniProfileStore Store{Files};
    UsEnglishLayout Layout;
    MemoryLog Log;
    UnitStates Units;
    KeyMapFile Map;
};

struct Expectation {
    std::string Section;
    std::string Key;
    std::string Value;
};

void ExpectValues(ImportBench& bench, const std::vector<Expectation>& expected) {
    for (const Expectation& e : expected) {
        SCOPED_TRACE(e.Section + " " + e.Key);
        EXPECT_EQ(bench.Value(e.Section, e.Key), e.Value);
    }
}

// Every bezel section holds softkey_1=F5 and a few keys no Mindstar command names.
std::string BoundKeyMap() {
    std::string file;
    for (int unit = 0; unit < 4; ++unit) {
        file += "[qel_1000_" + std::to_string(unit) +
                "]\r\nsoftkey_1=F5\r\nrange_pan_ne=F6\r\nsqvol_push=F8\r\nidvol_incr=F9\r\n";
    }
    file += "[qel_audio_0]\r\ntel=T\r\ncoplt_incr=F10\r\ncom1_mic=F11\r\n";
    file += "[qel_audio_1]\r\nplay=P\r\n";
    return file;
}

TEST(MindstarImport, PfdGoesToBezelUnitZeroMfdToUnitOneAndTheOthersKeepTheirs) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    EXPECT_TRUE(bench.Import("[KEYBOARD]\r\nPFD_SOFTKEY_1=F1\r\nMFD_SOFTKEY_1=SHIFT+F1\r\n"));
    ExpectValues(bench, {
                            {"qel_1000_0", "softkey_1", "F1"},
                            {"qel_1000_1", "softkey_1", "SHIFT+F1"},
                            {"qel_1000_2", "softkey_1", "F5"},
                            {"qel_1000_3", "softkey_1", "F5"},
                        });
    // The unit state is read back at once.
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0x70);
    EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[13].Key, 0x170);
    EXPECT_EQ(bench.Units.BezelUnits[2].Buttons[13].Key, 0x74);
    EXPECT_TRUE(bench.Log.Lines.empty());
}

TEST(MindstarImport, AMissingCommandUnbindsItsKeyInsteadOfMerging) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    EXPECT_TRUE(bench.Import("[KEYBOARD]\r\nPFD_SOFTKEY_1=F1\r\n"));
    ExpectValues(bench, {
                            {"qel_1000_0", "softkey_1", "F1"},
                            {"qel_1000_1", "softkey_1", ""},
                            {"qel_1000_2", "softkey_1", "F5"},
                        });
    EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[13].Key, 0);
}

TEST(MindstarImport, SharedCommandsReachEveryUnitOfTheirKind) {
    ImportBench bench;
    EXPECT_TRUE(bench.Import(
        "[keyboard]\r\nnav_freq_toggle=F7\r\nAUDIO_TRANSMIT_COM1=ALT+1\r\n"
        "AUDIO_ACTIVATE_REVERSIONAR=R\r\nAUDIO_ACTIVATE_REVERSIONARY=X\r\nAFCS_12=U\r\n"));
    ExpectValues(bench, {
                            {"qel_1000_0", "nav_freq_toggle", "F7"},
                            {"qel_1000_1", "nav_freq_toggle", "F7"},
                            {"qel_1000_2", "nav_freq_toggle", "F7"},
                            {"qel_1000_3", "nav_freq_toggle", "F7"},
                            {"qel_1000_3", "afcs_up", "U"},
                            {"qel_audio_0", "com1_mic", "ALT+1"},
                            {"qel_audio_1", "com1_mic", "ALT+1"},
                            {"qel_audio_0", "com_12", "R"},
                            {"qel_audio_1", "com_12", "R"},
                        });
    EXPECT_EQ(bench.Units.AudioUnits[1].Buttons[0].Key, 0x431);
    EXPECT_EQ(bench.Units.BezelUnits[3].Buttons[12].Key, 0x76);
}

TEST(MindstarImport, PanCommandsLandOnTheMainDirectionsAndLeaveDiagonalsAlone) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    EXPECT_TRUE(
        bench.Import("[KEYBOARD]\r\nPFD_RANGE_PAN_UP=UP\r\nPFD_RANGE_PAN_DOWN=DOWN\r\n"
                     "PFD_RANGE_PAN_LEFT=LEFT\r\nPFD_RANGE_PAN_RIGHT=RIGHT\r\n"));
    ExpectValues(bench, {
                            {"qel_1000_0", "range_pan_n", "UP"},
                            {"qel_1000_0", "range_pan_s", "DOWN"},
                            {"qel_1000_0", "range_pan_w", "LEFT"},
                            {"qel_1000_0", "range_pan_e", "RIGHT"},
                            {"qel_1000_0", "range_pan_ne", "F6"},
                            {"qel_1000_0", "range_pan_nw", "<missing>"},
                        });
    const BezelUnitState& bezel0 = bench.Units.BezelUnits[0];
    EXPECT_EQ(bezel0.PanDirections[0].Key, 0x26);
    EXPECT_EQ(bezel0.PanDirections[2].Key, 0x27);
    EXPECT_EQ(bezel0.PanDirections[4].Key, 0x28);
    EXPECT_EQ(bezel0.PanDirections[6].Key, 0x25);
    EXPECT_EQ(bezel0.PanDirections[1].Key, 0x75);
}

TEST(MindstarImport, KeysNoCommandNamesAreLeftAsTheyWere) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    EXPECT_TRUE(bench.Import("[KEYBOARD]\r\n"));
    ExpectValues(bench, {
                            {"qel_1000_0", "sqvol_push", "F8"},
                            {"qel_1000_3", "idvol_incr", "F9"},
                            {"qel_1000_2", "range_pan_ne", "F6"},
                            {"qel_audio_0", "tel", "T"},
                            {"qel_audio_0", "coplt_incr", "F10"},
                            {"qel_audio_1", "play", "P"},
                            {"qel_audio_0", "com1_mic", ""},
                            {"qel_1000_1", "softkey_1", ""},
                        });
}

TEST(MindstarImport, CopiesValuesVerbatimAndReportsBadTextOnlyOnReadBack) {
    ImportBench bench;
    EXPECT_TRUE(bench.Import("[KEYBOARD]\r\nPFD_SOFTKEY_2=SHIFT + F1\r\n"));
    EXPECT_NE(bench.KeyMap().find("\r\nsoftkey_2=SHIFT + F1\r\n"), std::string::npos);
    const std::vector<std::string> expected = {
        "Unknown key 'shift ' found in config",
        "Unknown key ' f1' found in config",
    };
    EXPECT_EQ(bench.Log.Lines, expected);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[14].Key, 0);
}

TEST(MindstarImport, AnEmptyFileWrites220EmptyKeysInOneReplacement) {
    ImportBench bench;
    const std::size_t writesBefore = bench.Files.WriteCount;
    EXPECT_TRUE(bench.Import(""));
    EXPECT_EQ(bench.Files.WriteCount, writesBefore + 1);
    const std::string& file = bench.KeyMap();
    std::size_t emptyKeys = 0;
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = file.find("\r\n", at)) != std::string::npos; at += 2) {
        ++lines;
        emptyKeys += file[at - 1] == '=' ? 1 : 0;
    }
    EXPECT_EQ(emptyKeys, 220U);
    EXPECT_EQ(lines, 226U);  // and six section headers
    EXPECT_TRUE(bench.Log.Lines.empty());
}

TEST(MindstarImport, ImportingTwiceGivesTheSameFileAsOnce) {
    const std::string mindstar =
        "[KEYBOARD]\r\nPFD_SOFTKEY_1=F1\r\nMFD_MENU=M\r\nBARO_INCR=B\r\nAUDIO_MARKER_MUTE=K\r\n";
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    ASSERT_TRUE(bench.Import(mindstar));
    const std::string once = bench.KeyMap();
    ASSERT_TRUE(bench.Import(mindstar));
    EXPECT_EQ(bench.KeyMap(), once);
}

TEST(MindstarImport, EditsComeInTheOrderOfTheThreeGroups) {
    ImportBench bench;
    bench.Files.Files[kMindstarPath] = "";
    const std::vector<ProfileEdit> edits = MindstarEdits(*bench.Store.Read(kMindstarPath).Value());
    ASSERT_EQ(edits.size(), 220U);
    const std::vector<std::pair<std::size_t, Expectation>> expected = {
        {0, {"qel_1000_0", "range_incr", ""}},       {1, {"qel_1000_1", "range_incr", ""}},
        {59, {"qel_1000_1", "softkey_12", ""}},      {60, {"qel_audio_0", "com1_mic", ""}},
        {61, {"qel_audio_1", "com1_mic", ""}},       {71, {"qel_audio_1", "com_12", ""}},
        {72, {"qel_1000_0", "nav_freq_toggle", ""}}, {75, {"qel_1000_3", "nav_freq_toggle", ""}},
        {219, {"qel_1000_3", "afcs_up", ""}},
    };
    for (const auto& [index, e] : expected) {
        SCOPED_TRACE("edit " + std::to_string(index));
        EXPECT_EQ(edits[index].Section, e.Section);
        EXPECT_EQ(edits[index].Key, e.Key);
    }
}

TEST(MindstarImport, AnUnreadableMindstarFileChangesNothing) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    bench.Files.FailReads(kMindstarPath, "Is a directory");
    EXPECT_FALSE(bench.Import(""));
    EXPECT_EQ(bench.KeyMap(), BoundKeyMap());
    EXPECT_EQ(bench.Log.Lines,
              std::vector<std::string>{kMindstarPath + ": cannot read (Is a directory)"});
}

TEST(MindstarImport, AFailedWriteIsReportedAndTheImportTakesForThisRun) {
    ImportBench bench;
    bench.KeyMap() = BoundKeyMap();
    bench.Files.FailWrites(kKeyMapPath, "No space left on device");
    EXPECT_FALSE(bench.Import("[KEYBOARD]\r\nPFD_SOFTKEY_1=\" F1 \"\r\n"));
    EXPECT_EQ(bench.Log.Lines,
              std::vector<std::string>{kKeyMapPath + ": cannot write (No space left on device)"});
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0x70) << "blanks, quotes as read back";
}

}  // namespace
}  // namespace qel::test
