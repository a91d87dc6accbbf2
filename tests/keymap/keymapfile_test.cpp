#include "keymap/keymapfile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "keymap/bindingslot.h"
#include "keymap/ini_profile_store.h"
#include "support/memory_file_access.h"
#include "support/memory_log.h"
#include "support/unit_ids.h"
#include "translate/catalogue.h"
#include "translate/us_layout.h"

namespace qel::test {
namespace {

const std::string kKeyMapPath = "/sim/keymap.ini";

// Every binding's key of one bezel section, in the order the clearing writes them.
constexpr std::string_view kClearedBezelKeys =
    "afcs_ias=\r\nafcs_yd=\r\nafcs_ap=\r\nafcs_hdg=\r\nafcs_fd=\r\nafcs_apr=\r\n"
    "afcs_nav=\r\nafcs_vnv=\r\nafcs_alt=\r\nafcs_dn=\r\nafcs_vs=\r\nafcs_up=\r\n"
    "nav_freq_toggle=\r\nsoftkey_1=\r\nsoftkey_2=\r\nsoftkey_3=\r\nsoftkey_4=\r\n"
    "softkey_5=\r\nsoftkey_6=\r\nsoftkey_7=\r\nsoftkey_8=\r\nsoftkey_9=\r\n"
    "softkey_10=\r\nsoftkey_11=\r\nsoftkey_12=\r\ncom_freq_toggle=\r\nmenu=\r\n"
    "direct_to=\r\nproc=\r\nfpl=\r\nent=\r\nclr=\r\nnav_push=\r\nalt_push=\r\n"
    "com_push=\r\ncrs_push=\r\nfms_push=\r\nsqvol_push=\r\nhdg_push=\r\n"
    "idvol_push=\r\nnav_in_decr=\r\nnav_in_incr=\r\nnav_out_decr=\r\n"
    "nav_out_incr=\r\nalt_in_decr=\r\nalt_in_incr=\r\nalt_out_decr=\r\n"
    "alt_out_incr=\r\ncom_in_decr=\r\ncom_in_incr=\r\ncom_out_decr=\r\n"
    "com_out_incr=\r\ncrs_decr=\r\ncrs_incr=\r\nbaro_decr=\r\nbaro_incr=\r\n"
    "fms_in_decr=\r\nfms_in_incr=\r\nfms_out_decr=\r\nfms_out_incr=\r\n"
    "sqvol_decr=\r\nsqvol_incr=\r\nhdg_decr=\r\nhdg_incr=\r\nidvol_decr=\r\n"
    "idvol_incr=\r\nrange_decr=\r\nrange_incr=\r\nrange_pan_n=\r\nrange_pan_ne=\r\n"
    "range_pan_e=\r\nrange_pan_se=\r\nrange_pan_s=\r\nrange_pan_sw=\r\n"
    "range_pan_w=\r\nrange_pan_nw=\r\nrange_push=\r\n";

// The unnamed positions share the one line "=", written where the first of them comes.
constexpr std::string_view kClearedAudioKeys =
    "com1_mic=\r\ncom2_mic=\r\ncom3_mic=\r\ncom_12=\r\npa=\r\nmkr_mute=\r\n=\r\n"
    "dme=\r\nadf=\r\naux=\r\nman_sq=\r\ncrew_pilot=\r\ncom1=\r\ncom2=\r\ncom3=\r\n"
    "tel=\r\nspkr=\r\nhi_sense=\r\nnav1=\r\nnav2=\r\nplay=\r\ncrew_coplt=\r\n"
    "display_backup=\r\npilot_push=\r\ncoplt_decr=\r\ncoplt_incr=\r\npilot_decr=\r\n"
    "pilot_incr=\r\n";

// A key map file in memory with everything it talks to.
struct KeyMapBench {
    explicit KeyMapBench(KeyMapLocation location = kKeyMapPath)
        : Map(std::move(location), Units, Store, Layout, Log) {}

