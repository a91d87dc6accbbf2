#include "keymap/keymapfile.h"

#include <cstddef>
#include <utility>

#include "keymap/bindingslot.h"
#include "keymap/keytext.h"
#include "keymap/mindstar.h"
#include "translate/catalogue.h"

namespace qel {
namespace {

// Values are read as into a 512-byte buffer with a stated size of 510: at most 509
// characters of a value are seen.
constexpr std::size_t kValueSize = 510;

constexpr std::string_view kDefaultNoPathReason =
    "keymap.ini cannot be used: no path could be formed for it";

// What a missing file reads as; also stands in when there is no path.
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

bool IsBezelUnit(int unit) {
    return unit >= 0 && unit < kBezelUnitCount;
}
bool IsAudioUnit(int unit) {
    return unit >= 0 && unit < kAudioUnitCount;
}

std::string Joined(std::string_view first, std::string_view second) {
    std::string text(first);
    text += second;
    return text;
}

ProfileEdit Unbind(std::string_view section, std::string_view key) {
    return {std::string(section), std::string(key), std::string()};
}

}  // namespace

KeyMapFile::KeyMapFile(std::optional<std::string> iniFileName, UnitStates& units,
                       ProfileStore& store, const KeyLayout& layout, LogSink& log,
                       std::string noPathReason)
    : FileName(std::move(iniFileName)),
      Units(units),
      Store(store),
      Layout(layout),
      Log(log),
      NoPathReason(noPathReason.empty() ? std::string(kDefaultNoPathReason)
                                        : std::move(noPathReason)) {}

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
    ProfileReadResult result = Store.Read(*FileName);
    if (!result.Error.empty()) {
        Log.AppendLine(result.Error);
    }
    if (!result.View) {
        return std::make_unique<EmptyProfileView>();
    }
    return std::move(result.View);
}

bool KeyMapFile::Apply(std::span<const ProfileEdit> edits) {
    if (!FileName) {
        ReportNoPath();
        return false;
    }
    const ProfileWriteResult result = Store.Write(*FileName, edits);
    if (result.Ok) {
        return true;
    }
    // The unit state already holds the change; the user must learn the file does not.
    Log.AppendLine(result.Error.empty() ? *FileName + ": cannot write" : result.Error);
    return false;
}

KeyCode KeyMapFile::ReadKey(const ProfileView& file, std::string_view section,
                            std::string_view key) {
    return ParseKeyText(file.GetString(section, key, "", kValueSize), Layout, Log);
}

void KeyMapFile::FillButtonKeys(const ProfileView& file, std::string_view section,
                                std::span<ButtonState> buttons,
                                std::span<const std::string_view> names) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].Name = names[i];
        buttons[i].Key = ReadKey(file, section, buttons[i].Name);
    }
}

void KeyMapFile::FillRotaryKeys(const ProfileView& file, std::string_view section,
                                std::span<RotaryState> rotaries,
                                std::span<const std::string_view> names) {
    for (std::size_t i = 0; i < rotaries.size(); ++i) {
        RotaryState& rotary = rotaries[i];
        rotary.Name = names[i];
        rotary.DecrKey = ReadKey(file, section, Joined(rotary.Name, kDecrSuffix));
        rotary.IncrKey = ReadKey(file, section, Joined(rotary.Name, kIncrSuffix));
    }
}

void KeyMapFile::FillBezelKeys(const ProfileView& file, std::string_view section, int unit) {
    BezelUnitState& state = Units.BezelUnits[static_cast<std::size_t>(unit)];
    FillButtonKeys(file, section, state.Buttons, kBezelButtonNames);
    FillRotaryKeys(file, section, state.Rotaries, kBezelRotaryNames);
    for (std::size_t i = 0; i < kPanDirectionSuffixes.size(); ++i) {
        ButtonState& direction = state.PanDirections[i];
        direction.Name = Joined(kPanDirectionPrefix, kPanDirectionSuffixes[i]);
        direction.Key = ReadKey(file, section, direction.Name);
    }
    state.PanPush.Name = kPanPushName;
    state.PanPush.Key = ReadKey(file, section, state.PanPush.Name);
}

void KeyMapFile::FillAudioKeys(const ProfileView& file, std::string_view section, int unit) {
    AudioUnitState& state = Units.AudioUnits[static_cast<std::size_t>(unit)];
    // Unnamed positions read the key "": unbound unless someone wrote a "=" line.
    FillButtonKeys(file, section, state.Buttons, kAudioButtonNames);
    FillRotaryKeys(file, section, state.Rotaries, kAudioRotaryNames);
}

void KeyMapFile::ReadBezelKeys(std::string_view section, int unit) {
    if (!IsBezelUnit(unit)) {
        return;
    }
    const std::unique_ptr<ProfileView> file = OpenForReading();
    FillBezelKeys(*file, section, unit);
}

void KeyMapFile::ReadAudioKeys(std::string_view section, int unit) {
    if (!IsAudioUnit(unit)) {
        return;
    }
    const std::unique_ptr<ProfileView> file = OpenForReading();
    FillAudioKeys(*file, section, unit);
}

