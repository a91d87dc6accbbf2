#pragma once

#include <span>
#include <string>

#include "keymap/fileaccess.h"
#include "keymap/profilestore.h"

namespace qel {

// Profile files with the rules of the Windows profile functions, on every platform.
// Every call reads the file afresh through files; a write batch replaces the file at most once,
// atomically. When a batch leaves the bytes exactly as they were, the file is not touched.
// Main thread only. files must outlive the store.
class IniProfileStore final : public ProfileStore {
public:
    explicit IniProfileStore(FileAccess& files) : Files(files) {}

    Result<std::unique_ptr<ProfileView>> Read(const std::string& fileName) override;
    Status Write(const std::string& fileName, std::span<const ProfileEdit> edits) override;

private:
    FileAccess& Files;
};

}  // namespace qel
