#pragma once
// The assembly driver: start of an assembly (Prohod1), the timer-driven
// first pass, the final pass with the listing and the output files.
// The main window and zanvek-cli drive it; it writes only to its Pane.

#include <memory>
#include <string>
#include <vector>

#include "assembler/asm_state.h"
#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

class Assembler {
public:
    Assembler(Workspace& ws, Pane& pane);

    // Starts an assembly of ws.SourceName (Prohod1). Raises FileError when the source cannot
    // be opened; then nothing else changes. A first pass still running is stopped first.
    void Prohod1();
    bool FirstPassRunning() const { return running_; }
    // One tick of tmrAsm: up to nine lines. Returns true while the first pass goes on.
    bool Tick();
    // Runs the rest of the first pass at once (console, tests).
    void RunFirstPass();
    // The final pass (mnuTrnClick): finishes a running first pass first, then runs all lines,
    // and without errors prints the symbol listing and writes the .Bin and .Hex files.
    // Returns true when it ran without errors and wrote both files.
    // Every final pass also fills the workspace's source map (Sources).
    bool FinalPass();
    // Whether a final pass without errors writes the .Bin and .Hex files
    // (on by default; a run of the source in the emulator needs only the
    // code image).
    void SetWriteFiles(bool on) { writeFiles_ = on; }
    const AsmState& State() const { return *st_; }
    AsmState& State() { return *st_; }

    // The pane that receives everything from now on (zanvek-cli hides the
    // first pass behind a NullPane).
    void SetPane(Pane& pane) { pane_ = &pane; }

    // How the last final pass ended.
    enum class Outcome { None, Written, SourceErrors, Failed };
    Outcome LastOutcome() const { return outcome_; }
    // For Outcome::Failed: the path and reason (also shown in the pane when
    // an output file could not be written).
    const std::string& LastFailure() const { return failure_; }

    // Lines of one tick of tmrAsm.
    static constexpr int kLinesPerTick = 9;

private:
    void ProcessLine(bool finalPass);
    void FetchLine();
    void EndFirstPass();
    void RecordErrorLine(std::uint32_t lineNo);
    void CountError();
    void ReportOpenDefinition(bool finalPass);
    void StopFirstPass();
    void BeginSourceMap();
    void EndSourceMap();

    std::unique_ptr<AsmState> st_;
    Pane* pane_;
    bool running_ = false;
    bool quiet_ = false;  // the pane is a NullPane
    // Macro calls made one after another from the last line of a body.
    int tailCalls_ = 0;
    Outcome outcome_ = Outcome::None;
    std::string failure_;
    bool writeFiles_ = true;
    bool mapOpen_ = false;  // a final pass is filling the source map
    std::vector<std::string> codeLabels_;  // names of code labels met in the final pass
};

// Driver steps shared by both passes, exposed for the tests.
// EchoLine: the line's fields in their colours, the comment split into tokens.
void EchoLine(const AsmState& st, Pane& pane);
// ErrorSummary: the recorded error line numbers, wrapped after `width` characters.
void ErrorSummary(const AsmState& st, Pane& pane, std::size_t width);
// Date and time as dd.MM.yyyy and HH:mm:ss (local time).
std::string FormatDate(std::time_t t);
std::string FormatTime(std::time_t t);

}  // namespace z51
