#include "platform/posix_file_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "keymap/ini_profile_store.h"

namespace qel {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "qel-files-XXXXXX").string();
        const char* made = ::mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        Root = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::permissions(Root, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(Root, ignored);
    }
    [[nodiscard]] std::string Path(const std::string& name) const { return (Root / name).string(); }
    [[nodiscard]] std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(Root)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    fs::path Root;
};

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

TEST(PosixFileAccess, ReadTellsMissingFromUnreadableAndGivesEveryByte) {
    TemporaryFolder folder;
    const std::string bytes = "[S]\r\nk=a\0b\r\n\xFF"s;
    Put(folder.Path("keymap.ini"), bytes);
    fs::create_directory(folder.Path("folder.ini"));
    ::mkfifo(folder.Path("fifo.ini").c_str(), 0600);
    Put(folder.Path("big.ini"), "");
    fs::resize_file(folder.Path("big.ini"), FileAccess::kMaxFileBytes + 1);  // sparse

    struct Case {
        const char* Name;
        std::string Path;
        std::optional<std::string> Bytes;  // nothing: no such file
        std::string Error;                 // empty: read
    };
    const std::vector<Case> cases = {
        {"whole file", folder.Path("keymap.ini"), bytes, ""},
        {"no file", folder.Path("none.ini"), std::nullopt, ""},
        {"no folder", folder.Path("gone/keymap.ini"), std::nullopt, ""},
        {"a file where a folder should be", folder.Path("keymap.ini/x.ini"), std::nullopt, ""},
        {"a folder", folder.Path("folder.ini"), std::nullopt,
         folder.Path("folder.ini") + ": cannot read (Is a directory)"},
        {"a FIFO does not hang", folder.Path("fifo.ini"), std::nullopt,
         folder.Path("fifo.ini") + ": cannot read (not a regular file)"},
        {"too large", folder.Path("big.ini"), std::nullopt,
         folder.Path("big.ini") + ": cannot read (File too large)"},
    };
    PosixFileAccess files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const Result<std::optional<std::string>> read = files.ReadWholeFile(c.Path);
        ASSERT_EQ(read.Ok(), c.Error.empty());
        if (read.Ok()) {
            EXPECT_EQ(read.Value(), c.Bytes);
        } else {
            EXPECT_EQ(read.Error(), c.Error);
        }
    }
}

TEST(PosixFileAccess, ReplaceCreatesOrReplacesKeepingModeAndLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    const std::string path = folder.Path("keymap.ini");
    PosixFileAccess files;

    const mode_t umaskNow = ::umask(022);
    ASSERT_TRUE(files.ReplaceFileAtomically(path, "first\0"s).Ok());
    EXPECT_EQ(Get(path), "first\0"s);
    EXPECT_EQ(ModeOf(path), 0644u);

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(files.ReplaceFileAtomically(path, "second").Ok());
    ::umask(umaskNow);
    EXPECT_EQ(Get(path), "second");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keymap.ini"});
}

TEST(PosixFileAccess, ReplaceThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    TemporaryFolder folder;
    fs::create_directory(folder.Path("real"));
    Put(folder.Path("real/keymap.ini"), "old");
    fs::create_symlink(folder.Path("real/keymap.ini"), folder.Path("keymap.ini"));

    PosixFileAccess files;
    ASSERT_TRUE(files.ReplaceFileAtomically(folder.Path("keymap.ini"), "new").Ok());
    EXPECT_TRUE(fs::is_symlink(folder.Path("keymap.ini")));
    EXPECT_EQ(Get(folder.Path("real/keymap.ini")), "new");
}

TEST(PosixFileAccess, ReplaceThatCannotHappenReportsWhyAndCreatesNothing) {
    TemporaryFolder folder;
    fs::create_directory(folder.Path("folder.ini"));
    Put(folder.Path("plain"), "x");
    struct Case {
        const char* Name;
        std::string Path;
        std::string Error;
    };
    const std::vector<Case> cases = {
        {"folder removed", folder.Path("gone/keymap.ini"),
         folder.Path("gone/keymap.ini") + ": cannot write (No such file or directory)"},
        {"file replaced by a folder", folder.Path("folder.ini"),
         folder.Path("folder.ini") + ": cannot write (Is a directory)"},
        {"a file where the folder should be", folder.Path("plain/keymap.ini"),
         folder.Path("plain/keymap.ini") + ": cannot write (Not a directory)"},
    };
    PosixFileAccess files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const Status written = files.ReplaceFileAtomically(c.Path, "[S]\r\n");
        ASSERT_FALSE(written.Ok());
        EXPECT_EQ(written.Error(), c.Error);
        EXPECT_EQ(folder.Names().size(), 2u);
        EXPECT_TRUE(fs::is_directory(folder.Path("folder.ini")));
        EXPECT_TRUE(fs::is_empty(folder.Path("folder.ini")));
    }
}

