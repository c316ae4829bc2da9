// Fuzz entry of the emulator: a run from an arbitrary processor state over
// arbitrary code, checked against the single step, and the emulation files.

#include <algorithm>
#include <memory>
#include <string>

#include "core/workspace.h"
#include "emulator/chip.h"
#include "emulator/emufiles.h"
#include "emulator/exec.h"
#include "emulator/serial_line.h"
#include "fuzz_entries.h"

namespace z51::fuzz {
namespace {

// The peripheral schedule may be computed at different moments; what
// counts is whether an event is due and, if not, when it comes.
std::uint64_t Schedule(const Cpu51& c) { return c.chip.nextEvent <= c.cycles ? 0 : c.chip.nextEvent; }

bool SameState(const Cpu51& a, const Cpu51& b) {
    ChipState pa = a.chip, pb = b.chip;
    pa.nextEvent = Schedule(a);
    pb.nextEvent = Schedule(b);
    return a.dump == b.dump && a.R == b.R && a.PC == b.PC && a.xram == b.xram && a.cur == b.cur &&
           a.curLen == b.curLen && a.cycles == b.cycles && a.upperRam == b.upperRam && pa == pb &&
           a.notice == b.notice;
}

Model ModelOf(std::uint8_t flags) {
    switch ((flags >> 3) & 3) {
    case 1: return Model::I8051;
    case 2: return Model::I8052;
    default: return Model::Simple;
    }
}

}  // namespace

// Byte 0: bit 0 loads the state through the emulation files (and saves
// them back), bit 1 repeats the code over the whole image (so PC finds code
// anywhere, also across FFFFH), bit 2 gives the run a stop address, bits
// 4-3 pick the model (01 8051, 10 8052); the chip models' serial line
// carries the code bytes.
// Byte 1: number of steps / 16. Bytes 2..267: the register dump (internal
// RAM, R0..R7, PC). The rest: the code from 0000H, also the external RAM.
void FuzzEmulator(Input data) {
    if (data.size() < 2) return;
    const std::uint8_t flags = data[0];
    const std::uint64_t maxSteps = std::uint64_t{data[1]} * 16 + 1;
    const Input dumpBytes = data.subspan(2, std::min<std::size_t>(kDumpSize, data.size() - 2));
    const Input code = data.subspan(2 + dumpBytes.size());

    auto ws = std::make_unique<Workspace>();
    auto cpuOwner = std::make_unique<Cpu51>();
    Cpu51& cpu = *cpuOwner;
    ByteLine line, steppedLine;
    const std::string_view lineBytes(reinterpret_cast<const char*>(code.data()), std::min<std::size_t>(code.size(), 64));
    line.Queue(lineBytes);
    steppedLine.Queue(lineBytes);
    cpu.line = &line;
    SelectModel(cpu, ModelOf(flags));
    if (flags & 2 && !code.empty()) {
        std::size_t filled = std::min(code.size(), ws->CodeImage.size());
        std::copy_n(code.begin(), filled, ws->CodeImage.begin());
        for (; filled < ws->CodeImage.size(); filled *= 2)
            std::copy_n(ws->CodeImage.begin(), std::min(filled, ws->CodeImage.size() - filled),
                        ws->CodeImage.begin() + static_cast<long>(filled));
    } else {
        std::copy(code.begin(), code.end(), ws->CodeImage.begin());
    }
    std::copy(code.begin(), code.end(), cpu.xram.begin());

    if (flags & 1) {
        const std::string regs = ScratchFile("regs.dmp"), prog = ScratchFile("prog.bin"), ext = ScratchFile("ext.bin");
        PutFile(regs, {reinterpret_cast<const char*>(dumpBytes.data()), dumpBytes.size()});
        PutFile(prog, {reinterpret_cast<const char*>(code.data()), code.size()});
        const LoadResult r = LoadRegs(cpu, ws->CodeImage, regs);
        FuzzCheck(r.Ok() == !dumpBytes.empty(), "register dump load result is wrong");
        FuzzCheck(cpu.extRamCount == dumpBytes.size(), "the dump load did not set the byte count");
        FuzzCheck(LoadExt(cpu, prog).Ok(), "external RAM load failed");
        FuzzCheck(cpu.extRamCount == code.size(), "the external RAM load did not set the byte count");
        if (!(flags & 2)) FuzzCheck(LoadProgram(*ws, cpu, prog).Ok(), "program load failed");
        SaveExt(cpu, ext);
        FuzzCheck(GetFile(ext) == GetFile(prog), "external RAM saved differs from the file loaded");
    } else {
        std::copy(dumpBytes.begin(), dumpBytes.end(), cpu.dump.begin());
        std::copy_n(cpu.dump.begin() + kDumpStaging, 8, cpu.Regs());
        cpu.PC = static_cast<std::uint16_t>(cpu.dump[kDumpStaging + 9] << 8 | cpu.dump[kDumpStaging + 8]);
        StateReplaced(cpu);
    }
    FetchCurrent(cpu, ws->CodeImage);

    // The run loop against the same number of single steps.
    auto stepped = std::make_unique<Cpu51>(cpu);
    stepped->line = &steppedLine;
    const std::uint32_t until = (flags & 4) ? (std::uint32_t{cpu.dump[0x30]} << 8 | cpu.dump[0x31]) : kNoStop;
    const RunResult r = Run(cpu, ws->CodeImage, maxSteps, until);
    FuzzCheck(r.steps >= 1 && r.steps <= maxSteps, "the run executed no step or too many");
    for (std::uint64_t i = 0; i < r.steps; ++i) Step(*stepped, ws->CodeImage);
    FetchCurrent(*stepped, ws->CodeImage);
    FuzzCheck(SameState(cpu, *stepped), "Run and repeated Step end in different states");
    FuzzCheck(line.TakeTransmitted() == steppedLine.TakeTransmitted() && line.Pending() == steppedLine.Pending(),
              "Run and repeated Step use the serial line differently");
    if (r.reason == StopReason::Until) FuzzCheck(cpu.PC == until, "the run stopped away from its stop address");
    if (r.reason == StopReason::Halt) {
        Step(*stepped, ws->CodeImage);
        FetchCurrent(*stepped, ws->CodeImage);
        // The cycles go on, and in the chip models the timers too; PC stays.
        stepped->cycles = cpu.IsChip() ? stepped->cycles : cpu.cycles;
        FuzzCheck(cpu.IsChip() ? stepped->PC == cpu.PC : SameState(cpu, *stepped), "a halt loop changed the state");
    }

    if (flags & 1) {
        const std::string saved = ScratchFile("saved.dmp");
        SaveRegs(cpu, saved);
        auto reloaded = std::make_unique<Cpu51>();
        SelectModel(*reloaded, cpu.model);
        FuzzCheck(LoadRegs(*reloaded, ws->CodeImage, saved).Ok(), "a saved register dump does not load");
        FuzzCheck(std::equal(reloaded->dump.begin(), reloaded->dump.begin() + 256, cpu.dump.begin()) &&
                      std::equal(reloaded->Regs(), reloaded->Regs() + 8, cpu.Regs()) && reloaded->PC == cpu.PC,
                  "register dump save and load lose state");
    }
}

}  // namespace z51::fuzz
