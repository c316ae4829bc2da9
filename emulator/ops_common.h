#pragma once
// Shared pieces of the instruction handlers (ops_*.h). Each handler takes
// the decoded instruction and returns the address of the next instruction;
// the dispatch switch in exec.cpp inlines them all.

#include <cstdint>

#include "emulator/alu.h"
#include "emulator/cpu51.h"
#include "isa/opcode_map.h"  // RelTarget, Addr11Target

namespace z51::ops {

// One instruction in flight.
struct Insn {
    Cpu51& c;
    const CodeMemory& code;  // read by MOVC only
    std::uint16_t pc;        // address of this instruction
    std::uint8_t b1;         // first operand byte
    std::uint8_t b2;         // second operand byte
};

inline std::uint16_t Next(const Insn& i, unsigned len) { return static_cast<std::uint16_t>(i.pc + len); }

inline std::uint8_t& Acc(Cpu51& c) { return c.dump[sfr::ACC]; }
// direct: any internal RAM byte 00H..FFH, SFRs included; 00H..07H are not R0..R7.
inline std::uint8_t& Direct(Cpu51& c, std::uint8_t addr) { return c.dump[addr]; }
// @Ri: the byte addressed by working register R0 or R1; all 256 bytes are reachable.
inline std::uint8_t& AtRi(Cpu51& c, unsigned i) { return c.dump[c.R[i]]; }

// The stack grows upwards in internal RAM: a push increments SP first and
// then writes; a pop reads and then decrements. SP wraps modulo 256.
inline void Push(Cpu51& c, std::uint8_t v) {
    std::uint8_t& sp = c.dump[sfr::SP];
    ++sp;
    c.dump[sp] = v;
}
inline std::uint8_t Pop(Cpu51& c) {
    std::uint8_t& sp = c.dump[sfr::SP];
    const std::uint8_t v = c.dump[sp];
    --sp;
    return v;
}

}  // namespace z51::ops
