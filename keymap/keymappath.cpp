#include "keymap/keymappath.h"

#include <climits>
#include <filesystem>
#include <string>

namespace qel {
namespace {

// PATH_MAX where the system declares one (POSIX), else the Windows MAX_PATH buffer.
#if defined(PATH_MAX)
constexpr std::size_t kNativePathLimit = PATH_MAX;
#else
constexpr std::size_t kNativePathLimit = 260;
#endif

}  // namespace

std::string KeyMapUnusable(std::string_view why) {
    std::string reason(kKeyMapFileName);
    reason += " cannot be used: ";
    reason += why;
    return reason;
}

PathRules NativePathRules() {
    return {static_cast<char>(std::filesystem::path::preferred_separator), kNativePathLimit};
}

std::size_t KeyMapPathBuffer::LongestDirectory() const {
    // The separator, the file name and the terminator take the rest of the buffer.
    const std::size_t tail = 1 + kKeyMapFileName.size() + 1;
    return Rules.Limit > tail ? Rules.Limit - tail : 0;
}

std::optional<std::string> KeyMapPathBuffer::MakeKeyMapPath(std::string_view directory) {
    if (directory.empty()) {
        if (Path.empty()) {
            return std::nullopt;
        }
        return Path;
    }
    std::size_t length = directory.size();
    // Only one: a root such as "D:\" must not give "D:\\keymap.ini".
    if (directory.back() == Rules.Separator) {
        --length;
    }
    if (length > LongestDirectory()) {
        return std::nullopt;
    }
    Path.assign(directory.substr(0, length));
    Path += Rules.Separator;
    Path += kKeyMapFileName;
    return Path;
}

KeyMapLocation LocateKeyMap(KeyMapPathBuffer& buffer, std::string_view directory) {
    if (std::optional<std::string> path = buffer.MakeKeyMapPath(directory)) {
        return std::move(*path);
    }
    if (directory.empty()) {
        return Failure{KeyMapUnusable("the current directory is unknown")};
    }
    return KeyMapDirectoryTooLong(buffer);
}

Failure KeyMapDirectoryTooLong(const KeyMapPathBuffer& buffer) {
    return Failure{KeyMapUnusable("the current directory is longer than " +
                                  std::to_string(buffer.LongestDirectory()) + " characters")};
}

}  // namespace qel
