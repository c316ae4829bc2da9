#pragma once
// Logical instructions: ANL, ORL, XRL, CLR A, CPL A, the rotates, SWAP.
// None of them changes a flag except RLC and RRC (CY).

#include "emulator/ops_common.h"

namespace z51::ops {

struct OrOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x | y; } };
struct AndOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x & y; } };
struct XorOp { static std::uint8_t Do(std::uint8_t x, std::uint8_t y) { return x ^ y; } };

// The three logical rows share their shape; `L` picks ORL (4x), ANL (5x) or XRL (6x).
// xRL direct,A     01xx 0010 aaaaaaaa
template <class L> std::uint16_t LogDirAcc(const Insn& i) {
    std::uint8_t& d = Direct(i.c, i.b1);
    d = L::Do(d, Acc(i.c));
    return Next(i, 2);
}
// xRL direct,#data 01xx 0011 aaaaaaaa dddddddd
template <class L> std::uint16_t LogDirImm(const Insn& i) {
    std::uint8_t& d = Direct(i.c, i.b1);
    d = L::Do(d, i.b2);
    return Next(i, 3);
}
// xRL A,#data      01xx 0100 dddddddd
template <class L> std::uint16_t LogAccImm(const Insn& i) { Acc(i.c) = L::Do(Acc(i.c), i.b1); return Next(i, 2); }
// xRL A,direct     01xx 0101 aaaaaaaa
template <class L> std::uint16_t LogAccDir(const Insn& i) {
    Acc(i.c) = L::Do(Acc(i.c), Direct(i.c, i.b1));
    return Next(i, 2);
}
// xRL A,@Ri        01xx 011i
template <class L> std::uint16_t LogAccInd(const Insn& i, unsigned ri) {
    Acc(i.c) = L::Do(Acc(i.c), AtRi(i.c, ri));
    return Next(i, 1);
}
// xRL A,Rn         01xx 1rrr
template <class L> std::uint16_t LogAccReg(const Insn& i, unsigned rn) {
    Acc(i.c) = L::Do(Acc(i.c), i.c.R[rn]);
    return Next(i, 1);
}

// CLR A            1110 0100
inline std::uint16_t ClrAcc(const Insn& i) { Acc(i.c) = 0; return Next(i, 1); }
// CPL A            1111 0100
inline std::uint16_t CplAcc(const Insn& i) { Acc(i.c) = static_cast<std::uint8_t>(~Acc(i.c)); return Next(i, 1); }

// RR A             0000 0011          bit 0 goes to bit 7
inline std::uint16_t RrAcc(const Insn& i) {
    const std::uint8_t a = Acc(i.c);
    Acc(i.c) = static_cast<std::uint8_t>(a >> 1 | a << 7);
    return Next(i, 1);
}
// RL A             0010 0011          bit 7 goes to bit 0
inline std::uint16_t RlAcc(const Insn& i) {
    const std::uint8_t a = Acc(i.c);
    Acc(i.c) = static_cast<std::uint8_t>(a << 1 | a >> 7);
    return Next(i, 1);
}
// RRC A            0001 0011          through CY: CY <- bit 0, bit 7 <- old CY
inline std::uint16_t RrcAcc(const Insn& i) {
    const std::uint8_t a = Acc(i.c);
    const unsigned cy = i.c.CY();
    Acc(i.c) = static_cast<std::uint8_t>(a >> 1 | cy << 7);
    SetFlags(i.c, psw::CY, (a & 1) ? psw::CY : 0);
    return Next(i, 1);
}
// RLC A            0011 0011          through CY: CY <- bit 7, bit 0 <- old CY
inline std::uint16_t RlcAcc(const Insn& i) {
    const std::uint8_t a = Acc(i.c);
    const unsigned cy = i.c.CY();
    Acc(i.c) = static_cast<std::uint8_t>(a << 1 | cy);
    SetFlags(i.c, psw::CY, (a & 0x80) ? psw::CY : 0);
    return Next(i, 1);
}
// SWAP A           1100 0100          exchange the nibbles
inline std::uint16_t SwapAcc(const Insn& i) {
    const std::uint8_t a = Acc(i.c);
    Acc(i.c) = static_cast<std::uint8_t>(a << 4 | a >> 4);
    return Next(i, 1);
}

}  // namespace z51::ops
