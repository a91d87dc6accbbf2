#include "keymap/keymappath.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/current_directory.h"

namespace qel::test {
namespace {

struct PathCase {
    std::string Directory;
    std::optional<std::string> Expected;
};

TEST(MakeKeyMapPath, DropsOneTrailingSeparatorAndRefusesPathsPastTheBuffer) {
    const std::string fits(248, 'x');  // 248 + 12 = 260
    const std::string tooLong(249, 'x');
    const std::vector<PathCase> cases = {
        {"C:\\Users\\pilot", "C:\\Users\\pilot\\keymap.ini"},
        {"D:\\", "D:\\keymap.ini"},
        {"D:\\\\", "D:\\\\keymap.ini"},
        {fits, fits + "\\keymap.ini"},
        {fits + "\\", fits + "\\keymap.ini"},
        {tooLong, std::nullopt},
        {tooLong + "\\", std::nullopt},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE("directory of " + std::to_string(c.Directory.size()) + " characters");
        KeyMapPathBuffer buffer(kWindowsPathRules);
        const std::optional<std::string> path = buffer.MakeKeyMapPath(c.Directory);
        EXPECT_EQ(path, c.Expected);
        if (path) {
            EXPECT_LE(path->size() + 1, 260U);
        }
    }
}

TEST(MakeKeyMapPath, UsesTheLinuxSeparatorAndPathMax) {
    const PathRules posix{'/', PATH_MAX};
    const std::size_t longest = PATH_MAX - 12;
    const std::vector<PathCase> cases = {
        {"/", "/keymap.ini"},
        {"/home/pilot/", "/home/pilot/keymap.ini"},
        {"/home/pilot", "/home/pilot/keymap.ini"},
        // A backslash is an ordinary character here.
        {"/tmp/a\\", "/tmp/a\\/keymap.ini"},
        {std::string(longest, 'x'), std::string(longest, 'x') + "/keymap.ini"},
        {std::string(longest + 1, 'x'), std::nullopt},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE("directory of " + std::to_string(c.Directory.size()) + " characters");
        KeyMapPathBuffer buffer(posix);
        EXPECT_EQ(buffer.MakeKeyMapPath(c.Directory), c.Expected);
    }
}

TEST(MakeKeyMapPath, EmptyDirectoryGivesThePathMadeBeforeIfAny) {
    KeyMapPathBuffer buffer(kWindowsPathRules);
    EXPECT_EQ(buffer.MakeKeyMapPath(""), std::nullopt);
    ASSERT_EQ(buffer.MakeKeyMapPath("C:\\sim"), "C:\\sim\\keymap.ini");
    EXPECT_EQ(buffer.MakeKeyMapPath(""), "C:\\sim\\keymap.ini");
    // A refused directory leaves the earlier path in place.
    EXPECT_EQ(buffer.MakeKeyMapPath(std::string(300, 'x')), std::nullopt);
    EXPECT_EQ(buffer.MakeKeyMapPath(""), "C:\\sim\\keymap.ini");
}

TEST(LocateKeyMap, GivesAReasonForTheLogWhenThereIsNoPath) {
    KeyMapPathBuffer windows(kWindowsPathRules);
    const KeyMapLocation tooLong = LocateKeyMap(windows, std::string(249, 'x'));
    ASSERT_FALSE(tooLong.Ok());
    EXPECT_EQ(tooLong.Error(),
              "keymap.ini cannot be used: the current directory is longer than 248 characters");

    KeyMapPathBuffer posix(PathRules{'/', 4096});
    EXPECT_EQ(LocateKeyMap(posix, std::string(5000, 'x')).Error(),
              "keymap.ini cannot be used: the current directory is longer than 4084 characters");

    const KeyMapLocation found = LocateKeyMap(posix, "/home/pilot");
    ASSERT_TRUE(found.Ok());
    EXPECT_EQ(found.Value(), "/home/pilot/keymap.ini");
}

TEST(LocateKeyMap, FindsTheCurrentDirectory) {
    KeyMapPathBuffer buffer(NativePathRules());
    const KeyMapLocation location = LocateKeyMapInCurrentDirectory(buffer);
    ASSERT_TRUE(location.Ok()) << location.Error();
    EXPECT_EQ(std::filesystem::path(location.Value()),
              std::filesystem::current_path() / "keymap.ini");
}

}  // namespace
}  // namespace qel::test
