// keymap.ini on a real disk that misbehaves in ways every platform has: the folder removed, the
// file replaced by a folder, a read-only file; and hostile files read whole at start-up. The
// unit state must stay right, the log must say what failed, and the file must never be damaged.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "disk_bench.h"

namespace qel::test {
namespace {

using namespace std::string_literals;

std::vector<Fault> FaultsOnEveryDisk() {
    const PlatformFaultWords words = PlatformFaults();
    std::vector<Fault> faults = {
        {"folder removed", [] { return CreateFileAccess(); },
         [](DiskBench& b) { fs::remove_all(b.KeyMapPath().parent_path()); },
         ": cannot write (" + words.FolderGone + ")", false},
        {"file replaced by a folder", [] { return CreateFileAccess(); },
         [](DiskBench& b) {
             fs::remove(b.KeyMapPath());
             fs::create_directory(b.KeyMapPath());
         },
         ": cannot write (cannot read it first: " + words.IsAFolder + ")", false},
    };
    if (words.ReadOnlyFilesBind) {
        faults.push_back({"read-only file", [] { return CreateFileAccess(); },
                          [](DiskBench& b) {
                              fs::permissions(b.KeyMapPath(),
                                              fs::perms::owner_write | fs::perms::group_write |
                                                  fs::perms::others_write,
                                              fs::perm_options::remove);
                          },
                          ": cannot write (" + words.ReadOnlyFile + ")", true});
    }
    return faults;
}

TEST(KeyMapFileOnDisk, FailedWriteKeepsTheUnitStateLogsTheFailureOnceAndLeavesTheFileWhole) {
    for (const Fault& fault : FaultsOnEveryDisk()) {
        ExpectFailedWritesLeaveTheDiskAlone(fault);
    }
}

// --- hostile files, read whole at start-up ---
constexpr std::size_t kTenMegabytes = 10 * 1000 * 1000;
// Far above the milliseconds the reads take, so sanitizer builds never flake; a hang or a
// quadratic read would still show.
constexpr std::chrono::seconds kGenerousBound{5};

std::string Utf16Le(const std::string& ascii) {
    std::string units = "\xFF\xFE";
    for (char c : ascii) {
        units += c;
        units += '\0';
    }
    return units;
}

std::string ManySections(int sections, int keysEach) {
    std::string file;
    for (int s = 0; s < sections; ++s) {
        file += "[s" + std::to_string(s) + "]\r\n";
        for (int k = 0; k < keysEach; ++k) file += "k" + std::to_string(k) + "=F9\r\n";
    }
    return file;
}

struct HostileFile {
    const char* Name;
    std::function<std::string()> Make;
    KeyCode SoftKey1;  // bezel unit 0's softkey_1 as the file gives it
    KeyCode Menu;      // bezel unit 0's menu
};

TEST(KeyMapFileOnDisk, HostileFilesAreReadQuicklyWholeWithoutHarm) {
    const std::string bound = "[qel_1000_0]\r\nsoftkey_1=F1\r\nmenu=SHIFT+F1\r\n";
    const std::vector<HostileFile> cases = {
        {"10 MB line before the bindings",
         [&] { return "[x]\r\nk=" + std::string(kTenMegabytes, 'v') + "\r\n" + bound; }, kF1,
         kShiftF1},
        {"10 MB value of a binding",
         [] {
             return "[qel_1000_0]\r\nsoftkey_1=" + std::string(kTenMegabytes, 'Q') +
                    "\r\nmenu=SHIFT+F1";
         },
         0, kShiftF1},
        {"NUL bytes",
         [] { return "[qel_1000_0]\r\nsoftkey_1=F1\0F2\r\n\0\0\0\r\nmenu=SHIFT+F1\r\n"s; }, kF1,
         kShiftF1},
        {"UTF-16 file", [&] { return Utf16Le(bound); }, kF1, kShiftF1},
        {"UTF-16 file of odd length", [&] { return Utf16Le(bound) + "x"; }, kF1, kShiftF1},
        // A UTF-8 byte order mark is not special: it glues to the first line, so the first
        // header is not one.
        {"UTF-8 byte order mark", [&] { return "\xEF\xBB\xBF" + bound; }, 0, 0},
        {"UTF-8 byte order mark on a comment", [&] { return "\xEF\xBB\xBF;\r\n" + bound; }, kF1,
         kShiftF1},
        {"CR-only line ends", [] { return "[qel_1000_0]\rsoftkey_1=F1\rmenu=SHIFT+F1\r"s; }, kF1,
         kShiftF1},
        {"10,000 sections", [&] { return ManySections(10000, 1) + bound; }, kF1, kShiftF1},
        {"100,000 keys", [&] { return bound + ManySections(1, 100000); }, kF1, kShiftF1},
        {"100,000 keys in the unit's own section",
         [] {
             std::string file = "[qel_1000_0]\r\n";
             for (int k = 0; k < 100000; ++k) file += "k" + std::to_string(k) + "=F9\r\n";
             return file + "softkey_1=F1\r\nmenu=SHIFT+F1";
         },
         kF1, kShiftF1},
        {"no final newline", [] { return "[qel_1000_0]\r\nsoftkey_1=F1\r\nmenu=SHIFT+F1"s; }, kF1,
         kShiftF1},
        {"nothing but line breaks", [] { return std::string(kTenMegabytes, '\n'); }, 0, 0},
    };
    for (const HostileFile& c : cases) {
        SCOPED_TRACE(c.Name);
        DiskBench bench;
        const std::string file = c.Make();
        Put(bench.KeyMapPath(), file);

        const auto start = std::chrono::steady_clock::now();
        bench.Map.ReadAllKeys();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, kGenerousBound);
        EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[13].Key, c.SoftKey1);
        EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[26].Key, c.Menu);
        EXPECT_EQ(bench.Units.BezelUnits[3].Buttons[13].Name, "softkey_1");

        // A write into it leaves every other byte as it was.
        EXPECT_TRUE(bench.Map.WriteKey(BezelUnit(1), 13, kF2).Ok());
        const std::string after = Get(bench.KeyMapPath());
        EXPECT_EQ(after.substr(0, file.size() - (file.size() % 2)),
                  file.substr(0, file.size() - (file.size() % 2)))
            << "only an appended section may follow the old bytes";
        bench.Map.ReadAllKeys();
        EXPECT_EQ(bench.Units.BezelUnits[1].Buttons[13].Key, kF2);
        EXPECT_EQ(bench.Units.BezelUnits[0].Buttons[26].Key, c.Menu);
    }
}

}  // namespace
}  // namespace qel::test
