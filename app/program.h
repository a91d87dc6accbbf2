#pragma once

#include <functional>
#include <memory>

#include "app/checkboxgate.h"
#include "app/main.h"
#include "app/statusview.h"
#include "app/userprompts.h"
#include "dialogs/about.h"
#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "keymap/fileaccess.h"
#include "keymap/ini_profile_store.h"
#include "keymap/us_layout.h"
#include "panel/device.h"
#include "panel/hidhook.h"
#include "panel/hidlibrary_factory.h"
#include "translate/keyinjector.h"
#include "translate/translator.h"

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

// The program's long-lived parts, made in start-up order: the main window (ready for HID
// notifications), the device module (library started, "Error loading dll" shown when it
// cannot), the key settings dialog (keymap.ini fixed in the current directory), the key
// capture dialog and the About box. Destroyed in reverse order after the worker threads
// have stopped. Main thread only; QApplication must exist.
class Program {
public:
    explicit Program(ProgramSources sources = {});
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TMainForm MainForm;

private:
    std::unique_ptr<FileAccess> Files;
    IniProfileStore Store;
    UsEnglishLayout Layout;
    std::unique_ptr<KeyInjector> Injector;
    CheckBoxGate Gate;
    InputTranslator Translator;
    LabelStatusView StatusView;

public:
    TDeviceDM DeviceDM;
    HidHook Hook;
    TIniForm IniForm;
    TKeyForm KeyForm;
    TAboutForm AboutForm;
};

}  // namespace qel
