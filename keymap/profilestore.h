#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/result.h"

namespace qel {

// The size the key map and Mindstar readers state for a value, as into a 512-byte buffer with a
// stated size of 510: at most 509 characters of a value are seen.
inline constexpr std::size_t kProfileValueSize = 510;

// One profile file as read at one moment, with the lookup rules of GetPrivateProfileStringA.
class ProfileView {
public:
    virtual ~ProfileView() = default;
    // The value of key in section, or defaultValue (trailing spaces removed) when the file,
    // section or key is missing; at most size - 1 characters.
    [[nodiscard]] virtual std::string GetString(std::string_view section, std::string_view key,
                                                std::string_view defaultValue,
                                                std::size_t size) const = 0;
};

enum class ProfileEditKind : std::uint8_t {
    Write,          // key = value
    DeleteKey,      // the key and its value go (WritePrivateProfileStringA with no value)
    DeleteSection,  // every section of the name goes, with all it holds (no key, no value)
};

// One WritePrivateProfileStringA call: section, key, value; or one of the deletions it offers.
struct ProfileEdit {
    std::string Section;
    std::string Key;
    std::string Value;
    ProfileEditKind Kind = ProfileEditKind::Write;
};

// Reads and writes profile files. Main thread only.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Reads the file afresh; never creates it. The view is never null: a missing file reads
    // as empty. Fails, naming the file and the reason, when it exists but cannot be read.
    virtual Result<std::unique_ptr<ProfileView>> Read(const std::string& fileName) = 0;
    // Applies the edits in order, each exactly as one WritePrivateProfileStringA would, and
    // replaces the file once, atomically: on failure the old file is left as it was. The
    // failure names the file and the reason, e.g. "keymap.ini: cannot write (...)".
    virtual Status Write(const std::string& fileName, std::span<const ProfileEdit> edits) = 0;
};

}  // namespace qel
