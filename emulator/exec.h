#pragma once
// Instruction execution of the emulated 8051, in the model the processor
// state names (Cpu51::model).
//
// The window's panel refresh ends with FetchCurrent; a step is Shag1
// followed by the next refresh. Headless runs use Step or Run. In the chip
// models a step ends at an instruction boundary: an interrupt that the
// boundary admits has been called (PC at its vector), and the timers and
// serial port are brought up to the cycle count.

#include <cstdint>

#include "emulator/cpu51.h"
#include "emulator/dispatch.h"
#include "isa/opcode_map.h"  // kInstructionLength, kMachineCycles

namespace z51 {

// Copies code[PC], code[PC+1], code[PC+2] (wrapping at FFFFH) into cpu.cur
// and sets cpu.curLen (the fetch half of the panel refresh).
void FetchCurrent(Cpu51& cpu, const CodeMemory& code);

// Executes cpu.cur (the copy made by the last FetchCurrent) and advances PC;
// the caller fetches again afterwards. Reads the code image only for MOVC.
void Shag1(Cpu51& cpu, const CodeMemory& code);

// Convenience for headless runs: FetchCurrent + Shag1.
void Step(Cpu51& cpu, const CodeMemory& code);

// Runs from cpu.PC with the semantics of repeated Step, fetching from the
// code image at each step, until a step leaves PC equal to `until` (so a
// run that starts there executes at least one instruction; pass kNoStop to
// run without a stop address), maxSteps instructions have run, or a halt
// loop is found. Ends with FetchCurrent, so cpu.cur is the next instruction.
// In the simple model the run notes in cpu.notice the first thing the
// program does whose result differs on the chip.
inline constexpr std::uint32_t kNoStop = 0x10000;
RunResult Run(Cpu51& cpu, const CodeMemory& code, std::uint64_t maxSteps, std::uint32_t until = kNoStop);

}  // namespace z51
