#pragma once

#include <functional>
#include <memory>

#include "app/main.h"
#include "app/simulator_link.h"
#include "app/userprompts.h"
#include "core/keycore.h"
#include "dialogs/about.h"
#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "dialogs/simulator_link_dialog.h"
#include "keymap/fileaccess.h"
#include "keymap/ini_profile_store.h"
#include "keymap/keymappath.h"
#include "core/device.h"
#include "core/hidhook.h"
#include "hid/hidlibrary_factory.h"
#include "hid/notification_queue.h"
#include "panelview/panelviewform.h"
#include "translate/keyinjector.h"
#include "translate/keylayout.h"

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

// The composition root: the program's long-lived parts, made in start-up order — the main
// window, the device module (library started, "Error loading dll" shown when it cannot), the
// key core (keymap.ini fixed in the current directory), the notification handling, the key
// settings dialog, the key capture dialog, the About box and the panel view — and the one road of
// HID notifications: library threads → queue → HidHook on the main thread. Destroyed in reverse
// order after the worker threads have stopped. Main thread only; QApplication must exist.
class Program {
public:
    explicit Program(ProgramSources sources = {});
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    TMainForm MainForm;

private:
    // Runs on the main thread whenever notifications are waiting.
    void HandleNotifications();

    std::unique_ptr<FileAccess> Files;
    IniProfileStore Store;
    std::unique_ptr<KeyLayout> Layout;
    std::unique_ptr<KeyInjector> Injector;
    HidNotificationQueue Notifications;
    // The program's one key map path buffer; the path never moves after start-up.
    KeyMapPathBuffer KeyMapPath;

public:
    TDeviceDM DeviceDM;
    KeyCore Core;
    HidHook Hook;
    TIniForm IniForm;
    TKeyForm KeyForm;
    TAboutForm AboutForm;
    TPanelViewForm PanelView;
    SimulatorLink Link;
    SimulatorLinkDialog LinkForm;
};

}  // namespace qel