    std::string& File() { return Files.Files[kKeyMapPath]; }
    bool FileExists() const { return Files.Files.count(kKeyMapPath) != 0; }
    std::string Value(std::string_view section, std::string_view key) {
        return Store.Read(kKeyMapPath).Value()->GetString(section, key, "<missing>", 510);
    }

    MemoryFileAccess Files;
    IniProfileStore Store{Files};
    UsEnglishLayout Layout;
    MemoryLog Log;
    UnitStates Units;
    KeyMapFile Map;
};

TEST(KeyMapFile, WithoutAFileReadsEverythingUnboundNamesEveryControlAndCreatesNothing) {
    KeyMapBench bench;
    bench.Map.ReadAllKeys();
    for (std::size_t u = 0; u < kBezelUnitCount; ++u) {
        SCOPED_TRACE("bezel unit " + std::to_string(u));
        const BezelUnitState& unit = bench.Units.BezelUnits[u];
        for (std::size_t i = 0; i < kBezelButtonCount; ++i) {
            EXPECT_EQ(unit.Buttons[i].Name, kBezelButtonNames[i]);
            EXPECT_EQ(unit.Buttons[i].Key, 0);
        }
        for (std::size_t i = 0; i < kBezelRotaryCount; ++i) {
            EXPECT_EQ(unit.Rotaries[i].Name, kBezelRotaryNames[i]);
            EXPECT_EQ(unit.Rotaries[i].DecrKey, 0);
            EXPECT_EQ(unit.Rotaries[i].IncrKey, 0);
        }
        EXPECT_EQ(unit.PanDirections[0].Name, "range_pan_n");
        EXPECT_EQ(unit.PanDirections[7].Name, "range_pan_nw");
        EXPECT_EQ(unit.PanPush.Name, "range_push");
    }
    for (std::size_t u = 0; u < kAudioUnitCount; ++u) {
        SCOPED_TRACE("audio unit " + std::to_string(u));
        const AudioUnitState& unit = bench.Units.AudioUnits[u];
        for (std::size_t i = 0; i < kAudioButtonCount; ++i) {
            EXPECT_EQ(unit.Buttons[i].Name, kAudioButtonNames[i]);
            EXPECT_EQ(unit.Buttons[i].Key, 0);
        }
        EXPECT_EQ(unit.Rotaries[1].Name, "pilot");
    }
    EXPECT_TRUE(bench.Log.Lines.empty());
    EXPECT_FALSE(bench.FileExists());
    EXPECT_EQ(bench.Files.WriteCount, 0U);
    // One snapshot of the file serves all six sections.
    EXPECT_EQ(bench.Files.ReadCount, 1U);
}

TEST(KeyMapFile, ReadsBindingsWhereverTheyAreAndEmptyValuesAsUnbound) {
    KeyMapBench bench;
    bench.File() =
        "[qel_audio_1]\r\npilot_incr=NUMPAD6\r\n=F9\r\ntel=T\r\n"
        "[QEL_1000_0]\r\nSOFTKEY_1=F1\r\nsoftkey_2=\r\nnav_in_decr=SHIFT+F3\r\n"
        "range_pan_se=ctrl+down\r\nrange_push=alt+enter\r\n"
        "[qel_1000_3]\r\nsoftkey_2=F2\r\n";
    bench.Units.BezelUnits[0].Buttons[14].Key = 0x55;  // overwritten by the empty value
    bench.Map.ReadAllKeys();
    const BezelUnitState& bezel0 = bench.Units.BezelUnits[0];
    EXPECT_EQ(bezel0.Buttons[13].Key, 0x70);
    EXPECT_EQ(bezel0.Buttons[14].Key, 0);
    EXPECT_EQ(bezel0.Rotaries[0].DecrKey, 0x172);
    EXPECT_EQ(bezel0.Rotaries[0].IncrKey, 0);
    EXPECT_EQ(bezel0.PanDirections[3].Key, 0x228);
    EXPECT_EQ(bezel0.PanPush.Key, 0x40D);
    EXPECT_EQ(bench.Units.BezelUnits[3].Buttons[14].Key, 0x71);
    EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[14].Key, 0);
    const AudioUnitState& audio1 = bench.Units.AudioUnits[1];
    EXPECT_EQ(audio1.Rotaries[1].IncrKey, 0x66);
    EXPECT_EQ(audio1.Buttons[18].Key, 0x54);
    // A hand-written "=" line binds the unnamed positions, as the reader looks them up by "".
    EXPECT_EQ(audio1.Buttons[6].Key, 0x78);
    EXPECT_EQ(audio1.Buttons[31].Key, 0x78);
    EXPECT_EQ(bench.Units.AudioUnits[0].Buttons[6].Key, 0);
    EXPECT_TRUE(bench.Log.Lines.empty());
}

TEST(KeyMapFile, ReportsUnknownKeyTextInCatalogueOrderNotFileOrder) {
    KeyMapBench bench;
    bench.File() =
        "[qel_1000_2]\r\nrange_push=bad1\r\nrange_pan_n=bad2\r\nnav_in_incr=bad3\r\n"
        "nav_in_decr=bad4\r\nsoftkey_1=bad5\r\n";
    bench.Map.ReadBezelKeys("qel_1000_2", BezelUnit(2));
    const std::vector<std::string> expected = {
        "Unknown key 'bad5' found in config", "Unknown key 'bad4' found in config",
        "Unknown key 'bad3' found in config", "Unknown key 'bad2' found in config",
        "Unknown key 'bad1' found in config",
    };
    EXPECT_EQ(bench.Log.Lines, expected);
    EXPECT_EQ(bench.Files.ReadCount, 1U);
}

TEST(KeyMapFile, SeesAtMost509CharactersOfAValue) {
    KeyMapBench bench;
    bench.File() = "[qel_audio_0]\r\npa=" + std::string(600, 'x') + "\r\n";
    bench.Map.ReadAudioKeys("qel_audio_0", AudioUnit(0));
    ASSERT_EQ(bench.Log.Lines.size(), 1U);
    EXPECT_EQ(bench.Log.Lines[0], "Unknown key '" + std::string(509, 'x') + "' found in config");
}

struct WriteCase {
    int DeviceIndex;
    int Slot;
    KeyCode Code;
    std::string File;  // afterwards, starting without a file
};

TEST(KeyMapFile, WriteKeyWritesTheSlotsKeyInTheSelectedUnitsSection) {
    const std::vector<WriteCase> cases = {
        {0, 41, 0x165, "[qel_1000_0]\r\nnav_in_incr=SHIFT+NUMPAD5\r\n"},
        {0, 40, 0x70, "[qel_1000_0]\r\nnav_in_decr=F1\r\n"},
        {3, 76, 0x20D, "[qel_1000_3]\r\nrange_push=CTRL+ENTER\r\n"},
        {1, 70, 0x41, "[qel_1000_1]\r\nrange_pan_e=A\r\n"},
        {5, 35, 0x471, "[qel_audio_1]\r\npilot_incr=ALT+F2\r\n"},
        {4, 0, 0x31, "[qel_audio_0]\r\ncom1_mic=1\r\n"},
        {2, 13, 0, "[qel_1000_2]\r\nsoftkey_1=\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE("device " + std::to_string(c.DeviceIndex) + " slot " + std::to_string(c.Slot));
        KeyMapBench bench;
        EXPECT_TRUE(bench.Map.WriteKey(DeviceUnit(c.DeviceIndex), c.Slot, c.Code).Ok());
        EXPECT_EQ(bench.File(), c.File);
        EXPECT_EQ(*BindingField(bench.Units, DeviceUnit(c.DeviceIndex), c.Slot), c.Code);
        EXPECT_TRUE(bench.Log.Lines.empty());
    }
}

TEST(KeyMapFile, WriteKeyWithCodeZeroKeepsTheKeyWithAnEmptyValue) {
    KeyMapBench bench;
    bench.File() = "[qel_1000_0]\r\nsoftkey_1=F1\r\nsoftkey_2=F2\r\n";
    bench.Map.ReadAllKeys();
    EXPECT_TRUE(bench.Map.WriteKey(BezelUnit(0), 13, 0).Ok());
    EXPECT_EQ(bench.File(), "[qel_1000_0]\r\nsoftkey_1=\r\nsoftkey_2=F2\r\n");
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0);
}

TEST(KeyMapFile, WriteKeyIgnoresSlotsAndDevicesOutOfRange) {
    KeyMapBench bench;
    const UnitStates before = bench.Units;
    for (const auto& [device, slot] : {std::pair{0, 77}, {4, 36}, {6, 0}, {-1, 0}, {0, -1}}) {
        EXPECT_TRUE(bench.Map.WriteKey(DeviceUnit(device), slot, 0x70).Ok());
    }
    EXPECT_FALSE(bench.FileExists());
    EXPECT_EQ(bench.Files.WriteCount, 0U);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[0].Key, before.BezelUnits[0].Buttons[0].Key);
}

