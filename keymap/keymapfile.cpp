#include "keymap/keymapfile.h"

#include <cstddef>
#include <utility>

#include "keymap/bindingslot.h"
#include "keymap/keytext.h"
#include "keymap/mindstar.h"
#include "translate/bindings.h"
#include "translate/catalogue.h"

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

bool KeyMapFile::Apply(std::span<const ProfileEdit> edits) {
    if (!FileName) {
        ReportNoPath();
        return false;
    }
    const Status written = Store.Write(*FileName, edits);
    if (!written) {
        // The unit state already holds the change; the user must learn the file does not.
        Log.AppendLine(written.Error());
    }
    return written.Ok();
}

void KeyMapFile::FillKeys(const ProfileView& file, std::string_view section, int deviceIndex) {
    // Slot order is catalogue order, so "Unknown key" lines come in that order. The unnamed
    // audio positions read the key "": unbound unless someone wrote a "=" line.
    ForEachBinding(Units, deviceIndex, [&](const Binding& binding, BindingPlace place) {
        place.Name = binding.Control;
        place.Key = ParseKeyText(file.GetString(section, binding.KeyName(), "", kProfileValueSize),
                                 Layout, Log);
    });
}

void KeyMapFile::FillAllKeys(const ProfileView& file) {
    for (int device = 0; device < kDeviceCount; ++device) {
        FillKeys(file, kSectionNames[static_cast<std::size_t>(device)], device);
    }
}

void KeyMapFile::ReadBezelKeys(std::string_view section, int unit) {
    if (IsBezelUnitIndex(unit)) {
        FillKeys(*OpenForReading(), section, unit);
    }
}

void KeyMapFile::ReadAudioKeys(std::string_view section, int unit) {
    if (IsAudioUnitIndex(unit)) {
        FillKeys(*OpenForReading(), section, kFirstAudioDeviceIndex + unit);
    }
}

void KeyMapFile::ReadAllKeys() {
    // One reading for all six sections: one snapshot, and one log line if it fails.
    FillAllKeys(*OpenForReading());
}

void KeyMapFile::WriteKey(int deviceIndex, int slot, KeyCode code) {
    KeyCode* field = BindingField(Units, deviceIndex, slot);
    if (field == nullptr) {
        return;
    }
    *field = code;
    const ProfileEdit edit{std::string(kSectionNames[static_cast<std::size_t>(deviceIndex)]),
                           BindingKeyName(deviceIndex, slot), KeyCodeToText(code, Layout)};
    // A failure is logged by Apply; the binding stays in effect for this run.
    (void)Apply(std::span<const ProfileEdit>(&edit, 1));
}

void KeyMapFile::AddClears(std::vector<ProfileEdit>& edits, std::string_view section,
                           int deviceIndex) {
    // Keys come from the catalogue, not from the records: a unit never read still clears
    // under the right names, and the records keep their Names. The unnamed audio positions
    // write the line "=", so they read back as unbound.
    ForEachBinding(Units, deviceIndex, [&](const Binding& binding, BindingPlace place) {
        place.Key = 0;
        edits.push_back({std::string(section), binding.KeyName(), std::string()});
    });
}

void KeyMapFile::ClearKeys(std::string_view section, int deviceIndex) {
    std::vector<ProfileEdit> edits;
    AddClears(edits, section, deviceIndex);
    (void)Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

void KeyMapFile::ClearBezelKeys(std::string_view section, int unit) {
    if (IsBezelUnitIndex(unit)) {
        ClearKeys(section, unit);
    }
}

void KeyMapFile::ClearAudioKeys(std::string_view section, int unit) {
    if (IsAudioUnitIndex(unit)) {
        ClearKeys(section, kFirstAudioDeviceIndex + unit);
    }
}

void KeyMapFile::ClearAllKeys() {
    // All six sections in one replacement of the file: never half cleared.
    std::vector<ProfileEdit> edits;
    edits.reserve(kBezelUnitCount * kBezelSlotCount + kAudioUnitCount * kAudioSlotCount);
    for (int device = 0; device < kDeviceCount; ++device) {
        AddClears(edits, kSectionNames[static_cast<std::size_t>(device)], device);
    }
    (void)Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

bool KeyMapFile::ImportMindstar(const std::string& fileName) {
    if (!FileName) {
        ReportNoPath();
        return false;
    }
    const Result<std::unique_ptr<ProfileView>> mindstar = Store.Read(fileName);
    if (!mindstar) {
        // Importing an unreadable file would unbind all 220 keys: keep keymap.ini instead.
        Log.AppendLine(mindstar.Error());
        return false;
    }
    if (Apply(MindstarEdits(*mindstar.Value()))) {
        ReadAllKeys();
        return true;
    }
    // Read back even after a failed write: the unit state then shows what the file holds.
    // A file that could not even be read for the write is already named in the log; saying
    // so a second time for the same import would only look like a second failure, so it
    // reads as unbound without a line.
    const Result<std::unique_ptr<ProfileView>> back = Store.Read(*FileName);
    if (back) {
        FillAllKeys(*back.Value());
    } else {
        FillAllKeys(EmptyProfileView());
    }
    return false;
}

}  // namespace qel
