#pragma once
// Control transfer: jumps, calls, returns, conditional branches, CJNE, DJNZ.

#include "emulator/ops_common.h"

namespace z51::ops {

// AJMP/ACALL target: the chip keeps the top five bits of PC + 2 (the
// address of the following instruction) and puts the opcode's bits 7-5
// (page) and the operand byte below them.
inline std::uint16_t Addr11Target(const Insn& i, unsigned page) {
    return z51::Addr11Target(Next(i, 2), static_cast<std::uint8_t>(page << 5), i.b1);
}

template <class M> Z51_HOT void PushReturn(M& m, std::uint16_t ret) {
    Push(m, static_cast<std::uint8_t>(ret));
    Push(m, static_cast<std::uint8_t>(ret >> 8));
}

// AJMP addr11      ppp0 0001 aaaaaaaa
inline std::uint16_t Ajmp(const Insn& i, unsigned page) { return Addr11Target(i, page); }
// ACALL addr11     ppp1 0001 aaaaaaaa   pushes PC + 2, low byte first
template <class M> Z51_HOT std::uint16_t Acall(M& m, const Insn& i, unsigned page) {
    PushReturn(m, Next(i, 2));
    return Addr11Target(i, page);
}
// LJMP addr16      0000 0010 hhhhhhhh llllllll
inline std::uint16_t Ljmp(const Insn& i) { return static_cast<std::uint16_t>(i.b1 << 8 | i.b2); }
// LCALL addr16     0001 0010 hhhhhhhh llllllll   pushes PC + 3, low byte first
template <class M> Z51_HOT std::uint16_t Lcall(M& m, const Insn& i) {
    PushReturn(m, Next(i, 3));
    return static_cast<std::uint16_t>(i.b1 << 8 | i.b2);
}
// RET              0010 0010
template <class M> Z51_HOT std::uint16_t Ret(M& m) {
    const std::uint8_t hi = Pop(m);
    const std::uint8_t lo = Pop(m);
    return static_cast<std::uint16_t>(hi << 8 | lo);
}
// RETI             0011 0010          RET, and the interrupt priority level in
// service ends (nothing more in the simple model, which has no interrupts)
template <class M> Z51_HOT std::uint16_t Reti(M& m) {
    m.Reti();
    return Ret(m);
}
// JMP @A+DPTR      0111 0011
template <class M> Z51_HOT std::uint16_t JmpAtADptr(M& m) { return static_cast<std::uint16_t>(m.Dptr() + m.Acc()); }
// SJMP rel         1000 0000 rrrrrrrr
inline std::uint16_t Sjmp(const Insn& i) { return RelTarget(Next(i, 2), i.b1); }

inline std::uint16_t Branch(const Insn& i, unsigned len, std::uint8_t rel, bool taken) {
    return taken ? RelTarget(Next(i, len), rel) : Next(i, len);
}
// JC rel           0100 0000 rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jc(M& m, const Insn& i) { return Branch(i, 2, i.b1, Carry(m)); }
// JNC rel          0101 0000 rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jnc(M& m, const Insn& i) { return Branch(i, 2, i.b1, !Carry(m)); }
// JZ rel           0110 0000 rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jz(M& m, const Insn& i) { return Branch(i, 2, i.b1, m.Acc() == 0); }
// JNZ rel          0111 0000 rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jnz(M& m, const Insn& i) { return Branch(i, 2, i.b1, m.Acc() != 0); }

// JB bit,rel       0010 0000 bbbbbbbb rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jb(M& m, const Insn& i) { return Branch(i, 3, i.b2, mcuCheckBit(m, i.b1)); }
// JNB bit,rel      0011 0000 bbbbbbbb rrrrrrrr
template <class M> Z51_HOT std::uint16_t Jnb(M& m, const Insn& i) { return Branch(i, 3, i.b2, !mcuCheckBit(m, i.b1)); }
// JBC bit,rel      0001 0000 bbbbbbbb rrrrrrrr   a set bit is cleared and the branch taken;
// read-modify-write: a port bit is tested in its latch
template <class M> Z51_HOT std::uint16_t Jbc(M& m, const Insn& i) {
    const std::uint8_t at = BitByteAddress(i.b1);
    const std::uint8_t byte = m.DirectRmw(at), mask = static_cast<std::uint8_t>(1u << (i.b1 & 7));
    if (!(byte & mask)) return Next(i, 3);
    m.SetDirect(at, static_cast<std::uint8_t>(byte & ~mask));
    return RelTarget(Next(i, 3), i.b2);
}

// CJNE: CY <- (first < second, unsigned); branch when they differ.
template <class M> Z51_HOT std::uint16_t Cjne(M& m, const Insn& i, std::uint8_t x, std::uint8_t y) {
    SetFlags(m, psw::CY, x < y ? psw::CY : 0);
    return Branch(i, 3, i.b2, x != y);
}
// CJNE A,#data,rel 1011 0100 dddddddd rrrrrrrr
template <class M> Z51_HOT std::uint16_t CjneAccImm(M& m, const Insn& i) { return Cjne(m, i, m.Acc(), i.b1); }
// CJNE A,direct,rel 1011 0101 aaaaaaaa rrrrrrrr
template <class M> Z51_HOT std::uint16_t CjneAccDir(M& m, const Insn& i) { return Cjne(m, i, m.Acc(), m.Direct(i.b1)); }
// CJNE @Ri,#data,rel 1011 011i dddddddd rrrrrrrr
template <class M> Z51_HOT std::uint16_t CjneIndImm(M& m, const Insn& i, unsigned ri) { return Cjne(m, i, AtRi(m, ri), i.b1); }
// CJNE Rn,#data,rel 1011 1rrr dddddddd rrrrrrrr
template <class M> Z51_HOT std::uint16_t CjneRegImm(M& m, const Insn& i, unsigned rn) { return Cjne(m, i, m.Reg(rn), i.b1); }

// DJNZ direct,rel  1101 0101 aaaaaaaa rrrrrrrr   read-modify-write
template <class M> Z51_HOT std::uint16_t DjnzDir(M& m, const Insn& i) {
    const std::uint8_t v = static_cast<std::uint8_t>(m.DirectRmw(i.b1) - 1);
    m.SetDirect(i.b1, v);
    return Branch(i, 3, i.b2, v != 0);
}
// DJNZ Rn,rel      1101 1rrr rrrrrrrr
template <class M> Z51_HOT std::uint16_t DjnzReg(M& m, const Insn& i, unsigned rn) {
    const std::uint8_t v = static_cast<std::uint8_t>(m.Reg(rn) - 1);
    m.SetReg(rn, v);
    return Branch(i, 2, i.b1, v != 0);
}

}  // namespace z51::ops