TEST(KeyMapFile, ClearAllKeysWithoutAFileWritesSixSectionsOfEmptyKeysInOneReplacement) {
    KeyMapBench bench;
    EXPECT_TRUE(bench.Map.ClearAllKeys().Ok());
    std::string expected;
    for (int unit = 0; unit < 4; ++unit) {
        expected += "[qel_1000_" + std::to_string(unit) + "]\r\n";
        expected += kClearedBezelKeys;
    }
    for (int unit = 0; unit < 2; ++unit) {
        expected += "[qel_audio_" + std::to_string(unit) + "]\r\n";
        expected += kClearedAudioKeys;
    }
    EXPECT_EQ(bench.File(), expected);
    EXPECT_EQ(bench.Files.WriteCount, 1U);
    EXPECT_TRUE(bench.Log.Lines.empty());
}

TEST(KeyMapFile, ClearingUnbindsTheUnitStateAndTheFileButKeepsNames) {
    KeyMapBench bench;
    bench.File() =
        "[qel_1000_1]\r\nsoftkey_1=F1\r\nhdg_incr=F2\r\nrange_pan_w=F3\r\nrange_push=F4\r\n"
        "[qel_audio_0]\r\ntel=F5\r\n=F6\r\ncoplt_decr=F7\r\n";
    bench.Map.ReadAllKeys();
    EXPECT_TRUE(bench.Map.ClearBezelKeys("qel_1000_1", BezelUnit(1)).Ok());
    const BezelUnitState& bezel1 = bench.Units.BezelUnits[1];
    EXPECT_EQ(bezel1.Buttons[13].Key, 0);
    EXPECT_EQ(bezel1.Buttons[13].Name, "softkey_1");
    EXPECT_EQ(bezel1.Rotaries[11].IncrKey, 0);
    EXPECT_EQ(bezel1.PanDirections[6].Key, 0);
    EXPECT_EQ(bezel1.PanPush.Key, 0);
    EXPECT_EQ(bench.Value("qel_1000_1", "softkey_1"), "");
    EXPECT_EQ(bench.Value("qel_1000_1", "range_push"), "");
    EXPECT_EQ(bench.Units.AudioUnits[0].Buttons[18].Key, 0x74);

    EXPECT_TRUE(bench.Map.ClearAudioKeys("qel_audio_0", AudioUnit(0)).Ok());
    const AudioUnitState& audio0 = bench.Units.AudioUnits[0];
    EXPECT_EQ(audio0.Buttons[18].Key, 0);
    EXPECT_EQ(audio0.Buttons[7].Key, 0);
    EXPECT_EQ(audio0.Rotaries[0].DecrKey, 0);
    EXPECT_EQ(audio0.Rotaries[0].Name, "coplt");
    EXPECT_EQ(bench.Files.WriteCount, 2U);

    // What was cleared reads back unbound, the unnamed positions included.
    bench.Map.ReadAllKeys();
    EXPECT_EQ(bench.Units.AudioUnits[0].Buttons[7].Key, 0);
    EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[13].Key, 0);
    EXPECT_TRUE(bench.Log.Lines.empty());
}

