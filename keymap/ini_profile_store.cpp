#include "keymap/ini_profile_store.h"

#include <memory>
#include <utility>

#include "keymap/profiletext.h"

namespace qel {
namespace {

class TextView final : public ProfileView {
public:
    explicit TextView(std::string bytes) : Text(std::move(bytes)) {}
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t size) const override {
        return Text.GetString(section, key, defaultValue, size);
    }

private:
    ProfileText Text;
};

}  // namespace

ProfileReadResult IniProfileStore::Read(const std::string& fileName) {
    FileAccess::ReadResult file = Files.ReadWholeFile(fileName);
    if (file.Status != FileAccess::ReadStatus::Ok) {
        return {std::make_unique<TextView>(std::string{}), std::move(file.Error)};
    }
    return {std::make_unique<TextView>(std::move(file.Bytes)), {}};
}

ProfileWriteResult IniProfileStore::Write(const std::string& fileName,
                                          std::span<const ProfileEdit> edits) {
    if (edits.empty()) return {};
    FileAccess::ReadResult file = Files.ReadWholeFile(fileName);
    // A file that exists but cannot be read must not be replaced by one built from nothing.
    if (file.Status == FileAccess::ReadStatus::Failed) return {false, std::move(file.Error)};

    const bool existed = file.Status == FileAccess::ReadStatus::Ok;
    ProfileText text(existed ? file.Bytes : std::string{});
    for (const ProfileEdit& edit : edits) {
        if (!text.WriteString(edit.Section, edit.Key, edit.Value)) {
            return {false, fileName + ": cannot write (line break or NUL in a name or value)"};
        }
    }
    std::string bytes = text.Bytes();
    // Rewriting identical bytes would only risk the file for nothing.
    if (existed && bytes == file.Bytes) return {};
    FileAccess::WriteResult written = Files.ReplaceFileAtomically(fileName, bytes);
    return {written.Ok, std::move(written.Error)};
}

}  // namespace qel
