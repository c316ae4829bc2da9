// The step and the run of each model: the dispatch of dispatch.h on the
// model's bus.

#include "emulator/exec.h"

#include "emulator/chip.h"

namespace z51 {

void FetchCurrent(Cpu51& cpu, const CodeMemory& code) {
    const std::uint16_t pc = cpu.PC;
    cpu.cur[0] = code[pc];
    cpu.cur[1] = code[static_cast<std::uint16_t>(pc + 1)];
    cpu.cur[2] = code[static_cast<std::uint16_t>(pc + 2)];
    cpu.curLen = kInstructionLength[cpu.cur[0]];
}

namespace {

template <class M> void StepOn(M m) {
    Cpu51& cpu = m.c;
    const std::uint8_t op = cpu.cur[0];
    const std::uint16_t pc = cpu.PC;
    const bool noted = cpu.notice.kind != SimpleNotice::None;
    m.Begin(pc, op);
    cpu.PC = m.End(m, dispatch::Execute(m, pc, op, cpu.cur[1], cpu.cur[2]));
    if (!noted && cpu.notice.kind != SimpleNotice::None) cpu.notice.pc = pc;
    SyncPeripherals(cpu);
}

template <class M> RunResult RunOn(M m, std::uint64_t maxSteps, std::uint32_t until) {
    const RunResult r = dispatch::RunWith(m, maxSteps, [until](std::uint16_t pc) { return pc == until; });
    SyncPeripherals(m.c);
    return r;
}

// The simple model runs with the notice checks until the first notice
// (stopping there to name the instruction), and without them after it.
RunResult RunSimple(Cpu51& cpu, const CodeMemory& code, std::uint64_t maxSteps, std::uint32_t until) {
    RunResult r;
    if (cpu.notice.kind == SimpleNotice::None) {
        r = dispatch::RunWith(SimpleNoticeBus{{{cpu, code}}}, maxSteps, [&cpu, until](std::uint16_t next) {
            return next == until || cpu.notice.kind != SimpleNotice::None;
        });
        if (cpu.notice.kind == SimpleNotice::None) return r;
        cpu.notice.pc = r.last;
        if (r.reason != StopReason::Until || cpu.PC == until) return r;
        r.reason = StopReason::StepLimit;
    }
    const RunResult rest = RunOn(SimpleBus{{cpu, code}}, maxSteps - r.steps, until);
    return {r.steps + rest.steps, rest.reason, rest.steps ? rest.last : r.last};
}

}  // namespace

void Shag1(Cpu51& cpu, const CodeMemory& code) {
    if (cpu.IsChip()) StepOn(ChipBus{{cpu, code}});
    else StepOn(SimpleNoticeBus{{{cpu, code}}});
}

void Step(Cpu51& cpu, const CodeMemory& code) {
    FetchCurrent(cpu, code);
    Shag1(cpu, code);
}

RunResult Run(Cpu51& cpu, const CodeMemory& code, std::uint64_t maxSteps, std::uint32_t until) {
    const RunResult r =
        cpu.IsChip() ? RunOn(ChipBus{{cpu, code}}, maxSteps, until) : RunSimple(cpu, code, maxSteps, until);
    FetchCurrent(cpu, code);
    return r;
}

}  // namespace z51