TEST(KeyMapFile, FailedWriteKeepsTheNewBindingAndSaysSoOncePerOperation) {
    KeyMapBench bench;
    bench.File() = "[qel_1000_0]\r\nsoftkey_1=F1\r\n";
    bench.Files.FailWrites(kKeyMapPath, "Read-only file system");
    const std::string line = kKeyMapPath + ": cannot write (Read-only file system)";

    EXPECT_EQ(bench.Map.WriteKey(BezelUnit(0), 13, 0x71).Error(), line);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0x71);
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line});

    bench.Log.Lines.clear();
    bench.Units.AudioUnits[1].Rotaries[0].IncrKey = 0x41;
    EXPECT_EQ(bench.Map.ClearAllKeys().Error(), line);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0);
    EXPECT_EQ(bench.Units.AudioUnits[1].Rotaries[0].IncrKey, 0);
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line});
    EXPECT_EQ(bench.File(), "[qel_1000_0]\r\nsoftkey_1=F1\r\n");
}

TEST(KeyMapFile, UnreadableFileReadsUnboundWithOneLinePerOperation) {
    KeyMapBench bench;
    bench.Files.FailReads(kKeyMapPath, "Is a directory");
    bench.Units.BezelUnits[2].Buttons[0].Key = 0x70;
    const std::string line = kKeyMapPath + ": cannot read (Is a directory)";

    bench.Map.ReadAllKeys();
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line});
    EXPECT_EQ(bench.Units.BezelUnits[2].Buttons[0].Key, 0);
    EXPECT_EQ(bench.Units.BezelUnits[2].Buttons[0].Name, "afcs_ias");

    bench.Map.ReadAudioKeys("qel_audio_0", AudioUnit(0));
    EXPECT_EQ(bench.Log.Lines, (std::vector<std::string>{line, line}));
}

