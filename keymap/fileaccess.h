#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace qel {

// Whole-file access for the profile store: one read of everything, one atomic replacement.
// Paths are UTF-8. Main thread only; an implementation holds no state between calls.
class FileAccess {
public:
    // Larger files are refused as unreadable: no profile file is anywhere near this size, and
    // reading one whole must not exhaust memory.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;

    virtual ~FileAccess() = default;

    // Every byte of the file; nothing when there is no file by that name (a missing folder
    // included). A file that exists but cannot be read fails with
    // "<path>: cannot read (<reason>)".
    virtual Result<std::optional<std::string>> ReadWholeFile(const std::string& path) = 0;

    // Replaces the file's content by bytes, creating the file if needed but never its folder.
    // All or nothing: on failure the old file (or its absence) is left exactly as it was and
    // no stray temporary file remains. Fails with "<path>: cannot write (<reason>)".
    virtual Status ReplaceFileAtomically(const std::string& path, std::string_view bytes) = 0;
};

}  // namespace qel