void KeyMapFile::FillAllKeys(const ProfileView& file) {
    for (int unit = 0; unit < kBezelUnitCount; ++unit) {
        FillBezelKeys(file, kSectionNames[static_cast<std::size_t>(unit)], unit);
    }
    for (int unit = 0; unit < kAudioUnitCount; ++unit) {
        FillAudioKeys(file, kSectionNames[static_cast<std::size_t>(kBezelUnitCount + unit)], unit);
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
                           BindingKeyName(deviceIndex, slot), KeyCodeToText(code)};
    // A failure is logged by Apply; the binding stays in effect for this run.
    (void)Apply(std::span<const ProfileEdit>(&edit, 1));
}

void KeyMapFile::AddButtonClears(std::vector<ProfileEdit>& edits, std::string_view section,
                                 std::span<ButtonState> buttons,
                                 std::span<const std::string_view> names) {
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].Key = 0;
        edits.push_back(Unbind(section, names[i]));
    }
}

void KeyMapFile::AddRotaryClears(std::vector<ProfileEdit>& edits, std::string_view section,
                                 std::span<RotaryState> rotaries,
                                 std::span<const std::string_view> names) {
    for (std::size_t i = 0; i < rotaries.size(); ++i) {
        edits.push_back(Unbind(section, Joined(names[i], kDecrSuffix)));
        rotaries[i].DecrKey = 0;
        edits.push_back(Unbind(section, Joined(names[i], kIncrSuffix)));
        rotaries[i].IncrKey = 0;
    }
}

void KeyMapFile::AddBezelClears(std::vector<ProfileEdit>& edits, std::string_view section,
                                int unit) {
    // Keys come from the catalogue, not from the records: a unit never read still clears
    // under the right names, and the records keep their Names.
    BezelUnitState& state = Units.BezelUnits[static_cast<std::size_t>(unit)];
    AddButtonClears(edits, section, state.Buttons, kBezelButtonNames);
    AddRotaryClears(edits, section, state.Rotaries, kBezelRotaryNames);
    for (std::size_t i = 0; i < kPanDirectionSuffixes.size(); ++i) {
        edits.push_back(Unbind(section, Joined(kPanDirectionPrefix, kPanDirectionSuffixes[i])));
        state.PanDirections[i].Key = 0;
    }
    edits.push_back(Unbind(section, kPanPushName));
    state.PanPush.Key = 0;
}

void KeyMapFile::AddAudioClears(std::vector<ProfileEdit>& edits, std::string_view section,
                                int unit) {
    AudioUnitState& state = Units.AudioUnits[static_cast<std::size_t>(unit)];
    // The unnamed positions write the line "=", so they read back as unbound.
    AddButtonClears(edits, section, state.Buttons, kAudioButtonNames);
    AddRotaryClears(edits, section, state.Rotaries, kAudioRotaryNames);
}

void KeyMapFile::ClearBezelKeys(std::string_view section, int unit) {
    if (!IsBezelUnit(unit)) {
        return;
    }
    std::vector<ProfileEdit> edits;
    AddBezelClears(edits, section, unit);
    (void)Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

void KeyMapFile::ClearAudioKeys(std::string_view section, int unit) {
    if (!IsAudioUnit(unit)) {
        return;
    }
    std::vector<ProfileEdit> edits;
    AddAudioClears(edits, section, unit);
    (void)Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

void KeyMapFile::ClearAllKeys() {
    // All six sections in one replacement of the file: never half cleared.
    std::vector<ProfileEdit> edits;
    edits.reserve(kBezelUnitCount * kBezelSlotCount + kAudioUnitCount * kAudioSlotCount);
    for (int unit = 0; unit < kBezelUnitCount; ++unit) {
        AddBezelClears(edits, kSectionNames[static_cast<std::size_t>(unit)], unit);
    }
    for (int unit = 0; unit < kAudioUnitCount; ++unit) {
        AddAudioClears(edits, kSectionNames[static_cast<std::size_t>(kBezelUnitCount + unit)],
                       unit);
    }
    (void)Apply(edits);  // a failure is logged; the unit state is cleared regardless
}

bool KeyMapFile::ImportMindstar(const std::string& fileName) {
    if (!FileName) {
        ReportNoPath();
        return false;
    }
    ProfileReadResult mindstar = Store.Read(fileName);
    if (!mindstar.Error.empty() || !mindstar.View) {
        // Importing an unreadable file would unbind all 220 keys: keep keymap.ini instead.
        Log.AppendLine(mindstar.Error.empty() ? fileName + ": cannot read" : mindstar.Error);
        return false;
    }
    const std::vector<ProfileEdit> edits = MindstarEdits(*mindstar.View);
    if (Apply(edits)) {
        ReadAllKeys();
        return true;
    }
    // Read back even after a failed write: the unit state then shows what the file holds.
    // A file that could not even be read for the write is already named in the log; saying
    // so a second time for the same import would only look like a second failure.
    const ProfileReadResult back = Store.Read(*FileName);
    if (!back.View) {
        ReadAllKeys();
        return false;
    }
    FillAllKeys(*back.View);
    return false;
}

}  // namespace qel
