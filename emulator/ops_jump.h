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

// AJMP addr11      ppp0 0001 aaaaaaaa
inline std::uint16_t Ajmp(const Insn& i, unsigned page) { return Addr11Target(i, page); }
// ACALL addr11     ppp1 0001 aaaaaaaa   pushes PC + 2, low byte first
inline std::uint16_t Acall(const Insn& i, unsigned page) {
    const std::uint16_t ret = Next(i, 2);
    Push(i.c, static_cast<std::uint8_t>(ret));
    Push(i.c, static_cast<std::uint8_t>(ret >> 8));
    return Addr11Target(i, page);
}
// LJMP addr16      0000 0010 hhhhhhhh llllllll
inline std::uint16_t Ljmp(const Insn& i) { return static_cast<std::uint16_t>(i.b1 << 8 | i.b2); }
// LCALL addr16     0001 0010 hhhhhhhh llllllll   pushes PC + 3, low byte first
inline std::uint16_t Lcall(const Insn& i) {
    const std::uint16_t ret = Next(i, 3);
    Push(i.c, static_cast<std::uint8_t>(ret));
    Push(i.c, static_cast<std::uint8_t>(ret >> 8));
    return static_cast<std::uint16_t>(i.b1 << 8 | i.b2);
}
// RET              0010 0010
// RETI             0011 0010          the same as RET: there are no interrupts
inline std::uint16_t Ret(const Insn& i) {
    const std::uint8_t hi = Pop(i.c);
    const std::uint8_t lo = Pop(i.c);
    return static_cast<std::uint16_t>(hi << 8 | lo);
}
// JMP @A+DPTR      0111 0011
inline std::uint16_t JmpAtADptr(const Insn& i) {
    return static_cast<std::uint16_t>(i.c.Dptr() + Acc(i.c));
}
// SJMP rel         1000 0000 rrrrrrrr
inline std::uint16_t Sjmp(const Insn& i) { return RelTarget(Next(i, 2), i.b1); }

// JC rel           0100 0000 rrrrrrrr
inline std::uint16_t Jc(const Insn& i) { return i.c.CY() ? RelTarget(Next(i, 2), i.b1) : Next(i, 2); }
// JNC rel          0101 0000 rrrrrrrr
inline std::uint16_t Jnc(const Insn& i) { return i.c.CY() ? Next(i, 2) : RelTarget(Next(i, 2), i.b1); }
// JZ rel           0110 0000 rrrrrrrr
inline std::uint16_t Jz(const Insn& i) { return Acc(i.c) == 0 ? RelTarget(Next(i, 2), i.b1) : Next(i, 2); }
// JNZ rel          0111 0000 rrrrrrrr
inline std::uint16_t Jnz(const Insn& i) { return Acc(i.c) != 0 ? RelTarget(Next(i, 2), i.b1) : Next(i, 2); }

// JB bit,rel       0010 0000 bbbbbbbb rrrrrrrr
inline std::uint16_t Jb(const Insn& i) { return mcuCheckBit(i.c, i.b1) ? RelTarget(Next(i, 3), i.b2) : Next(i, 3); }
// JNB bit,rel      0011 0000 bbbbbbbb rrrrrrrr
inline std::uint16_t Jnb(const Insn& i) { return mcuCheckBit(i.c, i.b1) ? Next(i, 3) : RelTarget(Next(i, 3), i.b2); }
// JBC bit,rel      0001 0000 bbbbbbbb rrrrrrrr   a set bit is cleared and the branch taken
inline std::uint16_t Jbc(const Insn& i) {
    if (!mcuCheckBit(i.c, i.b1)) return Next(i, 3);
    mcuSetBit(i.c, i.b1, 0);
    return RelTarget(Next(i, 3), i.b2);
}

// CJNE: CY <- (first < second, unsigned); branch when they differ.
inline std::uint16_t Cjne(const Insn& i, std::uint8_t x, std::uint8_t y) {
    SetFlags(i.c, psw::CY, x < y ? psw::CY : 0);
    return x != y ? RelTarget(Next(i, 3), i.b2) : Next(i, 3);
}
// CJNE A,#data,rel 1011 0100 dddddddd rrrrrrrr
inline std::uint16_t CjneAccImm(const Insn& i) { return Cjne(i, Acc(i.c), i.b1); }
// CJNE A,direct,rel 1011 0101 aaaaaaaa rrrrrrrr
inline std::uint16_t CjneAccDir(const Insn& i) { return Cjne(i, Acc(i.c), Direct(i.c, i.b1)); }
// CJNE @Ri,#data,rel 1011 011i dddddddd rrrrrrrr
inline std::uint16_t CjneIndImm(const Insn& i, unsigned ri) { return Cjne(i, AtRi(i.c, ri), i.b1); }
// CJNE Rn,#data,rel 1011 1rrr dddddddd rrrrrrrr
inline std::uint16_t CjneRegImm(const Insn& i, unsigned rn) { return Cjne(i, i.c.R[rn], i.b1); }

// DJNZ direct,rel  1101 0101 aaaaaaaa rrrrrrrr
inline std::uint16_t DjnzDir(const Insn& i) {
    return --Direct(i.c, i.b1) != 0 ? RelTarget(Next(i, 3), i.b2) : Next(i, 3);
}
// DJNZ Rn,rel      1101 1rrr rrrrrrrr
inline std::uint16_t DjnzReg(const Insn& i, unsigned rn) {
    return --i.c.R[rn] != 0 ? RelTarget(Next(i, 2), i.b1) : Next(i, 2);
}

}  // namespace z51::ops
