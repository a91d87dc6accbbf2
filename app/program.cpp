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

SessionParts PartsOf(ProgramSources& sources, QObject& mainThread, KeyMapLocation keyMap) {
    using MakeLibrary = std::function<HidLibraryLoad(LogSink&)>;
    using MakeInjector = std::function<std::unique_ptr<KeyInjector>(LogSink&)>;
    return SessionParts{
        .MakeLibrary = sources.MakeHidLibrary ? std::move(sources.MakeHidLibrary)
                                              : MakeLibrary(CreateHidLibrary),
        .MakeInjector = sources.MakeKeyInjector
                            ? std::move(sources.MakeKeyInjector)
                            : MakeInjector([](LogSink& log) { return CreateKeyInjector(log); }),
        .Layout = CreateKeyLayout(),
        .KeyMap = std::move(keyMap),
        // Queued invocations run on the main thread, one at a time, in the order posted.
        .PostToMain =
            [&mainThread](std::function<void()> task) {
                QMetaObject::invokeMethod(&mainThread, std::move(task), Qt::QueuedConnection);
            },
    };
}

}  // namespace

Program::Program(ProgramSources sources)
    : Files(FilesOrDefault(std::move(sources.Files))),
      Store(*Files),
      KeyMapPath(NativePathRules()),
      Session(PartsOf(sources, MainThread, LocateKeyMapInCurrentDirectory(KeyMapPath)), Store),
      Link(Session.Keys(), Store, Session.Keys().KeyMapFileName(), Session.Log()),
      MainForm(Session, Link, std::move(sources.Prompts)) {
    if (const std::optional<std::string>& problem = Session.LibraryProblem()) {
        // The log shows only in debug mode; whoever started the program sees why at once, and
        // the program runs on without panels.
        std::fprintf(stderr, "qel1000keysend: %s\n", problem->c_str());
        MainForm.Prompter().ShowError(QString::fromUtf8(kLoadErrorText));
    }
}

Program::~Program() {
    // The pollers write through the library: they stop, and it is disconnected, before
    // anything here goes.
    MainForm.FormClose();
}

}  // namespace qel
