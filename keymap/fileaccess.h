#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qel {

// Whole-file access for the profile store: one read of everything, one atomic replacement.
// Paths are UTF-8. Main thread only; an implementation holds no state between calls.
class FileAccess {
public:
    // Larger files are refused as unreadable: no profile file is anywhere near this size, and
    // reading one whole must not exhaust memory.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;

    enum class ReadStatus {
        Ok,       // Bytes holds the whole file
        Missing,  // no file by that name (a missing folder included)
        Failed,   // it exists but cannot be read; Error says why
    };

    struct ReadResult {
        ReadStatus Status = ReadStatus::Missing;
        std::string Bytes;
        std::string Error;  // "<path>: cannot read (<reason>)" when Failed, else empty
    };

    struct WriteResult {
        bool Ok = true;
        std::string Error;  // "<path>: cannot write (<reason>)" when !Ok, else empty
    };

    virtual ~FileAccess() = default;

    [[nodiscard]] virtual ReadResult ReadWholeFile(const std::string& path) = 0;

    // Replaces the file's content by bytes, creating the file if needed but never its folder.
    // All or nothing: on failure the old file (or its absence) is left exactly as it was and
    // no stray temporary file remains.
    [[nodiscard]] virtual WriteResult ReplaceFileAtomically(const std::string& path,
                                                            std::string_view bytes) = 0;
};

}  // namespace qel