TEST(KeyMapFile, WithoutAPathTouchesNoFileAndSaysWhyOnce) {
    const std::string reason =
        "keymap.ini cannot be used: the current directory is longer than 248 characters";
    KeyMapBench bench(Failure{reason});
    bench.Files.Files["/sim/G1000.ini"] = "[KEYBOARD]\r\nNAV_FREQ_TOGGLE=F7\r\n";
    const std::size_t mindstarReads = bench.Files.ReadCount;

    bench.Map.ReadAllKeys();
    bench.Map.ReadBezelKeys("qel_1000_0", BezelUnit(0));
    EXPECT_EQ(bench.Map.WriteKey(BezelUnit(0), 13, 0x70).Error(), reason);
    EXPECT_EQ(bench.Map.ClearAudioKeys("qel_audio_0", AudioUnit(0)).Error(), reason);
    EXPECT_FALSE(bench.Map.ImportMindstar("/sim/G1000.ini").has_value());
    EXPECT_EQ(bench.Map.ClearAllKeys().Error(), reason);
    EXPECT_EQ(bench.Map.WriteKey(BezelUnit(1), 13, 0x71).Error(), reason);

    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{reason});
    EXPECT_EQ(bench.Files.ReadCount, mindstarReads);
    EXPECT_EQ(bench.Files.WriteCount, 0U);
    EXPECT_EQ(bench.Files.Files.size(), 1U);
    // The unit state is still the working copy for this run.
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Name, "softkey_1");
    EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[13].Key, 0x71);
}

}  // namespace
}  // namespace qel::test
