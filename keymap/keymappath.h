#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace qel {

inline constexpr std::string_view kKeyMapFileName = "keymap.ini";

// How a directory and the file name become a path: the separator put between them and the
// longest path allowed, terminator included.
struct PathRules {
    char Separator;
    std::size_t Limit;
};

// Windows: a backslash, and the 260-byte buffer of MAX_PATH.
inline constexpr PathRules kWindowsPathRules{'\\', 260};

// The running platform's separator and PATH_MAX (or MAX_PATH).
[[nodiscard]] PathRules NativePathRules();

// The program's one key map path buffer. Not thread-safe; main thread only.
class KeyMapPathBuffer {
public:
    explicit KeyMapPathBuffer(PathRules rules) : Rules(rules) {}

    // directory + separator + "keymap.ini", one trailing separator of directory dropped.
    // An empty directory gives the path made before, if any. A path that would not fit the
    // limit gives nothing and leaves the path made before as it was.
    [[nodiscard]] std::optional<std::string> MakeKeyMapPath(std::string_view directory);

    // The longest directory (without a trailing separator) that still fits.
    [[nodiscard]] std::size_t LongestDirectory() const;

private:
    PathRules Rules;
    std::string Path;  // empty until a path was made
};

// A key map path, or why there is none: one log line, e.g. "keymap.ini cannot be used:
// the current directory is longer than 4084 characters".
using KeyMapLocation = Result<std::string>;

// The key map path for directory, with the reason when it cannot be formed.
[[nodiscard]] KeyMapLocation LocateKeyMap(KeyMapPathBuffer& buffer, std::string_view directory);

// The reason line for a key map that cannot be used: "keymap.ini cannot be used: " + why.
[[nodiscard]] std::string KeyMapUnusable(std::string_view why);

// The failure of a current directory longer than the buffer allows.
[[nodiscard]] Failure KeyMapDirectoryTooLong(const KeyMapPathBuffer& buffer);

}  // namespace qel
