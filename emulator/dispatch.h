#pragma once
// The execution of one instruction on a bus, and the run loop: templates,
// so that each bus (bus.h) gets its own copy with every handler inlined
// into one switch over the opcode (a step costs one indirect branch and
// no call). exec.cpp instantiates them for the models; a debugger
// instantiates them with a bus of its own around one of these.

#include <cstdint>

#include "emulator/ops_arith.h"
#include "emulator/ops_bit.h"
#include "emulator/ops_jump.h"
#include "emulator/ops_logic.h"
#include "emulator/ops_move.h"

namespace z51 {

// Why a run stopped.
enum class StopReason {
    StepLimit,  // maxSteps instructions executed
    Until,      // the boundary test said stop (Run: PC reached the stop address)
    Halt,       // an instruction that writes nothing jumped to itself
                // (SJMP $, AJMP/LJMP to itself, JB bit,$ taken, A5H ...)
                // and, in the chip models, nothing can ever get it out:
                // the state can never change again
};

struct RunResult {
    std::uint64_t steps = 0;  // instructions executed
    StopReason reason = StopReason::StepLimit;
    std::uint16_t last = 0;   // address of the last instruction executed
};

namespace dispatch {

// Opcodes that write nothing at all: when one of them leaves PC where it
// was (SJMP $, AJMP or LJMP to itself, JMP @A+DPTR to itself, a taken
// JB/JNB/JC/JNC/JZ/JNZ to itself, A5H), only an interrupt can change the
// state again.
constexpr bool WritesNothing(unsigned op) {
    return (op & 0x1F) == 0x01 || op == 0x02 || op == 0x20 || op == 0x30 || op == 0x40 || op == 0x50 ||
           op == 0x60 || op == 0x70 || op == 0x73 || op == 0x80 || op == 0xA5;
}
struct HaltTable {
    bool v[256];
    constexpr HaltTable() : v{} {
        for (unsigned op = 0; op < 256; ++op) v[op] = WritesNothing(op);
    }
};
inline constexpr HaltTable kWritesNothing;

#define RI_CASES(base) case (base): case (base) + 1
#define RN_CASES(base)                                                                               \
    case (base): case (base) + 1: case (base) + 2: case (base) + 3: case (base) + 4: case (base) + 5: \
    case (base) + 6: case (base) + 7
#define PAGE_CASES(low)                                                                                  \
    case (low): case (low) + 0x20: case (low) + 0x40: case (low) + 0x60: case (low) + 0x80:              \
    case (low) + 0xA0: case (low) + 0xC0: case (low) + 0xE0

// Executes one instruction at `pc` from its three bytes on bus `m`;
// returns the address of the next instruction.
template <class M>
[[gnu::always_inline]] inline std::uint16_t Execute(M& m, std::uint16_t pc, std::uint8_t op, std::uint8_t b1,
                                                    std::uint8_t b2) {
    using namespace ops;
    const Insn i{pc, b1, b2};
    const unsigned rn = op & 7, ri = op & 1, page = op >> 5;
    switch (op) {
    case 0x00: return Next(i, 1);                      // NOP
    PAGE_CASES(0x01): return Ajmp(i, page);
    PAGE_CASES(0x11): return Acall(m, i, page);
    case 0x02: return Ljmp(i);
    case 0x12: return Lcall(m, i);
    case 0x22: return Ret(m);
    case 0x32: return Reti(m);
    case 0x03: return RrAcc(m, i);
    case 0x13: return RrcAcc(m, i);
    case 0x23: return RlAcc(m, i);
    case 0x33: return RlcAcc(m, i);

    case 0x04: return IncAcc(m, i);
    case 0x05: return IncDir(m, i);
    RI_CASES(0x06): return IncInd(m, i, ri);
    RN_CASES(0x08): return IncReg(m, i, rn);
    case 0x14: return DecAcc(m, i);
    case 0x15: return DecDir(m, i);
    RI_CASES(0x16): return DecInd(m, i, ri);
    RN_CASES(0x18): return DecReg(m, i, rn);

    case 0x10: return Jbc(m, i);
    case 0x20: return Jb(m, i);
    case 0x30: return Jnb(m, i);
    case 0x40: return Jc(m, i);
    case 0x50: return Jnc(m, i);
    case 0x60: return Jz(m, i);
    case 0x70: return Jnz(m, i);
    case 0x80: return Sjmp(i);
    case 0x73: return JmpAtADptr(m);

    case 0x24: return AddImm(m, i);
    case 0x25: return AddDir(m, i);
    RI_CASES(0x26): return AddInd(m, i, ri);
    RN_CASES(0x28): return AddReg(m, i, rn);
    case 0x34: return AddcImm(m, i);
    case 0x35: return AddcDir(m, i);
    RI_CASES(0x36): return AddcInd(m, i, ri);
    RN_CASES(0x38): return AddcReg(m, i, rn);
    case 0x94: return SubbImm(m, i);
    case 0x95: return SubbDir(m, i);
    RI_CASES(0x96): return SubbInd(m, i, ri);
    RN_CASES(0x98): return SubbReg(m, i, rn);

    case 0x42: return LogDirAcc<OrOp>(m, i);
    case 0x43: return LogDirImm<OrOp>(m, i);
    case 0x44: return LogAccImm<OrOp>(m, i);
    case 0x45: return LogAccDir<OrOp>(m, i);
    RI_CASES(0x46): return LogAccInd<OrOp>(m, i, ri);
    RN_CASES(0x48): return LogAccReg<OrOp>(m, i, rn);
    case 0x52: return LogDirAcc<AndOp>(m, i);
    case 0x53: return LogDirImm<AndOp>(m, i);
    case 0x54: return LogAccImm<AndOp>(m, i);
    case 0x55: return LogAccDir<AndOp>(m, i);
    RI_CASES(0x56): return LogAccInd<AndOp>(m, i, ri);
    RN_CASES(0x58): return LogAccReg<AndOp>(m, i, rn);
    case 0x62: return LogDirAcc<XorOp>(m, i);
    case 0x63: return LogDirImm<XorOp>(m, i);
    case 0x64: return LogAccImm<XorOp>(m, i);
    case 0x65: return LogAccDir<XorOp>(m, i);
    RI_CASES(0x66): return LogAccInd<XorOp>(m, i, ri);
    RN_CASES(0x68): return LogAccReg<XorOp>(m, i, rn);

    case 0x72: return OrlCBit(m, i);
    case 0x82: return AnlCBit(m, i);
    case 0xA0: return OrlCNotBit(m, i);
    case 0xB0: return AnlCNotBit(m, i);
    case 0xA2: return MovCBit(m, i);
    case 0x92: return MovBitC(m, i);
    case 0xB2: return CplBit(m, i);
    case 0xC2: return ClrBit(m, i);
    case 0xD2: return SetbBit(m, i);
    case 0xB3: return CplC(m, i);
    case 0xC3: return ClrC(m, i);
    case 0xD3: return SetbC(m, i);

    case 0x74: return MovAccImm(m, i);
    case 0x75: return MovDirImm(m, i);
    RI_CASES(0x76): return MovIndImm(m, i, ri);
    RN_CASES(0x78): return MovRegImm(m, i, rn);
    case 0x85: return MovDirDir(m, i);
    RI_CASES(0x86): return MovDirInd(m, i, ri);
    RN_CASES(0x88): return MovDirReg(m, i, rn);
    case 0x90: return MovDptrImm(m, i);
    case 0x83: return MovcPc(m, i);
    case 0x93: return MovcDptr(m, i);
    case 0x84: return DivAb(m, i);
    case 0xA4: return MulAb(m, i);
    case 0xA3: return IncDptr(m, i);
    case 0xA5: return pc;                              // no instruction: nothing changes, PC included
    RI_CASES(0xA6): return MovIndDir(m, i, ri);
    RN_CASES(0xA8): return MovRegDir(m, i, rn);

    case 0xB4: return CjneAccImm(m, i);
    case 0xB5: return CjneAccDir(m, i);
    RI_CASES(0xB6): return CjneIndImm(m, i, ri);
    RN_CASES(0xB8): return CjneRegImm(m, i, rn);

    case 0xC0: return PushDir(m, i);
    case 0xD0: return PopDir(m, i);
    case 0xC4: return SwapAcc(m, i);
    case 0xC5: return XchDir(m, i);
    RI_CASES(0xC6): return XchInd(m, i, ri);
    RN_CASES(0xC8): return XchReg(m, i, rn);
    case 0xD4: return DaA(m, i);
    case 0xD5: return DjnzDir(m, i);
    RI_CASES(0xD6): return XchdInd(m, i, ri);
    RN_CASES(0xD8): return DjnzReg(m, i, rn);

    case 0xE0: return MovxAccDptr(m, i);
    RI_CASES(0xE2): return MovxAccInd(m, i, ri);
    case 0xE4: return ClrAcc(m, i);
    case 0xE5: return MovAccDir(m, i);
    RI_CASES(0xE6): return MovAccInd(m, i, ri);
    RN_CASES(0xE8): return MovAccReg(m, i, rn);
    case 0xF0: return MovxDptrAcc(m, i);
    RI_CASES(0xF2): return MovxIndAcc(m, i, ri);
    case 0xF4: return CplAcc(m, i);
    case 0xF5: return MovDirAcc(m, i);
    RI_CASES(0xF6): return MovIndAcc(m, i, ri);
    RN_CASES(0xF8): return MovRegAcc(m, i, rn);
    }
    __builtin_unreachable();  // all 256 opcodes are handled above
}

#undef RI_CASES
#undef RN_CASES
#undef PAGE_CASES

// One instruction at `pc` and its boundary (the chip models' peripherals
// and interrupts); returns the next PC.
template <class M> [[gnu::always_inline]] inline std::uint16_t StepAt(M& m, std::uint16_t pc) {
    const std::uint8_t op = m.Code(pc);
    const std::uint8_t b1 = m.Code(static_cast<std::uint16_t>(pc + 1));
    const std::uint8_t b2 = m.Code(static_cast<std::uint16_t>(pc + 2));
    m.Begin(pc, op);
    return m.End(m, Execute(m, pc, op, b1, b2));
}

// Runs from the bus's cpu.PC until maxSteps instructions have run, a halt
// loop is found, or stop(pc) returns true at an instruction boundary
// (asked after each instruction, with the PC of the next one). Leaves
// cpu.PC at the next instruction. The bus and the stop test are taken by
// value: as locals of the loop they live in registers (a bus is a handle;
// what it must keep beyond the run it keeps behind a pointer).
template <class M, class Stop> RunResult RunWith(M m, std::uint64_t maxSteps, Stop stop) {
    RunResult r;
    std::uint16_t pc = m.c.PC;
    std::uint64_t n = 0;
    while (n < maxSteps) {
        const std::uint8_t op = m.Code(pc);
        const std::uint8_t b1 = m.Code(static_cast<std::uint16_t>(pc + 1));
        const std::uint8_t b2 = m.Code(static_cast<std::uint16_t>(pc + 2));
        m.Begin(pc, op);
        const std::uint16_t next = m.End(m, Execute(m, pc, op, b1, b2));
        ++n;
        if (next == pc && kWritesNothing.v[op] && m.Settled(op, b1)) {
            r.reason = StopReason::Halt;
            break;
        }
        r.last = pc;
        pc = next;
        if (stop(pc)) {
            r.reason = StopReason::Until;
            break;
        }
    }
    if (r.reason == StopReason::Halt) r.last = pc;
    m.c.PC = pc;
    r.steps = n;
    return r;
}

}  // namespace dispatch
}  // namespace z51
