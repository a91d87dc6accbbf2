#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "keymap/keylayout.h"
#include "keymap/profilestore.h"
#include "translate/keycode.h"
#include "translate/logsink.h"
#include "translate/unitstate.h"

namespace qel {

// keymap.ini: reads every unit's names and bindings into the unit state, writes single
// bindings, clears all, and imports a Mindstar key file. Main thread only. With no path,
// nothing is read or written and the log says once why the key map cannot be used.
class KeyMapFile {
public:
    KeyMapFile(std::optional<std::string> iniFileName, UnitStates& units, ProfileStore& store,
               const KeyLayout& layout, LogSink& log);

    [[nodiscard]] const std::optional<std::string>& IniFileName() const { return FileName; }

    void ReadBezelKeys(std::string_view section, int unit);
    void ReadAudioKeys(std::string_view section, int unit);
    // The six reads of start-up: qel_1000_0..3 with bezel units 0-3, then qel_audio_0..1.
    void ReadAllKeys();

    // Stores one binding of device index 0-5 (bezel 0-3, audio 4-5) by binding slot number,
    // in the unit state and in the file.
    void WriteKey(int deviceIndex, int slot, KeyCode code);

    void ClearBezelKeys(std::string_view section, int unit);
    void ClearAudioKeys(std::string_view section, int unit);
    void ClearAllKeys();

    // Copies the Mindstar commands of fileName's KEYBOARD section, then reads all units back.
    void ImportMindstar(const std::string& fileName);

private:
    std::optional<std::string> FileName;
    UnitStates& Units;
    ProfileStore& Store;
    const KeyLayout& Layout;
    LogSink& Log;
};

}  // namespace qel
