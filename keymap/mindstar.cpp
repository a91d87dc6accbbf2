#include "keymap/mindstar.h"

#include <cstddef>
#include <string>

#include "translate/catalogue.h"
#include "translate/units.h"

namespace qel {
namespace {

std::string ReadCommand(const ProfileView& file, std::string_view prefix,
                        std::string_view command) {
    std::string key(prefix);
    key += command;
    return file.GetString(kMindstarSection, key, "", kProfileValueSize);
}

void Copy(std::vector<ProfileEdit>& edits, std::size_t deviceIndex, std::string_view key,
          const std::string& value) {
    edits.push_back({std::string(kSectionNames[deviceIndex]), std::string(key), value});
}

}  // namespace

std::vector<ProfileEdit> MindstarEdits(const ProfileView& mindstarFile) {
    constexpr std::size_t kPfdUnit = 0;
    constexpr std::size_t kMfdUnit = 1;
    constexpr std::size_t kFirstAudioDevice = kBezelUnitCount;

    std::vector<ProfileEdit> edits;
    edits.reserve(2 * kMindstarDisplayCommands.size() +
                  kAudioUnitCount * kMindstarAudioCommands.size() +
                  kBezelUnitCount * kMindstarBezelCommands.size());
    for (const MindstarRow& row : kMindstarDisplayCommands) {
        Copy(edits, kPfdUnit, row.Key, ReadCommand(mindstarFile, kMindstarPfdPrefix, row.Command));
        Copy(edits, kMfdUnit, row.Key, ReadCommand(mindstarFile, kMindstarMfdPrefix, row.Command));
    }
    for (const MindstarRow& row : kMindstarAudioCommands) {
        const std::string value = ReadCommand(mindstarFile, "", row.Command);
        for (std::size_t unit = 0; unit < kAudioUnitCount; ++unit) {
            Copy(edits, kFirstAudioDevice + unit, row.Key, value);
        }
    }
    for (const MindstarRow& row : kMindstarBezelCommands) {
        const std::string value = ReadCommand(mindstarFile, "", row.Command);
        for (std::size_t unit = 0; unit < kBezelUnitCount; ++unit) {
            Copy(edits, unit, row.Key, value);
        }
    }
    return edits;
}

}  // namespace qel
