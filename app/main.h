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

#include "app/checkboxgate.h"
#include "app/log_memo_widget.h"
#include "app/memo_log_sink.h"
#include "app/ratemeter.h"
#include "app/statusview.h"
#include "app/userprompts.h"
#include "core/unit_threads.h"
#include "base/result.h"

class QAction;
class QMenu;
class QMenuBar;

namespace qel {

class KeyLayout;
class KeyMapFile;
class HidHook;
class SimulatorLink;
class SimulatorLinkDialog;
struct UnitStates;

// The main window: which units are connected, the log, the menu, the two timers and debug
// mode. It wires the menu and the HID notifications to the core and shows results; the rules
// live elsewhere. Closing it ends the program. Main thread only.
class TMainForm final : public QMainWindow {
    Q_OBJECT

public:
    // The log lines the memo keeps.
    static constexpr int kLogLines = 25;
    // Outer heights of the window without and with debug mode, and its outer width.
    static constexpr int kNormalHeight = 200;
    static constexpr int kDebugHeight = 577;
    static constexpr int kOuterWidth = 430;

    // Null prompts mean Qt's message boxes and file dialog.
    explicit TMainForm(std::unique_ptr<UserPrompts> prompts = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // What the window works with, made after it at start-up. They must stay alive until
    // FormClose has run, which is the last use of any of them. The dialogs are shown modally.
    struct Links {
        TDeviceDM* DeviceDM = nullptr;
        HidHook* Hook = nullptr;
        KeyMapFile* KeyMap = nullptr;
        QDialog* IniForm = nullptr;
        QDialog* AboutForm = nullptr;
        // The panel view window, shown by "Panel View"; the bindings "Print Bindings..." prints.
        QWidget* PanelView = nullptr;
        const UnitStates* Units = nullptr;
        const KeyLayout* Layout = nullptr;  // what the printed key texts are written with
        // The simulator link, started after the key map is read, and its settings dialog.
        SimulatorLink* SimLink = nullptr;
        SimulatorLinkDialog* SimLinkForm = nullptr;
    };
    void Link(const Links& links);

    // The message boxes and the file dialog, for the parts made after the window.
    [[nodiscard]] UserPrompts& Prompter() { return *Prompts; }

    // Tells the user at once that a change is in effect but could not be saved: the failure
    // (which names the file and the reason), and that the change lasts only until the program
    // closes. Nothing for a save that worked. Every window that saves a change reports here.
    void ShowSaveFailure(const Status& saved);

    // Activation steps: version text, size, key map, worker threads. Runs once; later calls
    // do nothing.
    void FormActivate();
    [[nodiscard]] bool Activated() const { return ActivationDone; }

    // Shutdown: stops the worker threads (each waited for), then disconnects the library.
    // Runs once; the close box and "E&xit" lead here.
    void FormClose();
    // From the start of FormClose on: HID notifications still queued have nothing to act on.
    [[nodiscard]] bool IsClosing() const { return Closing; }

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

    // The status bar's panels: 0 the connected count, 1 the version text, 2 the simulator
    // link's state (null until a link is first shown).
    [[nodiscard]] QLabel* StatusPanel(int index) const;

    // Components the tests look at; owned by the window (Qt parent), valid for its life.
    [[nodiscard]] QLabel* Label1() const { return Ui.Label1; }
    [[nodiscard]] QLabel* Label2() const { return Ui.Label2; }
    [[nodiscard]] QLabel* Label3() const { return Ui.Label3; }
    [[nodiscard]] QLabel* Label4() const { return Ui.Label4; }
    [[nodiscard]] QLabel* Label5() const { return Ui.Label5; }
    [[nodiscard]] QLabel* Label7() const { return Ui.Label7; }
    [[nodiscard]] QLabel* CountHzLbl() const { return Ui.CountHzLbl; }
    [[nodiscard]] QLabel* LoopHzLbl() const { return Ui.LoopHzLbl; }
    [[nodiscard]] QCheckBox* KeyCB() const { return Ui.KeyCB; }
    [[nodiscard]] TLogMemo* Memo1() const { return Ui.Memo1; }
    [[nodiscard]] QMenuBar* MainMenu1() const { return Ui.MainMenu1; }
    [[nodiscard]] QMenu* file1() const { return Ui.file1; }
    [[nodiscard]] QAction* Exit1() const { return Ui.Exit1; }
    [[nodiscard]] QMenu* Tools1() const { return Ui.Tools1; }
    [[nodiscard]] QAction* Keysettings1() const { return Ui.Keysettings1; }
    [[nodiscard]] QAction* ImportMindstar1() const { return Ui.ImportMindstar1; }
    [[nodiscard]] QAction* DeleteAllKeys1() const { return Ui.DeleteAllKeys1; }
    [[nodiscard]] QAction* DebugMode1() const { return Ui.DebugMode1; }
    [[nodiscard]] QAction* PanelView1() const { return Ui.PanelView1; }
    [[nodiscard]] QAction* PrintBindings1() const { return Ui.PrintBindings1; }
    [[nodiscard]] QAction* SimulatorLink1() const { return Ui.SimulatorLink1; }
    [[nodiscard]] QMenu* Help1() const { return Ui.Help1; }
    [[nodiscard]] QAction* About1() const { return Ui.About1; }

    // The worker threads, started by the activation steps.
    AudioThreadSet AudioThreads;
    G1000ThreadSet G1000Threads;

    // The log: the memo as the program's log sink.
    [[nodiscard]] LogSink& Log() { return *MemoSink; }
    // "Enable keys" as the key gate.
    [[nodiscard]] const KeyGate& Gate() const { return *KeyGateView; }
    // The status labels and status panel 0, as the HID notification handling shows them.
    [[nodiscard]] DeviceStatusView& StatusView() { return *UnitStatus; }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateComponents();
    // Sizes the window to WantedOuterSize with the frame as now known.
    void ApplyOuterSize();
    void CreateMenu();
    void CreateStatusBar();
    // A worker thread ended: the program closes, unless it is closing already.
    void WorkerThreadEnded();
    void StartWorkerThreads();
    void StopWorkerThreads();

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

    Components Ui;
    Links Linked;
    std::unique_ptr<MemoLog> MemoSink;
    std::unique_ptr<CheckBoxGate> KeyGateView;
    std::unique_ptr<LabelStatusView> UnitStatus;
    std::unique_ptr<UserPrompts> Prompts;
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
