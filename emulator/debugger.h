#pragma once
// The debugger over one emulated processor: runs that stop at breakpoints,
// halt loops and run goals (step over, step out, run to an address), the
// stopwatch of instructions and machine cycles, and a hook that sees every
// instruction (the console's trace and waveform dump).
//
// The window runs the debugger in slices of a bounded number of
// instructions and refreshes between them; the console runs it once.

#include <array>
#include <cstdint>

#include "emulator/breakpoints.h"
#include "emulator/cpu51.h"

namespace z51 {

// What a run aims for besides its breakpoints.
struct RunGoal {
    enum Kind : std::uint8_t {
        None,
        StepOver,  // back at `address` (after the call) with SP as it was
        StepOut,   // a RET or RETI took SP below `sp` (the current call level returned)
        Reach,     // PC is `address`
    };
    Kind kind = None;
    std::uint16_t address = 0;
    std::uint8_t sp = 0;
};

enum class DebugStop : std::uint8_t {
    Budget,      // the instructions the run was given have run
    Breakpoint,  // `breakpoint` stopped it
    Goal,        // the run goal was reached
    Halt,        // an instruction that writes nothing jumped to itself
};

struct DebugResult {
    std::uint64_t steps = 0;
    DebugStop reason = DebugStop::Budget;
    int breakpoint = -1;  // index into the breakpoint list, for DebugStop::Breakpoint
};

// Sees each executed instruction: its address and bytes, after the
// processor state and the counters took its effect.
class StepObserver {
public:
    virtual ~StepObserver() = default;
    virtual void AfterStep(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes) = 0;
};

class Debugger {
public:
    Debugger(Cpu51& cpu, const CodeMemory& code) : cpu_(cpu), code_(code) {}

    Breakpoints breakpoints;

    // Memory-access breakpoints need a core that reports every read and
    // write; until then runs do not see them.
    static constexpr bool kAccessBreakpoints = false;

    // The stopwatch: instructions and machine cycles since it was reset.
    std::uint64_t Instructions() const { return instructions_; }
    std::uint64_t Cycles() const { return cycles_; }
    void ResetStopwatch() { instructions_ = cycles_ = 0; }
    // Counts one instruction executed outside Run and Step (the window's
    // single step and timer run).
    void Count(std::uint8_t opcode);

    // Step over: for a call (ACALL, LCALL) at PC, the goal of coming back
    // after it; for any other instruction kind None (a plain step).
    RunGoal StepOverGoal() const;
    // Step out: the return of the current call level.
    RunGoal StepOutGoal() const;
    static RunGoal ReachGoal(std::uint16_t address) { return {RunGoal::Reach, address, 0}; }

    // Runs at most `budget` instructions from PC; stops earlier at a
    // breakpoint, when `goal` is reached or at a halt loop. The first
    // instruction always runs, so a run that starts on a breakpoint leaves
    // it. Ends with the current instruction fetched (cpu.cur).
    DebugResult Run(std::uint64_t budget, const RunGoal& goal = {});
    // One instruction, counted; breakpoints are not consulted.
    void Step();

    // Step back needs the core's undo log; until then there is none.
    bool CanStepBack() const { return false; }

    void SetObserver(StepObserver* observer) { observer_ = observer; }

private:
    Cpu51& cpu_;
    const CodeMemory& code_;
    std::uint64_t instructions_ = 0;
    std::uint64_t cycles_ = 0;
    StepObserver* observer_ = nullptr;
};

}  // namespace z51
