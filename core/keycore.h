#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/logsink.h"
#include "base/result.h"
#include "keymap/keymapfile.h"
#include "keymap/keymappath.h"
#include "keymap/profilestore.h"
#include "translate/commandoutput.h"
#include "translate/controlobserver.h"
#include "translate/keygate.h"
#include "translate/keyinjector.h"
#include "translate/keylayout.h"
#include "translate/translator.h"
#include "translate/unitstate.h"

namespace qel {

// The key core: every unit's controls and bindings, keymap.ini, and the translation of input
// reports into keystrokes, commands and log lines. Windows read the bindings and change them
// through the verbs; the parts stay inside. Main thread only. Everything passed in must outlive
// the core.
class KeyCore {
public:
    // keyMap fixes the path of keymap.ini (or why there is none) for the whole run.
    KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
            KeyInjector& injector, LogSink& log, const KeyGate& gate);

    KeyCore(const KeyCore&) = delete;
    KeyCore& operator=(const KeyCore&) = delete;

    // One input report of an accepted unit.
    void Decode(UnitId unit, ReceiveBuffer report) { Translator.DecodeReport(unit, report); }

    // Reads every unit's bindings from keymap.ini; returns the file as read, for the settings
    // kept beside the bindings.
    std::unique_ptr<ProfileView> ReadBindings() { return KeyMap.ReadAllKeys(); }
    // Each change is in effect at once; the result says whether keymap.ini kept it.
    Status BindSlot(UnitId unit, int slot, KeyCode code) {
        return KeyMap.WriteKey(unit, slot, code);
    }
    Status ClearAll() { return KeyMap.ClearAllKeys(); }
    // Nothing when the file could not be read as a Mindstar key file (the log says why).
    [[nodiscard]] std::optional<Status> Import(const std::string& fileName) {
        return KeyMap.ImportMindstar(fileName);
    }

    // Who hears every control event (null: nobody), and where claimed controls send their
    // commands (null: every control types its key).
    void WatchControls(ControlObserver* observer) { Translator.SetControlObserver(observer); }
    void SendCommandsThrough(CommandOutput* output) { Translator.SetCommandOutput(output); }

    [[nodiscard]] const UnitStates& Units() const { return UnitState; }
    // What key text is read and written with, everywhere it is shown or stored.
    [[nodiscard]] const KeyLayout& Layout() const { return KeyLayoutInUse; }
    [[nodiscard]] const std::optional<std::string>& KeyMapFileName() const {
        return KeyMap.IniFileName();
    }

private:
    const KeyLayout& KeyLayoutInUse;
    UnitStates UnitState;
    KeyMapFile KeyMap;
    InputTranslator Translator;
};

}  // namespace qel
