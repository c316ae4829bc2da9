#pragma once
// Shared pieces of the instruction handlers (ops_*.h). Each handler is a
// template on the bus (bus.h), takes the decoded instruction and returns
// the address of the next instruction; the dispatch switch (dispatch.h)
// inlines them all.

#include <cstdint>

#include "emulator/alu.h"
#include "emulator/bus.h"
#include "isa/opcode_map.h"  // RelTarget, Addr11Target

namespace z51::ops {

// One instruction in flight.
struct Insn {
    std::uint16_t pc;  // address of this instruction
    std::uint8_t b1;   // first operand byte
    std::uint8_t b2;   // second operand byte
};

inline std::uint16_t Next(const Insn& i, unsigned len) { return static_cast<std::uint16_t>(i.pc + len); }

// @Ri: the byte addressed by working register R0 or R1.
template <class M> Z51_HOT std::uint8_t AtRi(M& m, unsigned i) { return m.Ind(m.Reg(i)); }
template <class M> Z51_HOT void SetAtRi(M& m, unsigned i, std::uint8_t v) { m.SetInd(m.Reg(i), v); }

// The stack grows upwards in internal RAM: a push increments SP first and
// then writes; a pop reads and then decrements. SP wraps modulo 256.
template <class M> Z51_HOT void Push(M& m, std::uint8_t v) {
    const std::uint8_t sp = static_cast<std::uint8_t>(m.Sp() + 1);
    m.SetSp(sp);
    m.SetInd(sp, v);
}
template <class M> Z51_HOT std::uint8_t Pop(M& m) {
    const std::uint8_t sp = m.Sp();
    const std::uint8_t v = m.Ind(sp);
    m.SetSp(static_cast<std::uint8_t>(sp - 1));
    return v;
}

}  // namespace z51::ops
