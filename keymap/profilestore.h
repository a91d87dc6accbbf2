#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qel {

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

struct ProfileReadResult {
    std::unique_ptr<ProfileView> View;  // never null: a missing or unreadable file reads as empty
    std::string Error;                  // why an existing file could not be read; empty if fine
};

// One WritePrivateProfileStringA call: section, key, value.
struct ProfileEdit {
    std::string Section;
    std::string Key;
    std::string Value;
};

struct ProfileWriteResult {
    bool Ok = true;
    std::string Error;  // names the file and the reason, e.g. "keymap.ini: cannot write (...)"
};

// Reads and writes profile files. Main thread only.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // Reads the file afresh. Never creates it.
    [[nodiscard]] virtual ProfileReadResult Read(const std::string& fileName) = 0;
    // Applies the edits in order, each exactly as one WritePrivateProfileStringA would, and
    // replaces the file once, atomically: on failure the old file is left as it was.
    [[nodiscard]] virtual ProfileWriteResult Write(const std::string& fileName,
                                                   std::span<const ProfileEdit> edits) = 0;
};

}  // namespace qel
