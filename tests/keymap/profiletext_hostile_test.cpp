#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "keymap/profiletext.h"

namespace qel {
namespace {

using namespace std::string_literals;

// Far above what the work needs (a few milliseconds, under a second with sanitizers on a busy
// machine), yet far below what a quadratic walk over these files would take.
constexpr std::chrono::seconds kGenerousBound{20};
constexpr std::size_t kTenMegabytes = 10 * 1000 * 1000;
constexpr std::size_t kStartUpReads = 450;
constexpr std::size_t kClearAllWrites = 380;

std::string ManySections(int sections, int keysEach, std::string_view lineBreak) {
    std::string file;
    for (int s = 0; s < sections; ++s) {
        file += "[section_" + std::to_string(s) + "]";
        file += lineBreak;
        for (int k = 0; k < keysEach; ++k) {
            file += "key_" + std::to_string(k) + "=value_" + std::to_string(s) + "_" +
                    std::to_string(k);
            file += lineBreak;
        }
    }
    return file;
}

std::string RandomBytesWithNuls(std::size_t size) {
    // A plain linear congruential sequence: cheap enough for ten megabytes in a debug build.
    std::uint32_t state = 7;
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        state = state * 1664525u + 1013904223u;
        const auto b = static_cast<unsigned char>(state >> 24);
        c = static_cast<char>(b < 64 ? 0 : b);  // a quarter NUL
    }
    return "[S]\r\nk=a\0b\r\n"s + bytes;
}

struct HostileCase {
    const char* Name;
    std::function<std::string()> Make;
    std::string Section;  // one key that must read back, to prove the file was understood
    std::string Key;
    std::string Expected;
};

TEST(ProfileTextHostile, HugeOrOddFilesAreReadAndWrittenQuicklyWithoutHarm) {
    const std::vector<HostileCase> cases = {
        {"10 MB value line",
         [] { return "[S]\r\nk="s + std::string(kTenMegabytes, 'x') + "\r\nj=w\r\n"; }, "S", "j",
         "w"},
        {"10 MB line without break or '='",
         [] { return "[S]\r\nj=w\r\n"s + std::string(kTenMegabytes, 'y'); }, "S", "j", "w"},
        {"10 MB header line", [] { return "[S]\r\nj=w\r\n["s + std::string(kTenMegabytes, 'z'); },
         "S", "j", "w"},
        {"10 MB key name",
         [] { return "[S]\r\n"s + std::string(kTenMegabytes, 'n') + "=1\r\nj=w"; }, "S", "j", "w"},
        {"random bytes, a quarter NUL", [] { return RandomBytesWithNuls(kTenMegabytes); }, "S", "k",
         "a"},
        {"CR-only, 10,000 sections", [] { return ManySections(10000, 10, "\r"); }, "section_9999",
         "KEY_9", "value_9999_9"},
        {"10,000 sections", [] { return ManySections(10000, 10, "\r\n"); }, "section_9999", "key_9",
         "value_9999_9"},
        {"100,000 keys in one section", [] { return ManySections(1, 100000, "\n"); }, "section_0",
         "key_99999", "value_0_99999"},
        {"5,000,000 line breaks", [] { return std::string(kTenMegabytes / 2, '\n') + "[S]\nj=w"; },
         "S", "j", "w"},
        {"100,000 keys of one name",
         [] {
             std::string file = "[S]\n";
             for (int i = 0; i < 100000; ++i) file += "=\n";
             return file;
         },
         "S", "", ""},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = c.Make();
        const auto start = std::chrono::steady_clock::now();

        ProfileText text(file);
        EXPECT_EQ(text.GetString(c.Section, c.Key, "d", 510), c.Expected);
        for (std::size_t i = 0; i < kStartUpReads; ++i) {
            (void)text.GetString(c.Section, "missing_" + std::to_string(i), "", 510);
        }
        const auto read = std::chrono::steady_clock::now() - start;

        for (std::size_t i = 0; i < kClearAllWrites; ++i) {
            ASSERT_TRUE(text.WriteString(i % 2 ? c.Section : "new", "k" + std::to_string(i), ""));
        }
        const std::string written = text.Bytes();
        const auto total = std::chrono::steady_clock::now() - start;

        EXPECT_LT(read, kGenerousBound);
        EXPECT_LT(total, kGenerousBound);
        EXPECT_GT(written.size(), file.size());
        const ProfileText reread(written);
        EXPECT_EQ(reread.GetString(c.Section, c.Key, "d", 510), c.Expected);
        EXPECT_EQ(reread.GetString("new", "k378", "d", 510), "");
        ::testing::Test::RecordProperty(
            std::string(c.Name) + " read+450 lookups ms",
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(read).count()));
        ::testing::Test::RecordProperty(
            std::string(c.Name) + " with 380 writes ms",
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(total).count()));
    }
}

