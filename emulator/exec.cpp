// The step of the emulated 8051: one switch over the opcode, whose cases
// name the handler of each opcode family (ops_*.h). The handlers are inline
// and the switch is inlined into both the single step and the run loop, so
// a step costs one indirect branch and no call.

#include "emulator/exec.h"

#include "emulator/ops_arith.h"
#include "emulator/ops_bit.h"
#include "emulator/ops_jump.h"
#include "emulator/ops_logic.h"
#include "emulator/ops_move.h"

namespace z51 {

namespace {

using namespace ops;

// Opcodes that write nothing at all: when one of them leaves PC where it
// was (SJMP $, AJMP or LJMP to itself, JMP @A+DPTR to itself, a taken
// JB/JNB/JC/JNC/JZ/JNZ to itself, A5H), the state can never change again.
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
constexpr HaltTable kWritesNothing;

#define RI_CASES(base) case (base): case (base) + 1
#define RN_CASES(base)                                                                               \
    case (base): case (base) + 1: case (base) + 2: case (base) + 3: case (base) + 4: case (base) + 5: \
    case (base) + 6: case (base) + 7
#define PAGE_CASES(low)                                                                                  \
    case (low): case (low) + 0x20: case (low) + 0x40: case (low) + 0x60: case (low) + 0x80:              \
    case (low) + 0xA0: case (low) + 0xC0: case (low) + 0xE0

// Executes one instruction at `pc` from its three bytes; returns the new PC.
[[gnu::always_inline]] inline std::uint16_t Execute(Cpu51& c, const CodeMemory& code, std::uint16_t pc,
                                                    std::uint8_t op, std::uint8_t b1, std::uint8_t b2) {
    const Insn i{c, code, pc, b1, b2};
    const unsigned rn = op & 7, ri = op & 1, page = op >> 5;
    switch (op) {
    case 0x00: return Next(i, 1);                      // NOP
    PAGE_CASES(0x01): return Ajmp(i, page);
    PAGE_CASES(0x11): return Acall(i, page);
    case 0x02: return Ljmp(i);
    case 0x12: return Lcall(i);
    case 0x22: return Ret(i);
    case 0x32: return Ret(i);                          // RETI
    case 0x03: return RrAcc(i);
    case 0x13: return RrcAcc(i);
    case 0x23: return RlAcc(i);
    case 0x33: return RlcAcc(i);

    case 0x04: return IncAcc(i);
    case 0x05: return IncDir(i);
    RI_CASES(0x06): return IncInd(i, ri);
    RN_CASES(0x08): return IncReg(i, rn);
    case 0x14: return DecAcc(i);
    case 0x15: return DecDir(i);
    RI_CASES(0x16): return DecInd(i, ri);
    RN_CASES(0x18): return DecReg(i, rn);

    case 0x10: return Jbc(i);
    case 0x20: return Jb(i);
    case 0x30: return Jnb(i);
    case 0x40: return Jc(i);
    case 0x50: return Jnc(i);
    case 0x60: return Jz(i);
    case 0x70: return Jnz(i);
    case 0x80: return Sjmp(i);
    case 0x73: return JmpAtADptr(i);

    case 0x24: return AddImm(i);
    case 0x25: return AddDir(i);
    RI_CASES(0x26): return AddInd(i, ri);
    RN_CASES(0x28): return AddReg(i, rn);
    case 0x34: return AddcImm(i);
    case 0x35: return AddcDir(i);
    RI_CASES(0x36): return AddcInd(i, ri);
    RN_CASES(0x38): return AddcReg(i, rn);
    case 0x94: return SubbImm(i);
    case 0x95: return SubbDir(i);
    RI_CASES(0x96): return SubbInd(i, ri);
    RN_CASES(0x98): return SubbReg(i, rn);

    case 0x42: return LogDirAcc<OrOp>(i);
    case 0x43: return LogDirImm<OrOp>(i);
    case 0x44: return LogAccImm<OrOp>(i);
    case 0x45: return LogAccDir<OrOp>(i);
    RI_CASES(0x46): return LogAccInd<OrOp>(i, ri);
    RN_CASES(0x48): return LogAccReg<OrOp>(i, rn);
    case 0x52: return LogDirAcc<AndOp>(i);
    case 0x53: return LogDirImm<AndOp>(i);
    case 0x54: return LogAccImm<AndOp>(i);
    case 0x55: return LogAccDir<AndOp>(i);
    RI_CASES(0x56): return LogAccInd<AndOp>(i, ri);
    RN_CASES(0x58): return LogAccReg<AndOp>(i, rn);
    case 0x62: return LogDirAcc<XorOp>(i);
    case 0x63: return LogDirImm<XorOp>(i);
    case 0x64: return LogAccImm<XorOp>(i);
    case 0x65: return LogAccDir<XorOp>(i);
    RI_CASES(0x66): return LogAccInd<XorOp>(i, ri);
    RN_CASES(0x68): return LogAccReg<XorOp>(i, rn);

    case 0x72: return OrlCBit(i);
    case 0x82: return AnlCBit(i);
    case 0xA0: return OrlCNotBit(i);
    case 0xB0: return AnlCNotBit(i);
    case 0xA2: return MovCBit(i);
    case 0x92: return MovBitC(i);
    case 0xB2: return CplBit(i);
    case 0xC2: return ClrBit(i);
    case 0xD2: return SetbBit(i);
    case 0xB3: return CplC(i);
    case 0xC3: return ClrC(i);
    case 0xD3: return SetbC(i);

    case 0x74: return MovAccImm(i);
    case 0x75: return MovDirImm(i);
    RI_CASES(0x76): return MovIndImm(i, ri);
    RN_CASES(0x78): return MovRegImm(i, rn);
    case 0x85: return MovDirDir(i);
    RI_CASES(0x86): return MovDirInd(i, ri);
    RN_CASES(0x88): return MovDirReg(i, rn);
    case 0x90: return MovDptrImm(i);
    case 0x83: return MovcPc(i);
    case 0x93: return MovcDptr(i);
    case 0x84: return DivAb(i);
    case 0xA4: return MulAb(i);
    case 0xA3: return IncDptr(i);
    case 0xA5: return pc;                              // no instruction: nothing changes, PC included
    RI_CASES(0xA6): return MovIndDir(i, ri);
    RN_CASES(0xA8): return MovRegDir(i, rn);

    case 0xB4: return CjneAccImm(i);
    case 0xB5: return CjneAccDir(i);
    RI_CASES(0xB6): return CjneIndImm(i, ri);
    RN_CASES(0xB8): return CjneRegImm(i, rn);

    case 0xC0: return PushDir(i);
    case 0xD0: return PopDir(i);
    case 0xC4: return SwapAcc(i);
    case 0xC5: return XchDir(i);
    RI_CASES(0xC6): return XchInd(i, ri);
    RN_CASES(0xC8): return XchReg(i, rn);
    case 0xD4: return DaA(i);
    case 0xD5: return DjnzDir(i);
    RI_CASES(0xD6): return XchdInd(i, ri);
    RN_CASES(0xD8): return DjnzReg(i, rn);

    case 0xE0: return MovxAccDptr(i);
    RI_CASES(0xE2): return MovxAccInd(i, ri);
    case 0xE4: return ClrAcc(i);
    case 0xE5: return MovAccDir(i);
    RI_CASES(0xE6): return MovAccInd(i, ri);
    RN_CASES(0xE8): return MovAccReg(i, rn);
    case 0xF0: return MovxDptrAcc(i);
    RI_CASES(0xF2): return MovxIndAcc(i, ri);
    case 0xF4: return CplAcc(i);
    case 0xF5: return MovDirAcc(i);
    RI_CASES(0xF6): return MovIndAcc(i, ri);
    RN_CASES(0xF8): return MovRegAcc(i, rn);
    }
    __builtin_unreachable();  // all 256 opcodes are handled above
}

#undef RI_CASES
#undef RN_CASES
#undef PAGE_CASES

}  // namespace

void FetchCurrent(Cpu51& cpu, const CodeMemory& code) {
    const std::uint16_t pc = cpu.PC;
    cpu.cur[0] = code[pc];
    cpu.cur[1] = code[static_cast<std::uint16_t>(pc + 1)];
    cpu.cur[2] = code[static_cast<std::uint16_t>(pc + 2)];
    cpu.curLen = kInstructionLength[cpu.cur[0]];
}

void Shag1(Cpu51& cpu, const CodeMemory& code) {
    cpu.PC = Execute(cpu, code, cpu.PC, cpu.cur[0], cpu.cur[1], cpu.cur[2]);
}

void Step(Cpu51& cpu, const CodeMemory& code) {
    FetchCurrent(cpu, code);
    Shag1(cpu, code);
}

RunResult Run(Cpu51& cpu, const CodeMemory& code, std::uint64_t maxSteps, std::uint32_t until) {
    RunResult r;
    std::uint16_t pc = cpu.PC;
    std::uint64_t n = 0;
    while (n < maxSteps) {
        const std::uint8_t op = code[pc];
        const std::uint16_t next = Execute(cpu, code, pc, op, code[static_cast<std::uint16_t>(pc + 1)],
                                           code[static_cast<std::uint16_t>(pc + 2)]);
        ++n;
        if (next == pc && kWritesNothing.v[op]) {
            r.reason = StopReason::Halt;
            break;
        }
        pc = next;
        if (pc == until) {
            r.reason = StopReason::Until;
            break;
        }
    }
    cpu.PC = pc;
    r.steps = n;
    FetchCurrent(cpu, code);
    return r;
}

}  // namespace z51
