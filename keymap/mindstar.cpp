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

void Copy(std::vector<ProfileEdit>& edits, UnitId unit, std::string_view key,
          const std::string& value) {
    edits.push_back({std::string(NamesOf(unit).Section), std::string(key), value});
}

}  // namespace

std::vector<ProfileEdit> MindstarEdits(const ProfileView& mindstarFile) {
    constexpr UnitId kPfdUnit{UnitKind::Bezel, 0};
    constexpr UnitId kMfdUnit{UnitKind::Bezel, 1};

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
        for (int unit = 0; unit < kAudioUnitCount; ++unit) {
            Copy(edits, {UnitKind::Audio, unit}, row.Key, value);
        }
    }
    for (const MindstarRow& row : kMindstarBezelCommands) {
        const std::string value = ReadCommand(mindstarFile, "", row.Command);
        for (int unit = 0; unit < kBezelUnitCount; ++unit) {
            Copy(edits, {UnitKind::Bezel, unit}, row.Key, value);
        }
    }
    return edits;
}

}  // namespace qel
