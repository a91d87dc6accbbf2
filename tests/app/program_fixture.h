#pragma once

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFileDialog>
#include <gtest/gtest.h>

#include "app/program.h"
#include "app/userprompts.h"
#include "hid/virtual_library.h"
#include "support/recording_injector.h"

namespace qel::test {

// What the user was asked and shown, and the answers scripted for the next questions.
struct PromptScript {
    std::deque<bool> ConfirmAnswers;                 // empty: Cancel
    std::deque<std::optional<QString>> FileChoices;  // empty: the dialog is cancelled
    std::vector<std::string> Shown;                  // "confirm: ...", "message: ...", ...
};

class ScriptedPrompts final : public UserPrompts {
public:
    explicit ScriptedPrompts(PromptScript& script) : Script(script) {}

    bool Confirm(const QString& text) override {
        Script.Shown.push_back("confirm: " + text.toStdString());
        if (Script.ConfirmAnswers.empty()) {
            return false;
        }
        const bool answer = Script.ConfirmAnswers.front();
        Script.ConfirmAnswers.pop_front();
        return answer;
    }
    std::optional<QString> ChooseFile(QFileDialog& dialog) override {
        Script.Shown.push_back("file dialog: " + dialog.windowTitle().toStdString() + " [" +
                               dialog.nameFilters().join('|').toStdString() + "]");
        if (Script.FileChoices.empty()) {
            return std::nullopt;
        }
        const bool chosen = Script.FileChoices.front().has_value();
        const QString name = Script.FileChoices.front().value_or(QString());
        Script.FileChoices.pop_front();
        if (!chosen) {
            return std::nullopt;
        }
        return name;
    }
    void ShowMessage(const QString& text) override {
        Script.Shown.push_back("message: " + text.toStdString());
    }
    void ShowError(const QString& text) override {
        Script.Shown.push_back("error: " + text.toStdString());
    }

private:
    PromptScript& Script;
};

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The whole program in a fresh working directory, with virtual panels on a manual clock, a
// recording keyboard and scripted prompts. Notifications are handled when Pump runs the
// event loop.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        PreviousDirectory = std::filesystem::current_path();
        Directory = std::filesystem::temp_directory_path() /
                    ("qel_app_test_" + std::to_string(QCoreApplication::applicationPid()) + "_" +
                     std::to_string(++Counter));
        std::filesystem::create_directories(Directory);
        std::filesystem::current_path(Directory);
    }

    void TearDown() override {
        TheProgram.reset();
        Pump();
        std::filesystem::current_path(PreviousDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(Directory, ignored);
    }

    // Starts the program; with libraryStarts false the HID back end fails to start.
    void Start(bool libraryStarts = true) {
        ProgramSources sources;
        sources.MakeHidLibrary = [this, libraryStarts](LogSink&) {
            if (!libraryStarts) {
                return HidLibraryLoad{Failure{"no back end"}};
            }
            auto panels = std::make_unique<VirtualPanels>();
            Panels = panels.get();
            return HidLibraryLoad{std::unique_ptr<HidLibrary>(std::move(panels))};
        };
        sources.MakeKeyInjector = [this](LogSink&) {
            auto injector = std::make_unique<RecordingInjector>();
            Keys = injector.get();
            return injector;
        };
        sources.Files = std::move(FilesForNextStart);
        sources.Prompts = std::make_unique<ScriptedPrompts>(Prompts);
        TheProgram = std::make_unique<Program>(std::move(sources));
    }

    // Starts, shows the window and lets the activation steps run.
    void StartAndShow(bool libraryStarts = true) {
        Start(libraryStarts);
        Form().show();
        Pump();
        // The activation steps end by starting the pollers.
        ASSERT_EQ(TheProgram->Session.PollersStarted(), 6);
    }

    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    TMainForm& Form() { return TheProgram->MainForm; }
    // A component of the main window by its name (Label1, Memo1, Exit1...).
    template <typename Component>
    Component* Part(const char* name) {
        auto* part = Form().findChild<Component*>(QLatin1String(name));
        EXPECT_NE(part, nullptr) << name;
        return part;
    }
    // Status bar panel 0, 1 or 2 (the link's, made when a link is first shown).
    QLabel* StatusPanel(int index) {
        return Form().findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(index));
    }
    // One of the windows the main window opens.
    template <typename Shown>
    Shown* Window() {
        return Form().findChild<Shown*>();
    }
    std::filesystem::path KeyMapPath() const { return Directory / "keymap.ini"; }

    std::string LogText() { return Part<TLogMemo>("Memo1")->toPlainText().toStdString(); }

    std::filesystem::path Directory;
    std::filesystem::path PreviousDirectory;
    PromptScript Prompts;
    std::unique_ptr<FileAccess> FilesForNextStart;  // null: the real files
    VirtualPanels* Panels = nullptr;                // owned by the program's device module
    RecordingInjector* Keys = nullptr;              // owned by the program
    std::unique_ptr<Program> TheProgram;
    static inline int Counter = 0;
};

}  // namespace qel::test