// Random files built from every kind of line, then random writes: each written key must read
// back exactly, and every other key must read as it did before.
class RandomProfile {
public:
    explicit RandomProfile(unsigned seed) : Random(seed) {}

    std::string File() {
        static const std::vector<std::string> lines = {
            "[S]",          " [ s ] ", "[T]junk", "[t",    "[]",    "k=1",
            " K = 2 ",      ";k=3",    "#x=4",    "",      "   ",   "garbage",
            "\"k\"=q",      "=e",      "j='5'",   "x y=z", "k=a=b", "\xEF\xBB\xBF[S]",
            "j\t=\t\"6\"  "};
        static const std::vector<std::string> breaks = {"\r\n", "\n", "\r", "\r\n\r\n", "\n\n\r"};
        std::string file;
        const int count = Pick(12);
        for (int i = 0; i < count; ++i) {
            file += lines[Pick(static_cast<int>(lines.size()))];
            if (i + 1 < count || Pick(2) == 0)
                file += breaks[Pick(static_cast<int>(breaks.size()))];
        }
        return file;
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Random); }

    static inline const std::vector<std::string> Sections = {"S", "s", "T", "", "A b", "new"};
    static inline const std::vector<std::string> Keys = {"k", "K", "j", "", "x y", "x", "\"k\""};
    static inline const std::vector<std::string> Values = {"v", "SHIFT+F1", "a=b",      ";x",
                                                           "",  "#y",       "\xC3\xA9", "it's"};

private:
    std::mt19937 Random;
};

std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

TEST(ProfileTextWrite, WrittenKeysReadBackExactlyAndNoOtherKeyChanges) {
    RandomProfile random(12345);
    for (int round = 0; round < 400; ++round) {
        const std::string file = random.File();
        SCOPED_TRACE(testing::Message()
                     << "round " << round << " file " << testing::PrintToString(file));
        ProfileText text(file);
        std::map<std::pair<std::string, std::string>, std::string> expected;
        for (const std::string& section : RandomProfile::Sections) {
            for (const std::string& key : RandomProfile::Keys) {
                expected[{Folded(section), Folded(key)}] =
                    text.GetString(section, key, "<none>", 510);
            }
        }
        const int writes = 1 + random.Pick(6);
        for (int w = 0; w < writes; ++w) {
            const std::string& section = RandomProfile::Sections[random.Pick(6)];
            const std::string& key = RandomProfile::Keys[random.Pick(7)];
            const std::string& value = RandomProfile::Values[random.Pick(8)];
            ASSERT_TRUE(text.WriteString(section, key, value));
            expected[{Folded(section), Folded(key)}] = value;
        }
        const ProfileText reread(text.Bytes());
        for (const std::string& section : RandomProfile::Sections) {
            for (const std::string& key : RandomProfile::Keys) {
                SCOPED_TRACE(section + "/" + key);
                const std::string& want = expected[{Folded(section), Folded(key)}];
                EXPECT_EQ(text.GetString(section, key, "<none>", 510), want);
                EXPECT_EQ(reread.GetString(section, key, "<none>", 510), want);
            }
        }
    }
}

}  // namespace
}  // namespace qel
