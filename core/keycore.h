#pragma once

#include "keymap/keymapfile.h"
#include "keymap/keymappath.h"
#include "keymap/profilestore.h"
#include "translate/keygate.h"
#include "translate/keyinjector.h"
#include "translate/keylayout.h"
#include "base/logsink.h"
#include "translate/translator.h"
#include "translate/unitstate.h"

namespace qel {

// The key core: every unit's controls and bindings, keymap.ini, and the translation of input
// reports into keystrokes and log lines. One owner (the program's composition root, or a
// replay session); windows show and change it through references. Main thread only.
// Everything passed in must outlive the core.
class KeyCore {
public:
    // keyMap fixes the path of keymap.ini (or why there is none) for the whole run.
    KeyCore(KeyMapLocation keyMap, ProfileStore& store, const KeyLayout& layout,
            KeyInjector& injector, LogSink& log, const KeyGate& gate);

    KeyCore(const KeyCore&) = delete;
    KeyCore& operator=(const KeyCore&) = delete;

    // What key text is read and written with, everywhere it is shown or stored.
    const KeyLayout& Layout;
    UnitStates Units;
    KeyMapFile KeyMap;
    InputTranslator Translator;
};

}  // namespace qel
