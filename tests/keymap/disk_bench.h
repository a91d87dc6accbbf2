// keymap.ini on a real disk for the fault tests: a folder of its own, the key map with bindings
// in it, a Mindstar file beside it, and the platform's file access (or one given).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "keymap/fileaccess.h"
#include "keymap/ini_profile_store.h"
#include "keymap/keymapfile.h"
#include "platform/file_access_factory.h"
#include "support/memory_log.h"
#include "support/unit_ids.h"
#include "translate/catalogue.h"
#include "translate/us_layout.h"

namespace qel::test {

namespace fs = std::filesystem;

inline constexpr KeyCode kF1 = 0x70;
inline constexpr KeyCode kF2 = 0x71;
inline constexpr KeyCode kF5 = 0x74;
inline constexpr KeyCode kShiftF1 = 0x170;
inline constexpr KeyCode kCtrlB = 0x242;

inline const std::string kBoundKeyMap =
    "[qel_1000_0]\r\nsoftkey_1=F1\r\nmenu=SHIFT+F1\r\n"
    "[qel_audio_1]\r\npilot_incr=F5\r\n";
inline const std::string kMindstar =
    "[KEYBOARD]\r\nPFD_SOFTKEY_1=F2\r\nAUDIO_MONITOR_COM1=CTRL+B\r\n";

// The UTF-8 spelling the file access takes.
inline std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device random;
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100 && Root.empty(); ++attempt) {
            const fs::path candidate = base / ("qel-keymap-" + std::to_string(random()));
            std::error_code error;
            if (fs::create_directory(candidate, error)) Root = candidate;
        }
        EXPECT_FALSE(Root.empty()) << "no temporary folder";
    }
    ~TemporaryFolder() {
        // Read-only entries cannot be removed everywhere: make them writable first.
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(Root, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::permissions(Root, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Root, ignored);
    }
    fs::path Root;
};

inline void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The key map in folder/maps/keymap.ini, the Mindstar file beside the folder.
struct DiskBench {
    explicit DiskBench(std::unique_ptr<FileAccess> files = CreateFileAccess())
        : Files(std::move(files)), Map(Utf8(KeyMapPath()), Units, Store, Layout, Log) {
        fs::create_directory(Folder.Root / "maps");
        Put(KeyMapPath(), kBoundKeyMap);
        Put(MindstarPath(), kMindstar);
    }
    fs::path KeyMapPath() const { return Folder.Root / "maps" / "keymap.ini"; }
    fs::path MindstarPath() const { return Folder.Root / "G1000.ini"; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(Folder.Root / "maps", ignored)) {
            names.push_back(Utf8(entry.path().filename()));
        }
        return names;
    }

    TemporaryFolder Folder;
    std::unique_ptr<FileAccess> Files;
    IniProfileStore Store{*Files};
    UsEnglishLayout Layout;
    MemoryLog Log;
    UnitStates Units;
    KeyMapFile Map;
};

// One way the disk misbehaves once the bindings have been read.
struct Fault {
    const char* Name;
    std::function<std::unique_ptr<FileAccess>()> Files;  // the access the bench writes through
    std::function<void(DiskBench&)> Break;
    std::string Line;  // the log line after the path
    bool FileKept;     // keymap.ini still there, byte for byte
};

// How the platform's file access words the faults every disk can have, defined once per
// platform (keymapfile_faults_posix_test.cpp, keymapfile_faults_win32_test.cpp).
struct PlatformFaultWords {
    std::string FolderGone;    // writing beside a file whose folder was removed
    std::string IsAFolder;     // reading a folder that took the file's place
    std::string ReadOnlyFile;  // replacing a read-only file
    bool ReadOnlyFilesBind;    // false where the tests' user may write them anyway (root on POSIX)
};
[[nodiscard]] PlatformFaultWords PlatformFaults();

// Whatever happened, what is on the disk is what was there: the old file whole, or the folder
// that replaced it still empty, or still no folder at all; and no temporary file is left.
inline void ExpectDiskUntouched(const DiskBench& bench, const Fault& fault) {
    if (fault.FileKept) {
        EXPECT_EQ(Get(bench.KeyMapPath()), kBoundKeyMap);
        EXPECT_EQ(bench.Entries(), std::vector<std::string>{"keymap.ini"});
    } else if (fs::is_directory(bench.KeyMapPath())) {
        EXPECT_TRUE(fs::is_empty(bench.KeyMapPath()));
        EXPECT_EQ(bench.Entries(), std::vector<std::string>{"keymap.ini"});
    } else {
        EXPECT_FALSE(fs::exists(bench.KeyMapPath().parent_path()))
            << "a removed folder must not come back";
    }
}

// A failed write keeps the unit state, logs the failure once per operation, reports it to the
// caller and leaves the disk as it was: for WriteKey, ClearAllKeys and a Mindstar import.
inline void ExpectFailedWritesLeaveTheDiskAlone(const Fault& fault) {
    SCOPED_TRACE(fault.Name);
    DiskBench bench(fault.Files());
    bench.Map.ReadAllKeys();
    ASSERT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, kF1);
    ASSERT_TRUE(bench.Log.Lines.empty());
    fault.Break(bench);
    const std::string line = Utf8(bench.KeyMapPath()) + fault.Line;

    EXPECT_EQ(bench.Map.WriteKey(BezelUnit(0), 13, kF2).Error(), line);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, kF2)
        << "the binding stays in effect for this run";
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line});
    ExpectDiskUntouched(bench, fault);

    bench.Log.Lines.clear();
    EXPECT_EQ(bench.Map.ClearAllKeys().Error(), line);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, 0);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[26].Key, 0);
    EXPECT_EQ(bench.Units.AudioUnits[1].Rotaries[1].IncrKey, 0);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Name, "softkey_1") << "names stay";
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line});
    ExpectDiskUntouched(bench, fault);

    // The import takes for this run over the cleared unit state, whatever the file holds.
    bench.Log.Lines.clear();
    EXPECT_EQ(bench.Map.ImportMindstar(Utf8(bench.MindstarPath())).value().Error(), line);
    EXPECT_EQ(bench.Log.Lines, std::vector<std::string>{line}) << "one import, one line";
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, kF2);
    EXPECT_EQ(bench.Units.AudioUnits[0].Buttons[13].Key, kCtrlB);
    EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[26].Key, 0) << "imported as unbound";
    EXPECT_EQ(bench.Units.AudioUnits[1].Rotaries[1].IncrKey, 0) << "not imported: stays cleared";
    ExpectDiskUntouched(bench, fault);
}

}  // namespace qel::test
