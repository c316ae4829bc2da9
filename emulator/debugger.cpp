#include "emulator/debugger.h"

#include "emulator/cycles.h"
#include "emulator/exec.h"
#include "emulator/machine_view.h"
#include "isa/opcode_map.h"

namespace z51 {
namespace {

constexpr bool IsCall(std::uint8_t op) {
    const Mnemonic m = kOpcodeMap[op].mnemonic;
    return m == Mnemonic::LCALL || m == Mnemonic::ACALL;
}
constexpr bool IsReturn(std::uint8_t op) {
    const Mnemonic m = kOpcodeMap[op].mnemonic;
    return m == Mnemonic::RET || m == Mnemonic::RETI;
}

}  // namespace

void Debugger::Count(std::uint8_t opcode) {
    ++instructions_;
    cycles_ += MachineCycles(opcode);
}

RunGoal Debugger::StepOverGoal() const {
    const std::uint8_t op = code_[cpu_.PC];
    if (!IsCall(op)) return {};
    return {RunGoal::StepOver, static_cast<std::uint16_t>(cpu_.PC + kInstructionLength[op]), cpu_.SP()};
}

RunGoal Debugger::StepOutGoal() const { return {RunGoal::StepOut, 0, cpu_.SP()}; }

void Debugger::Step() {
    const std::uint16_t pc = cpu_.PC;
    const std::array<std::uint8_t, 3> bytes = {code_[pc], code_[static_cast<std::uint16_t>(pc + 1)],
                                               code_[static_cast<std::uint16_t>(pc + 2)]};
    z51::Run(cpu_, code_, 1);
    Count(bytes[0]);
    if (observer_) observer_->AfterStep(pc, bytes);
}

// Instruction by instruction through the core's own run, so that a halt
// loop is recognised exactly as a plain run recognises it.
DebugResult Debugger::Run(std::uint64_t budget, const RunGoal& goal) {
    const Cpu51View view{cpu_, code_};
    breakpoints.StartRun(view);
    DebugResult r;
    while (r.steps < budget) {
        const std::uint16_t pc = cpu_.PC;
        const std::array<std::uint8_t, 3> bytes = {code_[pc], code_[static_cast<std::uint16_t>(pc + 1)],
                                                   code_[static_cast<std::uint16_t>(pc + 2)]};
        const RunResult one = z51::Run(cpu_, code_, 1);
        ++r.steps;
        Count(bytes[0]);
        if (observer_) observer_->AfterStep(pc, bytes);

        r.breakpoint = breakpoints.AfterInstruction(view);
        if (r.breakpoint >= 0) {
            r.reason = DebugStop::Breakpoint;
            return r;
        }
        const bool reached =
            (goal.kind == RunGoal::Reach && cpu_.PC == goal.address) ||
            (goal.kind == RunGoal::StepOver && cpu_.PC == goal.address && cpu_.SP() == goal.sp) ||
            (goal.kind == RunGoal::StepOut && IsReturn(bytes[0]) &&
             static_cast<std::int8_t>(cpu_.SP() - goal.sp) < 0);
        if (reached) {
            r.reason = DebugStop::Goal;
            return r;
        }
        if (one.reason == StopReason::Halt) {
            r.reason = DebugStop::Halt;
            return r;
        }
    }
    return r;
}

}  // namespace z51
