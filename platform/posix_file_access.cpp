#include "platform/posix_file_access.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <utility>

#include "platform/file_access_factory.h"

namespace qel {
namespace {

constexpr mode_t kNewFileMode = 0644;  // less the umask, applied by open()
constexpr mode_t kPermissionBits = 07777;
constexpr int kNameAttempts = 100;
constexpr std::size_t kReadChunk = 64 * 1024;

Failure Failed(const std::string& path, const char* operation, const std::string& reason) {
    return {path + ": " + operation + " (" + reason + ")"};
}

Failure Failed(const std::string& path, const char* operation, int error) {
    return Failed(path, operation, std::strerror(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : Fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (Fd >= 0) ::close(Fd);
    }
    [[nodiscard]] int Get() const { return Fd; }
    // Closes now, so that a failing close (delayed write error on some file systems) is seen.
    [[nodiscard]] int Close() {
        const int result = ::close(Fd);
        Fd = -1;
        return result;
    }

private:
    int Fd;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file to replace: the target of a symbolic link, so the link itself survives.
std::string ResolvedTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// Removes the temporary file unless the rename made it the real one.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!Name.empty()) ::unlink(Name.c_str());
    }
    // Creates a file of a name nobody else uses, in folder; returns its descriptor or -1.
    int Create(const std::string& folder, const std::string& baseName, mode_t mode) {
        std::random_device entropy;
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            const std::uint64_t tag = (std::uint64_t{entropy()} << 32) ^ entropy();
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(tag));
            std::string name = folder + "/." + baseName + suffix + ".tmp";
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                Name = std::move(name);
                return fd;
            }
            if (errno != EEXIST) return -1;
        }
        errno = EEXIST;
        return -1;
    }
    [[nodiscard]] const std::string& Path() const { return Name; }
    void Keep() { Name.clear(); }

private:
    std::string Name;
};

}  // namespace

Result<std::optional<std::string>> PosixFileAccess::ReadWholeFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO by mistake must not hang the program.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::optional<std::string>();
        return Failed(path, "cannot read", errno);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) return Failed(path, "cannot read", errno);
    if (S_ISDIR(status.st_mode)) return Failed(path, "cannot read", EISDIR);
    if (!S_ISREG(status.st_mode)) return Failed(path, "cannot read", "not a regular file");
    if (static_cast<std::uint64_t>(status.st_size) > kMaxFileBytes) {
        return Failed(path, "cannot read", EFBIG);
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[kReadChunk];
    for (;;) {
        const ssize_t count = ::read(file.Get(), chunk, sizeof chunk);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            return Failed(path, "cannot read", errno);
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
        // The file may grow while it is read.
        if (bytes.size() > kMaxFileBytes) return Failed(path, "cannot read", EFBIG);
    }
    return std::optional<std::string>(std::move(bytes));
}

Status PosixFileAccess::ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    auto failed = [&path](int error) { return Failed(path, "cannot write", error); };
    const std::string target = ResolvedTarget(path);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return failed(errno);
    if (exists) {
        if (S_ISDIR(old.st_mode)) return failed(EISDIR);
        if (!S_ISREG(old.st_mode)) {
            return Failed(path, "cannot write", "not a regular file");
        }
        // A file the user made read-only stays unchanged, as an in-place write would.
        if (::access(target.c_str(), W_OK) != 0) return failed(errno);
    }

    TemporaryFile temporary;
    FileDescriptor file(temporary.Create(FolderOf(target), BaseNameOf(target),
                                         exists ? (old.st_mode & kPermissionBits) : kNewFileMode));
    if (file.Get() < 0) return failed(errno);
    if (exists) {
        // open() applied the umask; the old file's exact mode and owner are wanted. Only a
        // privileged process may change the owner, so that failure is expected and harmless.
        if (::fchmod(file.Get(), old.st_mode & kPermissionBits) != 0) return failed(errno);
        [[maybe_unused]] const int owned = ::fchown(file.Get(), old.st_uid, old.st_gid);
    }

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            Calls.Write(file.Get(), bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return failed(count < 0 ? errno : EIO);
        written += static_cast<std::size_t>(count);
    }
    if (Calls.Fsync(file.Get()) != 0) return failed(errno);
    if (file.Close() != 0) return failed(errno);
    if (Calls.Rename(temporary.Path().c_str(), target.c_str()) != 0) return failed(errno);
    temporary.Keep();

    // Makes the rename itself durable. The new content is already in place whatever happens
    // here, so a failure (some file systems cannot sync a folder) is no failure of the write.
    FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        [[maybe_unused]] const int synced = ::fsync(folder.Get());
    }
    return {};
}

std::unique_ptr<FileAccess> CreateFileAccess() {
    return std::make_unique<PosixFileAccess>();
}

}  // namespace qel