TEST(PosixFileAccess, ReadOnlyFileOrFolderIsLeftAsItWas) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TemporaryFolder folder;
    const std::string readOnlyFile = folder.Path("file.ini");
    Put(readOnlyFile, "old");
    ::chmod(readOnlyFile.c_str(), 0444);
    fs::create_directory(folder.Path("locked"));
    const std::string inLockedFolder = folder.Path("locked/keymap.ini");
    Put(inLockedFolder, "old");
    ::chmod(folder.Path("locked").c_str(), 0555);

    PosixFileAccess files;
    for (const std::string& path : {readOnlyFile, inLockedFolder}) {
        SCOPED_TRACE(path);
        const Status written = files.ReplaceFileAtomically(path, "new");
        ASSERT_FALSE(written.Ok());
        EXPECT_EQ(written.Error(), path + ": cannot write (Permission denied)");
        EXPECT_EQ(Get(path), "old");
    }
}

// Failing system calls for the seam; each sets errno as the kernel would.
ssize_t WriteFailsDiskFull(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}
ssize_t WriteOneByteAtATime(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size > 0 ? 1 : 0);
}
ssize_t WriteHalfThenDiskFull(int fd, const void* data, std::size_t size) {
    if (size <= 3) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size / 2);
}
int FsyncFailsIo(int) {
    errno = EIO;
    return -1;
}
int RenameFailsReadOnly(const char*, const char*) {
    errno = EROFS;
    return -1;
}

TEST(PosixFileAccess, FailureHalfWayKeepsTheOldFileWholeAndRemovesTheTemporaryFile) {
    struct Case {
        const char* Name;
        PosixFileCalls Calls;
        std::string Reason;
    };
    const std::vector<Case> cases = {
        {"disk full at once", {WriteFailsDiskFull, ::fsync, ::rename}, "No space left on device"},
        {"disk full half-way",
         {WriteHalfThenDiskFull, ::fsync, ::rename},
         "No space left on device"},
        {"flush fails", {::write, FsyncFailsIo, ::rename}, "Input/output error"},
        {"rename refused", {::write, ::fsync, RenameFailsReadOnly}, "Read-only file system"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TemporaryFolder folder;
        const std::string path = folder.Path("keymap.ini");
        Put(path, "[S]\r\nk=old\r\n");
        PosixFileAccess files(c.Calls);
        const Status written =
            files.ReplaceFileAtomically(path, "[S]\r\nk=new value that is longer\r\n");
        ASSERT_FALSE(written.Ok());
        EXPECT_EQ(written.Error(), path + ": cannot write (" + c.Reason + ")");
        EXPECT_EQ(Get(path), "[S]\r\nk=old\r\n");
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"keymap.ini"});
    }
}

TEST(PosixFileAccess, ShortWritesStillWriteEverything) {
    TemporaryFolder folder;
    const std::string path = folder.Path("keymap.ini");
    PosixFileAccess files({WriteOneByteAtATime, ::fsync, ::rename});
    ASSERT_TRUE(files.ReplaceFileAtomically(path, "[S]\r\nk=v\r\n").Ok());
    EXPECT_EQ(Get(path), "[S]\r\nk=v\r\n");
}

TEST(PosixFileAccess, ProfileStoreOnRealFilesWritesOnceAndReportsAGoneFolder) {
    TemporaryFolder folder;
    const std::string path = folder.Path("keymap.ini");
    PosixFileAccess files;
    IniProfileStore store(files);

    const std::vector<ProfileEdit> edits = {{"qel_1000_0", "softkey_1", "F1"},
                                            {"qel_1000_0", "", ""}};
    ASSERT_TRUE(store.Write(path, edits).Ok());
    EXPECT_EQ(Get(path), "[qel_1000_0]\r\nsoftkey_1=F1\r\n=\r\n");
    const Result<std::unique_ptr<ProfileView>> read = store.Read(path);
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.Value()->GetString("QEL_1000_0", "SOFTKEY_1", "", 510), "F1");

    const std::string gone = folder.Path("gone/keymap.ini");
    const Status failed = store.Write(gone, edits);
    ASSERT_FALSE(failed.Ok());
    EXPECT_EQ(failed.Error(), gone + ": cannot write (No such file or directory)");
    EXPECT_FALSE(fs::exists(folder.Path("gone")));
}

}  // namespace
}  // namespace qel
