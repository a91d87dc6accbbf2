#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "keymap/fileaccess.h"

namespace qel {

// The system calls of a replacement that can fail half-way (disk full, I/O error, a rename
// refused); tests substitute failing ones.
struct PosixFileCalls {
    ssize_t (*Write)(int fd, const void* data, std::size_t size) = ::write;
    int (*Fsync)(int fd) = ::fsync;
    int (*Rename)(const char* from, const char* to) = ::rename;
};

// Files through POSIX calls. A replacement writes a temporary file next to the old one
// (same mode and owner, or 0644 less the umask for a new file), flushes it, renames it over the
// old one and flushes the folder. A symbolic link is followed: its target is replaced.
// A file the caller may not write (a read-only file) is refused as it would be in place.
class PosixFileAccess final : public FileAccess {
public:
    explicit PosixFileAccess(PosixFileCalls calls = {}) : Calls(calls) {}

    Result<std::optional<std::string>> ReadWholeFile(const std::string& path) override;
    Status ReplaceFileAtomically(const std::string& path, std::string_view bytes) override;

private:
    PosixFileCalls Calls;
};

}  // namespace qel
