#pragma once
// The debugger part of the emulator window, below the chip panel: the code
// view, the run controls (full-speed run, stop, step over, step out, step
// back, run to the selected line), the stopwatch and the breakpoint list.
//
// The full-speed run executes in slices on the window's thread: each slice
// runs the debugger for about 40 ms and ends with the panel refresh, so the
// window stays responsive and redraws more than 20 times a second.

#include <QElapsedTimer>
#include <QWidget>
#include <functional>

#include "emulator/debugger.h"
#include "shell/session.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;

namespace z51 {

class EmulCodeView;

class EmulDebugPanel : public QWidget {
public:
    // `refresh` is the window's panel refresh, run after every change.
    EmulDebugPanel(Session& session, std::function<void()> refresh, QWidget* parent);
    ~EmulDebugPanel() override;

    // Follows the state after a panel refresh: code view, stopwatch, hits.
    void Refresh();

    // Handlers of the run controls.
    void btnRunClick();
    void btnStopClick();
    void btnStepOverClick();
    void btnStepOutClick();
    void btnStepBackClick();
    void btnRunToLineClick();
    // Handlers of the breakpoint list and the stopwatch.
    void btnBreakAddClick();
    void btnBreakEditClick();
    void btnBreakDeleteClick();
    void btnStopwatchResetClick();

    bool Running() const;
    // Slices and refreshes of the current or last full-speed run.
    long Slices() const { return slices_; }

    // Instructions a slice runs between looks at the clock.
    static constexpr std::uint64_t kChunk = 1 << 16;
    // Milliseconds a slice runs before the window redraws.
    static constexpr int kSliceMs = 40;

private:
    QWidget* BuildRunControls();
    QWidget* BuildStopwatch();
    QWidget* BuildBreakpoints();
    void Start(const RunGoal& goal);
    void Slice();
    void Stopped(const DebugResult& r);
    void ShowBreakpoints();
    void ShowStopwatch();
    void EnableControls();
    // The breakpoint typed in the editor, or nothing (the fault is shown).
    std::optional<Breakpoint> EditedBreakpoint();
    int SelectedBreakpoint() const;

    Session& s_;
    Debugger& dbg_;
    std::function<void()> refresh_;
    RunGoal goal_;
    long slices_ = 0;

    EmulCodeView* code_ = nullptr;
    QPushButton *btnRun_ = nullptr, *btnStop_ = nullptr, *btnStepOver_ = nullptr, *btnStepOut_ = nullptr,
                *btnStepBack_ = nullptr, *btnRunToLine_ = nullptr;
    QLabel* lblDebugState_ = nullptr;
    QLabel *lblInstructions_ = nullptr, *lblCycles_ = nullptr, *lblTime_ = nullptr;
    QLineEdit* txtXtal_ = nullptr;
    QTreeWidget* lstBreaks_ = nullptr;
    QComboBox* cmbBreakKind_ = nullptr;
    QLineEdit* txtBreak_ = nullptr;
    QSpinBox* spnBreakHit_ = nullptr;
    QLabel* lblBreakError_ = nullptr;
    QTimer* tmrRun_ = nullptr;
    bool filling_ = false;  // the list is being rebuilt: its change signals mean nothing
};

}  // namespace z51
