#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "app/main.h"
#include "app/simulator_link.h"
#include "app/userprompts.h"
#include "core/panel_session.h"
#include "hid/hidlibrary_factory.h"
#include "keymap/fileaccess.h"
#include "keymap/ini_profile_store.h"
#include "keymap/keymappath.h"
#include "translate/keyinjector.h"

namespace qel {

// Where the program meets the outside world. The defaults are the real ones; tests swap in
// virtual panels, a recording keyboard and scripted answers.
struct ProgramSources {
    // Empty or null members take the real ones: CreateHidLibrary, CreateKeyInjector,
    // CreateFileAccess and Qt's dialogs.
    std::function<HidLibraryLoad(LogSink&)> MakeHidLibrary;
    std::function<std::unique_ptr<KeyInjector>(LogSink&)> MakeKeyInjector;
    std::unique_ptr<FileAccess> Files;
    std::unique_ptr<UserPrompts> Prompts;
};

// The composition root: the session first (library started, keymap.ini fixed in the current
// directory, the one road of HID notifications: library threads → queue → main thread), then
// the simulator link, then the windows, which show the session and own none of it. "Error
// loading dll" is shown when the library cannot start. Destroyed in reverse order, after the
// session has stopped its pollers. Main thread only; QApplication must exist.
class Program {
public:
    explicit Program(ProgramSources sources = {});
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

private:
    // What the session's posted tasks run in: it outlives the session, so none runs after it.
    QObject MainThread;
    std::unique_ptr<FileAccess> Files;
    IniProfileStore Store;
    // The program's one key map path buffer; the path never moves after start-up.
    KeyMapPathBuffer KeyMapPath;

public:
    PanelSession Session;
    SimulatorLink Link;
    TMainForm MainForm;
};

}  // namespace qel
