#include "keymap/ini_profile_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keymap/profiletext.h"
#include "keymap/utf16text.h"
#include "support/memory_file_access.h"

namespace qel {
namespace {

using test::MemoryFileAccess;

constexpr const char* kPath = "/home/user/keymap.ini";

TEST(IniProfileStore, MissingFileReadsAsDefaultsUnreadableOneFailsAndNeitherIsCreated) {
    MemoryFileAccess files;
    files.FailReads("/locked/keymap.ini", "Permission denied");
    IniProfileStore store(files);

    const Result<std::unique_ptr<ProfileView>> missing = store.Read(kPath);
    ASSERT_TRUE(missing.Ok());
    EXPECT_EQ(missing.Value()->GetString("S", "k", "d  ", 510), "d");

    const Result<std::unique_ptr<ProfileView>> locked = store.Read("/locked/keymap.ini");
    ASSERT_FALSE(locked.Ok());
    EXPECT_EQ(locked.Error(), "/locked/keymap.ini: cannot read (Permission denied)");

    EXPECT_TRUE(files.Files.empty());
    EXPECT_EQ(files.WriteCount, 0u);
}

TEST(IniProfileStore, EveryCallReadsTheFileAfreshSoHandEditsAreNeverLost) {
    MemoryFileAccess files;
    IniProfileStore store(files);
    files.Files[kPath] = "[S]\r\nk=1\r\n";
    EXPECT_EQ(store.Read(kPath).Value()->GetString("S", "k", "", 510), "1");

    files.Files[kPath] = "; edited by hand\r\n[S]\r\nk=2\r\n";
    EXPECT_EQ(store.Read(kPath).Value()->GetString("S", "k", "", 510), "2");

    const std::vector<ProfileEdit> edit = {{"S", "j", "3"}};
    ASSERT_TRUE(store.Write(kPath, edit).Ok());
    EXPECT_EQ(files.Files[kPath], "; edited by hand\r\n[S]\r\nk=2\r\nj=3\r\n");
}

TEST(IniProfileStore, BatchIsAppliedAsSingleWritesInOrderAndReplacesTheFileOnce) {
    MemoryFileAccess files;
    IniProfileStore store(files);
    const std::string original = ";keys\r\n[qel_1000_0]\r\nsoftkey_1=F1\r\n\r\n[other]\r\nx=y";
    files.Files[kPath] = original;

    // As "Delete All Keys" does: six sections, 380 writes, most of them new.
    std::vector<ProfileEdit> edits;
    for (int unit = 0; unit < 6; ++unit) {
        const std::string section =
            unit < 4 ? "qel_1000_" + std::to_string(unit) : "qel_audio_" + std::to_string(unit - 4);
        for (int key = 0; key < (unit < 4 ? 77 : 36); ++key) {
            edits.push_back({section, key == 0 ? "softkey_1" : "key_" + std::to_string(key), ""});
        }
    }
    ASSERT_EQ(edits.size(), 380u);
    ASSERT_TRUE(store.Write(kPath, edits).Ok());
    EXPECT_EQ(files.WriteCount, 1u);

    ProfileText oneByOne(original);
    for (const ProfileEdit& edit : edits) {
        ASSERT_TRUE(oneByOne.WriteString(edit.Section, edit.Key, edit.Value));
    }
    EXPECT_EQ(files.Files[kPath], oneByOne.Bytes());
    EXPECT_EQ(store.Read(kPath).Value()->GetString("qel_audio_1", "key_35", "d", 510), "");
}

TEST(IniProfileStore, FailedOrRefusedWriteLeavesTheFileAsItWasAndSaysWhy) {
    const std::string original = "[S]\r\nk=old\r\n";
    struct Case {
        const char* Name;
        std::string ReadFailure;
        std::string WriteFailure;
        ProfileEdit Edit;
        std::string Error;
        std::size_t Replacements;
    };
    const std::vector<Case> cases = {
        {"disk full",
         "",
         "No space left on device",
         {"S", "k", "new"},
         std::string(kPath) + ": cannot write (No space left on device)",
         1},
        {"read-only",
         "",
         "Read-only file system",
         {"S", "k", "new"},
         std::string(kPath) + ": cannot write (Read-only file system)",
         1},
        {"unreadable file is not rebuilt from nothing",
         "Permission denied",
         "",
         {"S", "k", "new"},
         std::string(kPath) + ": cannot write (cannot read it first: Permission denied)",
         0},
        {"line break in a value",
         "",
         "",
         {"S", "k", "F1\r\n[T]"},
         std::string(kPath) + ": cannot write (line break or NUL in a name or value)",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MemoryFileAccess files;
        files.Files[kPath] = original;
        if (!c.ReadFailure.empty()) files.FailReads(kPath, c.ReadFailure);
        if (!c.WriteFailure.empty()) files.FailWrites(kPath, c.WriteFailure);
        IniProfileStore store(files);
        const std::vector<ProfileEdit> edits = {{"S", "a", "1"}, c.Edit};
        const Status written = store.Write(kPath, edits);
        ASSERT_FALSE(written.Ok());
        EXPECT_EQ(written.Error(), c.Error);
        EXPECT_EQ(files.WriteCount, c.Replacements);
        EXPECT_EQ(files.Files[kPath], original);
    }
}

TEST(IniProfileStore, WriteThatChangesNoByteLeavesTheFileAlone) {
    struct Case {
        const char* Name;
        bool Exists;
        std::vector<ProfileEdit> Edits;
        std::size_t Replacements;
    };
    const std::vector<Case> cases = {
        {"same value again", true, {{"s", "K", "v"}}, 0},
        {"empty batch, no file", false, {}, 0},
        {"empty value into a missing file creates it", false, {{"S", "k", ""}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MemoryFileAccess files;
        if (c.Exists) files.Files[kPath] = "[S]\r\nk=v\r\n";
        IniProfileStore store(files);
        EXPECT_TRUE(store.Write(kPath, c.Edits).Ok());
        EXPECT_EQ(files.WriteCount, c.Replacements);
        EXPECT_EQ(files.Files.count(kPath), c.Exists || c.Replacements ? 1u : 0u);
    }
}

TEST(IniProfileStore, Utf16FileStaysUtf16) {
    MemoryFileAccess files;
    files.Files[kPath] = std::string("\xFF\xFE") + EncodeUtf16Le("[S]\r\nk=v\r\n");
    IniProfileStore store(files);
    const std::vector<ProfileEdit> edits = {{"S", "k", "w"}};
    ASSERT_TRUE(store.Write(kPath, edits).Ok());
    EXPECT_EQ(files.Files[kPath], std::string("\xFF\xFE") + EncodeUtf16Le("[S]\r\nk=w\r\n"));
    EXPECT_EQ(store.Read(kPath).Value()->GetString("S", "k", "", 510), "w");
}

}  // namespace
}  // namespace qel
