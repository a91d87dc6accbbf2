#include "keymap/keymapfile.h"

#include <cstddef>
#include <utility>

#include "keymap/bindingslot.h"
#include "keymap/keytext.h"
#include "keymap/mindstar.h"
#include "keymap/profiletext.h"
#include "translate/bindings.h"
#include "translate/catalogue.h"
#include "translate/units.h"

namespace qel {
namespace {

// Stands in for a file that cannot be used: every value is the default.
class EmptyProfileView final : public ProfileView {
public:
    std::string GetString(std::string_view, std::string_view, std::string_view defaultValue,
                          std::size_t size) const override {
        std::string value(defaultValue.substr(0, size == 0 ? 0 : size - 1));
        while (!value.empty() && value.back() == ' ') {
            value.pop_back();
        }
        return value;
    }
};

}  // namespace

KeyMapFile::KeyMapFile(KeyMapLocation location, UnitStates& units, ProfileStore& store,
                       const KeyLayout& layout, LogSink& log)
    : Units(units), Store(store), Layout(layout), Log(log) {
    if (location) {
        FileName = std::move(location).Value();
    } else {
        NoPathReason = location.Error();
    }
}

void KeyMapFile::ReportNoPath() {
    // Once per run: every later operation would only repeat the same line.
    if (!NoPathReported) {
        NoPathReported = true;
        Log.AppendLine(NoPathReason);
    }
}

std::unique_ptr<ProfileView> KeyMapFile::OpenForReading() {
    if (!FileName) {
        ReportNoPath();
        return std::make_unique<EmptyProfileView>();
    }
    Result<std::unique_ptr<ProfileView>> read = Store.Read(*FileName);
    if (!read) {
        Log.AppendLine(read.Error());
        return std::make_unique<EmptyProfileView>();
    }
    return std::move(read).Value();
}

Status KeyMapFile::Apply(std::span<const ProfileEdit> edits) {
    if (!FileName) {
        ReportNoPath();
        return Failure{NoPathReason};
    }
    Status written = Store.Write(*FileName, edits);
    if (!written) {
        // The unit state already holds the change; the user must learn the file does not.
        Log.AppendLine(written.Error());
    }
    return written;
}

void KeyMapFile::FillKeys(const ProfileView& file, std::string_view section, UnitId unit) {
    // Slot order is catalogue order, so "Unknown key" lines come in that order. The unnamed
    // audio positions read the key "": unbound unless someone wrote a "=" line.
    ForEachBinding(Units, unit, [&](const Binding& binding, BindingPlace place) {
        place.Name = binding.Control;
        place.Key = ParseKeyText(file.GetString(section, binding.KeyName(), "", kProfileValueSize),
                                 Layout, Log);
    });
}

void KeyMapFile::FillAllKeys(const ProfileView& file) {
    for (const UnitNames& unit : kUnits) {
        FillKeys(file, unit.Section, unit.Id);
    }
}

void KeyMapFile::ReadBezelKeys(std::string_view section, UnitId unit) {
    if (Units.BezelOf(unit) != nullptr) {
        FillKeys(*OpenForReading(), section, unit);
    }
}

void KeyMapFile::ReadAudioKeys(std::string_view section, UnitId unit) {
    if (Units.AudioOf(unit) != nullptr) {
        FillKeys(*OpenForReading(), section, unit);
    }
}

std::unique_ptr<ProfileView> KeyMapFile::ReadAllKeys() {
    // One reading for all six sections: one snapshot, and one log line if it fails.
    std::unique_ptr<ProfileView> file = OpenForReading();
    FillAllKeys(*file);
    return file;
}

Status KeyMapFile::WriteKey(UnitId unit, int slot, KeyCode code) {
    KeyCode* field = BindingField(Units, unit, slot);
    if (field == nullptr) {
        return {};
    }
    *field = code;
    const ProfileEdit edit{std::string(NamesOf(unit).Section), BindingKeyName(unit, slot),
                           KeyCodeToText(code, Layout)};
    // A failure is logged by Apply; the binding stays in effect for this run.
    return Apply(std::span<const ProfileEdit>(&edit, 1));
}

void KeyMapFile::AddClears(std::vector<ProfileEdit>& edits, std::string_view section, UnitId unit) {
    // Keys come from the catalogue, not from the records: a unit never read still clears
    // under the right names, and the records keep their Names. The unnamed audio positions
    // write the line "=", so they read back as unbound.
    ForEachBinding(Units, unit, [&](const Binding& binding, BindingPlace place) {
        place.Key = 0;
        edits.push_back({std::string(section), binding.KeyName(), std::string()});
    });
}

Status KeyMapFile::ClearKeys(std::string_view section, UnitId unit) {
    std::vector<ProfileEdit> edits;
    AddClears(edits, section, unit);
    return Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

Status KeyMapFile::ClearBezelKeys(std::string_view section, UnitId unit) {
    return Units.BezelOf(unit) != nullptr ? ClearKeys(section, unit) : Status{};
}

Status KeyMapFile::ClearAudioKeys(std::string_view section, UnitId unit) {
    return Units.AudioOf(unit) != nullptr ? ClearKeys(section, unit) : Status{};
}

Status KeyMapFile::ClearAllKeys() {
    // All six sections in one replacement of the file: never half cleared.
    std::vector<ProfileEdit> edits;
    edits.reserve(kBezelUnitCount * kBezelSlotCount + kAudioUnitCount * kAudioSlotCount);
    for (const UnitNames& unit : kUnits) {
        AddClears(edits, unit.Section, unit.Id);
    }
    return Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

void KeyMapFile::ApplyToUnits(std::span<const ProfileEdit> edits) {
    // The same text rules as a written file, so each key reads as it would have read back.
    ProfileText written;
    for (const ProfileEdit& edit : edits) {
        // Values read from a profile file hold no line break or NUL, the only refusals.
        (void)written.WriteString(edit.Section, edit.Key, edit.Value);
    }
    // No profile value can hold a line break: it marks the keys the edits leave alone.
    constexpr std::string_view kNotEdited = "\n";
    for (const UnitNames& unit : kUnits) {
        const std::string_view section = unit.Section;
        ForEachBinding(Units, unit.Id, [&](const Binding& binding, BindingPlace place) {
            place.Name = binding.Control;
            const std::string value =
                written.GetString(section, binding.KeyName(), kNotEdited, kProfileValueSize);
            if (value != kNotEdited) {
                place.Key = ParseKeyText(value, Layout, Log);
            }
        });
    }
}

std::optional<Status> KeyMapFile::ImportMindstar(const std::string& fileName) {
    if (!FileName) {
        ReportNoPath();
        return std::nullopt;
    }
    const Result<std::unique_ptr<ProfileView>> mindstar = Store.Read(fileName);
    if (!mindstar) {
        // Importing an unreadable file would unbind all 220 keys: keep keymap.ini instead.
        Log.AppendLine(mindstar.Error());
        return std::nullopt;
    }
    const std::vector<ProfileEdit> edits = MindstarEdits(*mindstar.Value());
    Status written = Apply(edits);
    if (written) {
        ReadAllKeys();
    } else {
        // As a binding or a clearing does: the working copy takes the change for this run.
        // Reading the file back instead would also undo the unsaved changes made before.
        ApplyToUnits(edits);
    }
    return written;
}

}  // namespace qel
