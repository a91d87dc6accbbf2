#include "app/program.h"

#include <cstdio>

#include <QMetaObject>

#include "platform/current_directory.h"
#include "platform/file_access_factory.h"
#include "platform/key_injector_factory.h"
#include "platform/key_layout_factory.h"

namespace qel {

namespace {

std::unique_ptr<FileAccess> FilesOrDefault(std::unique_ptr<FileAccess> files) {
    return files ? std::move(files) : CreateFileAccess();
}

std::unique_ptr<KeyInjector> MakeInjector(
    const std::function<std::unique_ptr<KeyInjector>(LogSink&)>& make, LogSink& log) {
    return make ? make(log) : CreateKeyInjector(log);
}

// The library for the device module. When it cannot start, the user is told and the program
// runs on without panels; the reason is in the log already.
std::unique_ptr<HidLibrary> StartHidLibrary(const std::function<HidLibraryLoad(LogSink&)>& make,
                                            TMainForm& mainForm) {
    HidLibraryLoad load = make ? make(mainForm.Log()) : CreateHidLibrary(mainForm.Log());
    if (!load) {
        // The log shows only in debug mode; whoever started the program sees why at once.
        std::fprintf(stderr, "qel1000keysend: %s\n", load.Error().c_str());
        mainForm.Prompter().ShowError(QString::fromUtf8(kLoadErrorText));
        return nullptr;
    }
    return std::move(load).Value();
}

}  // namespace

Program::Program(ProgramSources sources)
    : MainForm(std::move(sources.Prompts)),
      Files(FilesOrDefault(std::move(sources.Files))),
      Store(*Files),
      Layout(CreateKeyLayout()),
      Injector(MakeInjector(sources.MakeKeyInjector, MainForm.Log())),
      // Queued invocations run on the main thread, one at a time, in the order posted.
      Notifications([this] {
          QMetaObject::invokeMethod(
              &MainForm, [this] { HandleNotifications(); }, Qt::QueuedConnection);
      }),
      KeyMapPath(NativePathRules()),
      DeviceDM(StartHidLibrary(sources.MakeHidLibrary, MainForm), Notifications.Poster()),
      Core(LocateKeyMapInCurrentDirectory(KeyMapPath), Store, *Layout, *Injector, MainForm.Log(),
           MainForm.Gate()),
      Hook(DeviceDM, MainForm.StatusView(),
           [this](int productId, ReceiveBuffer report) {
               Core.Translator.DecodeReport(productId, report);
           }),
      IniForm(Core, &MainForm),
      KeyForm(&MainForm),
      AboutForm(&MainForm),
      PanelView(
          Core,
          [this](int deviceIndex) {
              return DeviceDM.Handles[static_cast<std::size_t>(deviceIndex)].load(
                         std::memory_order_relaxed) != 0;
          },
          &MainForm),
      Link(Core.Translator, Store, Core.KeyMap.IniFileName(), MainForm.Log()),
      LinkForm([this](const LinkSettings& settings,
                      std::function<void(std::string)> done) { Link.Test(settings, done); },
               &MainForm) {
    Link.SetStateView([this](const QString& text) { MainForm.ShowLinkState(text); });
    IniForm.SetKeyCapturer(&KeyForm);
    PanelView.SetKeyCapturer(&KeyForm);
    PanelView.SetLinkCommands(&Link);
    QObject::connect(&IniForm, &TIniForm::SaveFailed, &MainForm, &TMainForm::ShowSaveFailure);
    QObject::connect(&PanelView, &TPanelViewForm::SaveFailed, &MainForm,
                     &TMainForm::ShowSaveFailure);
    MainForm.Link({&DeviceDM, &Hook, &Core.KeyMap, &IniForm, &AboutForm, &PanelView, &Core.Units,
                   &Core.Layout, &Link, &LinkForm});
}

Program::~Program() {
    // The threads write through the device module: they stop, and the library is
    // disconnected, before anything here goes.
    MainForm.FormClose();
}

void Program::HandleNotifications() {
    // After the library is disconnected, notifications still queued have nothing to act on.
    if (MainForm.IsClosing()) {
        Notifications.Drain([](const HidNotification&) {});
        return;
    }
    Notifications.Drain(
        [this](const HidNotification& notification) { Hook.HidMessageHook(notification); });
}

}  // namespace qel
