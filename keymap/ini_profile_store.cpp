#include "keymap/ini_profile_store.h"

#include <memory>
#include <optional>
#include <string>
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

// "PATH: cannot read (REASON)" as the failure of the write that needed the read.
std::string AsWriteFailure(const std::string& fileName, const std::string& readError) {
    constexpr std::string_view kRead = ": cannot read (";
    std::string reason = readError;
    if (const auto at = readError.find(kRead); at != std::string::npos && readError.back() == ')') {
        reason = readError.substr(at + kRead.size(), readError.size() - at - kRead.size() - 1);
    }
    return fileName + ": cannot write (cannot read it first: " + reason + ")";
}

}  // namespace

Result<std::unique_ptr<ProfileView>> IniProfileStore::Read(const std::string& fileName) {
    Result<std::optional<std::string>> file = Files.ReadWholeFile(fileName);
    if (!file) return Failure{file.Error()};
    std::unique_ptr<ProfileView> view =
        std::make_unique<TextView>(std::move(file).Value().value_or(std::string{}));
    return view;
}

Status IniProfileStore::Write(const std::string& fileName, std::span<const ProfileEdit> edits) {
    if (edits.empty()) return {};
    const Result<std::optional<std::string>> file = Files.ReadWholeFile(fileName);
    // A file that exists but cannot be read must not be replaced by one built from nothing.
    // What failed is the write the user asked for; the read is why.
    if (!file) return Failure{AsWriteFailure(fileName, file.Error())};

    const std::optional<std::string>& old = file.Value();
    ProfileText text(old.value_or(std::string{}));
    for (const ProfileEdit& edit : edits) {
        switch (edit.Kind) {
            case ProfileEditKind::Write:
                if (!text.WriteString(edit.Section, edit.Key, edit.Value)) {
                    return Failure{fileName +
                                   ": cannot write (line break or NUL in a name or value)"};
                }
                break;
            case ProfileEditKind::DeleteKey:
                text.DeleteKey(edit.Section, edit.Key);
                break;
            case ProfileEditKind::DeleteSection:
                text.DeleteSection(edit.Section);
                break;
        }
    }
    const std::string bytes = text.Bytes();
    // Rewriting identical bytes would only risk the file for nothing.
    if (old && bytes == *old) return {};
    return Files.ReplaceFileAtomically(fileName, bytes);
}

}  // namespace qel
