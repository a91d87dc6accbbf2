// keymap.ini faults only POSIX calls can bring about on demand, through the file access's
// system call seam: a full disk, at once or half-way, and a read-only file system.
#include <sys/types.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "disk_bench.h"
#include "platform/posix_file_access.h"

namespace qel::test {

PlatformFaultWords PlatformFaults() {
    return {"No such file or directory", "Is a directory", "Permission denied", ::geteuid() != 0};
}

namespace {

ssize_t WriteFailsDiskFull(int, const void*, std::size_t) {
    errno = ENOSPC;
    return -1;
}

ssize_t WriteHalfThenDiskFull(int fd, const void* data, std::size_t size) {
    if (size > 1) return ::write(fd, data, size / 2);
    errno = ENOSPC;
    return -1;
}

int RenameFailsReadOnly(const char*, const char*) {
    errno = EROFS;
    return -1;
}

std::function<std::unique_ptr<FileAccess>()> Through(PosixFileCalls calls) {
    return [calls] { return std::make_unique<PosixFileAccess>(calls); };
}

TEST(KeyMapFileOnDisk, FailedPosixCallsKeepTheUnitStateLogTheFailureOnceAndLeaveTheFileWhole) {
    const std::vector<Fault> faults = {
        {"disk full at once", Through({WriteFailsDiskFull, ::fsync, ::rename}), [](DiskBench&) {},
         ": cannot write (No space left on device)", true},
        {"disk full half-way", Through({WriteHalfThenDiskFull, ::fsync, ::rename}),
         [](DiskBench&) {}, ": cannot write (No space left on device)", true},
        {"read-only file system", Through({::write, ::fsync, RenameFailsReadOnly}),
         [](DiskBench&) {}, ": cannot write (Read-only file system)", true},
    };
    for (const Fault& fault : faults) {
        ExpectFailedWritesLeaveTheDiskAlone(fault);
    }
}

TEST(KeyMapFileOnDisk, AfterTheFaultIsMendedTheNextWriteStoresEverythingAgain) {
    // A full disk must not poison later writes: the file is still the one to use.
    DiskBench full(
        std::make_unique<PosixFileAccess>(PosixFileCalls{WriteFailsDiskFull, ::fsync, ::rename}));
    full.Map.ReadAllKeys();
    ASSERT_FALSE(full.Map.WriteKey(BezelUnit(0), 13, kF2).Ok());
    ASSERT_EQ(full.Log.Lines.size(), 1U);

    DiskBench mended;  // the same file, the disk with room again
    Put(mended.KeyMapPath(), Get(full.KeyMapPath()));
    mended.Map.ReadAllKeys();
    ASSERT_EQ(mended.Units.BezelUnits[0].Buttons[13].Key, kF1);
    EXPECT_TRUE(mended.Map.ImportMindstar(Utf8(mended.MindstarPath())).value().Ok());
    EXPECT_TRUE(mended.Log.Lines.empty());
    EXPECT_EQ(mended.Units.BezelUnits[0].Buttons[13].Key, kF2);
    EXPECT_EQ(mended.Units.AudioUnits[0].Buttons[13].Key, kCtrlB);
    EXPECT_EQ(mended.Units.AudioUnits[1].Buttons[13].Key, kCtrlB);
    EXPECT_EQ(mended.Entries(), std::vector<std::string>{"keymap.ini"});
}

}  // namespace
}  // namespace qel::test
