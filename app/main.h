#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>

#include "app/log_memo_widget.h"
#include "app/memo_log_sink.h"
#include "app/ratemeter.h"
#include "app/simulator_link.h"
#include "app/userprompts.h"
#include "base/result.h"
#include "core/panel_session.h"
#include "dialogs/about.h"
#include "dialogs/ini.h"
#include "dialogs/key.h"
#include "dialogs/simulator_link_dialog.h"
#include "panelview/panelviewform.h"

class QAction;
class QMenu;
class QMenuBar;

namespace qel {

// The main window: which units are connected, the log, the menu, the two timers and debug
// mode. It shows the session and calls its verbs; the rules live in the session. It owns the
// dialogs it opens. Closing it ends the program. Main thread only.
class TMainForm final : public QMainWindow, private SessionView {
    Q_OBJECT

public:
    // The log lines the memo keeps.
    static constexpr int kLogLines = static_cast<int>(SessionLog::kKeptLines);
    // Outer heights of the window without and with debug mode, and its outer width.
    static constexpr int kNormalHeight = 200;
    static constexpr int kDebugHeight = 577;
    static constexpr int kOuterWidth = 430;

    // The session and the link must outlive the window; null prompts mean Qt's message boxes
    // and file dialog. Every component is named as its member (Label1, Memo1, KeyCB, Exit1...).
    TMainForm(PanelSession& session, SimulatorLink& link,
              std::unique_ptr<UserPrompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The message boxes and the file dialog, for the program's start-up message.
    [[nodiscard]] UserPrompts& Prompter() { return *Prompts; }

    // Tells the user at once that a change is in effect but could not be saved: the failure
    // (which names the file and the reason), and that the change lasts only until the program
    // closes. Nothing for a save that worked. Every window that saves a change reports here.
    void ShowSaveFailure(const Status& saved);

    // Activation steps: version text, size, key map, simulator link, pollers. Runs once; later
    // calls do nothing.
    void FormActivate();

    // Shutdown: the session stops (pollers waited for, library disconnected). Runs once; the
    // close box and "E&xit" lead here.
    void FormClose();

    void Timer1Timer();
    void Timer2Timer();
    void Exit1Click();
    void Keysettings1Click();
    void ImportMindstar1Click();
    void DeleteAllKeys1Click();
    void DebugMode1Click();
    void About1Click();
    void PanelView1Click();
    void PrintBindings1Click();
    void SimulatorLink1Click();

    // Shows the simulator link's state in the status bar; an empty text hides it (no link).
    void ShowLinkState(const QString& text);

    // Sets the size of the window including its frame. Kept, and applied again whenever the
    // window system frames the window or changes the frame, so the outer size stays as set.
    void SetOuterSize(int width, int height);
    void SetOuterHeight(int height);
    [[nodiscard]] QSize OuterSize() const;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What the session shows.
    void LineAdded(std::string_view line) override;
    void UnitCaptionChanged(UnitId unit, std::string_view caption) override;
    void ConnectedTextChanged(std::string_view text) override;
    void PollerEnded() override;

    void CreateComponents();
    // Sizes the window to WantedOuterSize with the frame as now known.
    void ApplyOuterSize();
    void CreateMenu();
    void CreateStatusBar();

    // The window's components, made by CreateComponents, CreateMenu and CreateStatusBar.
    struct Components {
        QLabel* Label1 = nullptr;
        QLabel* Label2 = nullptr;
        QLabel* Label3 = nullptr;
        QLabel* Label4 = nullptr;
        QLabel* Label5 = nullptr;
        QLabel* Label7 = nullptr;
        QLabel* CountLbl = nullptr;
        QLabel* LoopLbl = nullptr;
        QLabel* CountHzLbl = nullptr;
        QLabel* LoopHzLbl = nullptr;
        QCheckBox* KeyCB = nullptr;
        TLogMemo* Memo1 = nullptr;
        QStatusBar* StatusBar = nullptr;
        QTimer* Timer1 = nullptr;
        QTimer* Timer2 = nullptr;
        QMenuBar* MainMenu1 = nullptr;
        QMenu* file1 = nullptr;
        QAction* Exit1 = nullptr;
        QMenu* Tools1 = nullptr;
        QAction* Keysettings1 = nullptr;
        QAction* ImportMindstar1 = nullptr;
        QAction* DeleteAllKeys1 = nullptr;
        QAction* N1 = nullptr;
        QAction* DebugMode1 = nullptr;
        // Added after the items above, which keep their captions and order.
        QAction* N2 = nullptr;
        QAction* PanelView1 = nullptr;
        QAction* PrintBindings1 = nullptr;
        QAction* SimulatorLink1 = nullptr;
        QMenu* Help1 = nullptr;
        QAction* About1 = nullptr;
        QFileDialog* MindstarOD = nullptr;  // made by the first import
        QFileDialog* BindingsSD = nullptr;  // made by the first printing
    };

    PanelSession& Session;
    SimulatorLink& Link;
    std::unique_ptr<UserPrompts> Prompts;
    // The windows the menu opens, made with the main window as their parent.
    TKeyForm KeyForm;
    TIniForm IniForm;
    TAboutForm AboutForm;
    TPanelViewForm PanelView;
    SimulatorLinkDialog LinkForm;
    Components Ui;
    // The memo as the session's log shows it.
    std::unique_ptr<MemoLog> MemoSink;
    QLabel* Panel0 = nullptr;
    QLabel* Panel1 = nullptr;
    QLabel* LinkPanel = nullptr;  // made when a link is first shown
    RateMeter ReadRate;
    std::optional<QSize> WantedOuterSize;
    bool ActivationDone = false;
    bool DebugMode = false;
    bool Closing = false;
};

}  // namespace qel
