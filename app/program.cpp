#include "app/program.h"

#include "platform/file_access_factory.h"
#include "platform/key_injector_factory.h"

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
    if (!load.Library) {
        mainForm.Prompter().ShowError(QString::fromUtf8(kLoadErrorText));
    }
    return std::move(load.Library);
}

}  // namespace

Program::Program(ProgramSources sources)
    : MainForm(std::move(sources.Prompts)),
      Files(FilesOrDefault(std::move(sources.Files))),
      Store(*Files),
      Injector(MakeInjector(sources.MakeKeyInjector, MainForm.Log())),
      Gate(*MainForm.KeyCB),
      Translator(MainForm.Units, *Injector, MainForm.Log(), Gate),
      StatusView({MainForm.Label1, MainForm.Label2, MainForm.Label3, MainForm.Label4,
                  MainForm.Label5, MainForm.Label7},
                 *MainForm.StatusPanel(0)),
      DeviceDM(StartHidLibrary(sources.MakeHidLibrary, MainForm),
               MainForm.MakeNotificationPoster()),
      Hook(DeviceDM, StatusView,
           [this](int productId, ReceiveBuffer buffer) {
               Translator.DecodeReport(productId, buffer);
           }),
      IniForm(MainForm.Units, Store, Layout, MainForm.Log(), &MainForm),
      KeyForm(IniForm, &MainForm),
      AboutForm(&MainForm) {
    MainForm.Link({&DeviceDM, &Hook, &IniForm.KeyMap(), &IniForm, &AboutForm});
}

Program::~Program() {
    // The threads write through the device module: they stop, and the library is
    // disconnected, before anything here goes.
    MainForm.FormClose();
}

}  // namespace qel
