#pragma once
// Logical instructions: ANL, ORL, XRL, CLR A, CPL A, the rotates, SWAP.
// None of them changes a flag except RLC and RRC (CY).

#include "emulator/ops_common.h"

namespace z51::ops {

struct OrOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x | y; } };
struct AndOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x & y; } };
struct XorOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x ^ y; } };

// The three logical rows share their shape; `L` picks ORL (4x), ANL (5x) or XRL (6x).
// The forms with a direct destination are read-modify-write (a port's latch).
// xRL direct,A     01xx 0010 aaaaaaaa
template <class L, class M> Z51_HOT std::uint16_t LogDirAcc(M& m, const Insn& i) {
    m.SetDirect(i.b1, L::Do(m.DirectRmw(i.b1), m.Acc()));
    return Next(i, 2);
}
// xRL direct,#data 01xx 0011 aaaaaaaa dddddddd
template <class L, class M> Z51_HOT std::uint16_t LogDirImm(M& m, const Insn& i) {
    m.SetDirect(i.b1, L::Do(m.DirectRmw(i.b1), i.b2));
    return Next(i, 3);
}
// xRL A,#data      01xx 0100 dddddddd
template <class L, class M> Z51_HOT std::uint16_t LogAccImm(M& m, const Insn& i) { m.SetAcc(L::Do(m.Acc(), i.b1)); return Next(i, 2); }
// xRL A,direct     01xx 0101 aaaaaaaa
template <class L, class M> Z51_HOT std::uint16_t LogAccDir(M& m, const Insn& i) { m.SetAcc(L::Do(m.Acc(), m.Direct(i.b1))); return Next(i, 2); }
// xRL A,@Ri        01xx 011i
template <class L, class M> Z51_HOT std::uint16_t LogAccInd(M& m, const Insn& i, unsigned ri) {
    m.SetAcc(L::Do(m.Acc(), AtRi(m, ri)));
    return Next(i, 1);
}
// xRL A,Rn         01xx 1rrr
template <class L, class M> Z51_HOT std::uint16_t LogAccReg(M& m, const Insn& i, unsigned rn) {
    m.SetAcc(L::Do(m.Acc(), m.Reg(rn)));
    return Next(i, 1);
}

// CLR A            1110 0100
template <class M> Z51_HOT std::uint16_t ClrAcc(M& m, const Insn& i) { m.SetAcc(0); return Next(i, 1); }
// CPL A            1111 0100
template <class M> Z51_HOT std::uint16_t CplAcc(M& m, const Insn& i) { m.SetAcc(static_cast<std::uint8_t>(~m.Acc())); return Next(i, 1); }

// RR A             0000 0011          bit 0 goes to bit 7
template <class M> Z51_HOT std::uint16_t RrAcc(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc();
    m.SetAcc(static_cast<std::uint8_t>(a >> 1 | a << 7));
    return Next(i, 1);
}
// RL A             0010 0011          bit 7 goes to bit 0
template <class M> Z51_HOT std::uint16_t RlAcc(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc();
    m.SetAcc(static_cast<std::uint8_t>(a << 1 | a >> 7));
    return Next(i, 1);
}
// RRC A            0001 0011          through CY: CY <- bit 0, bit 7 <- old CY
template <class M> Z51_HOT std::uint16_t RrcAcc(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc();
    const unsigned cy = Carry(m);
    m.SetAcc(static_cast<std::uint8_t>(a >> 1 | cy << 7));
    SetFlags(m, psw::CY, (a & 1) ? psw::CY : 0);
    return Next(i, 1);
}
// RLC A            0011 0011          through CY: CY <- bit 7, bit 0 <- old CY
template <class M> Z51_HOT std::uint16_t RlcAcc(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc();
    const unsigned cy = Carry(m);
    m.SetAcc(static_cast<std::uint8_t>(a << 1 | cy));
    SetFlags(m, psw::CY, (a & 0x80) ? psw::CY : 0);
    return Next(i, 1);
}
// SWAP A           1100 0100          exchange the nibbles
template <class M> Z51_HOT std::uint16_t SwapAcc(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc();
    m.SetAcc(static_cast<std::uint8_t>(a << 4 | a >> 4));
    return Next(i, 1);
}

}  // namespace z51::ops
