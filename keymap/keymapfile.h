#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "keymap/keymappath.h"
#include "keymap/profilestore.h"
#include "translate/keycode.h"
#include "translate/keylayout.h"
#include "base/logsink.h"
#include "base/result.h"
#include "translate/units.h"
#include "translate/unitstate.h"

namespace qel {

// keymap.ini: reads every unit's names and bindings into the unit state, writes single
// bindings, clears all, and imports a Mindstar key file. Main thread only. With no path,
// nothing is read or written and the log says once why the key map cannot be used (the
// location's failure, from LocateKeyMap). Reads see a missing file,
// section or key as unbound; a file that exists but cannot be read logs one line per
// operation and reads as unbound. A failed write still changes the unit state, logs one
// line per operation naming the file and the reason, and returns that failure so the
// user can be told the change lasts only for this run.
class KeyMapFile {
public:
    KeyMapFile(KeyMapLocation location, UnitStates& units, ProfileStore& store,
               const KeyLayout& layout, LogSink& log);

    [[nodiscard]] const std::optional<std::string>& IniFileName() const { return FileName; }

    // Sets every control's Name from the catalogue and reads its bindings, in catalogue
    // order, so "Unknown key" lines come in that order. An id that names no unit of the
    // function's kind is ignored.
    void ReadBezelKeys(std::string_view section, UnitId unit);
    void ReadAudioKeys(std::string_view section, UnitId unit);
    // The six reads of start-up: qel_1000_0..3 with bezel units 0-3, then qel_audio_0..1,
    // from one reading of the file.
    // Gives back the file as read (empty when it could not be used), for whatever else of
    // keymap.ini start-up reads, so the file is read once.
    std::unique_ptr<ProfileView> ReadAllKeys();

    // Stores one binding of a unit by binding slot number, in the unit state and in the file
    // (0 as an empty value). Units and slots out of range are ignored. The Status says whether
    // the file holds it.
    Status WriteKey(UnitId unit, int slot, KeyCode code);

    // Unbind every key of one unit (or of all six) in the unit state and in the file, with
    // one replacement of the file per call. Names stay as they are; an id that names no unit of
    // the function's kind changes nothing. The Status says whether the file holds it.
    Status ClearBezelKeys(std::string_view section, UnitId unit);
    Status ClearAudioKeys(std::string_view section, UnitId unit);
    Status ClearAllKeys();

    // Copies the Mindstar commands of fileName's KEYBOARD section (220 keys, one replacement
    // of keymap.ini), then reads all units back. Nothing, with a log line, when the Mindstar
    // file could not be read or there is no key map path: nothing is changed then. When
    // keymap.ini could not be written, the imported keys still take effect for this run over
    // the unit state as it was, and the Status says why the file does not hold them.
    [[nodiscard]] std::optional<Status> ImportMindstar(const std::string& fileName);

private:
    // The file as it is now; an empty view, after the log line, when it cannot be used.
    std::unique_ptr<ProfileView> OpenForReading();
    // Names the records of one unit and reads their bindings from section.
    void FillKeys(const ProfileView& file, std::string_view section, UnitId unit);
    void FillAllKeys(const ProfileView& file);
    // Unbinds every binding of one unit, adding its edits under section.
    void AddClears(std::vector<ProfileEdit>& edits, std::string_view section, UnitId unit);
    Status ClearKeys(std::string_view section, UnitId unit);
    // The edits' keys into the unit state, as reading them back from a written file would
    // give them; keys the edits do not name keep what the unit state holds.
    void ApplyToUnits(std::span<const ProfileEdit> edits);
    // One replacement of the file; its failure (after the log line) when it failed or there
    // is no path.
    Status Apply(std::span<const ProfileEdit> edits);
    void ReportNoPath();

    std::optional<std::string> FileName;
    UnitStates& Units;
    ProfileStore& Store;
    const KeyLayout& Layout;
    LogSink& Log;
    std::string NoPathReason;
    bool NoPathReported = false;
};

}  // namespace qel
