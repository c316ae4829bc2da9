#pragma once
// Data transfer: MOV, MOVC, MOVX, PUSH, POP, XCH, XCHD. No flag changes
// (a write to PSW as a byte or bit changes the flags like any byte).

#include "emulator/ops_common.h"

namespace z51::ops {

// MOV A,#data      0111 0100 dddddddd
inline std::uint16_t MovAccImm(const Insn& i) { Acc(i.c) = i.b1; return Next(i, 2); }
// MOV A,direct     1110 0101 aaaaaaaa
inline std::uint16_t MovAccDir(const Insn& i) { Acc(i.c) = Direct(i.c, i.b1); return Next(i, 2); }
// MOV A,@Ri        1110 011i
inline std::uint16_t MovAccInd(const Insn& i, unsigned ri) { Acc(i.c) = AtRi(i.c, ri); return Next(i, 1); }
// MOV A,Rn         1110 1rrr
inline std::uint16_t MovAccReg(const Insn& i, unsigned rn) { Acc(i.c) = i.c.R[rn]; return Next(i, 1); }
// MOV direct,A     1111 0101 aaaaaaaa
inline std::uint16_t MovDirAcc(const Insn& i) { Direct(i.c, i.b1) = Acc(i.c); return Next(i, 2); }
// MOV @Ri,A        1111 011i
inline std::uint16_t MovIndAcc(const Insn& i, unsigned ri) { AtRi(i.c, ri) = Acc(i.c); return Next(i, 1); }
// MOV Rn,A         1111 1rrr
inline std::uint16_t MovRegAcc(const Insn& i, unsigned rn) { i.c.R[rn] = Acc(i.c); return Next(i, 1); }
// MOV direct,#data 0111 0101 aaaaaaaa dddddddd
inline std::uint16_t MovDirImm(const Insn& i) { Direct(i.c, i.b1) = i.b2; return Next(i, 3); }
// MOV @Ri,#data    0111 011i dddddddd
inline std::uint16_t MovIndImm(const Insn& i, unsigned ri) { AtRi(i.c, ri) = i.b1; return Next(i, 2); }
// MOV Rn,#data     0111 1rrr dddddddd
inline std::uint16_t MovRegImm(const Insn& i, unsigned rn) { i.c.R[rn] = i.b1; return Next(i, 2); }
// MOV direct,direct 1000 0101 ssssssss dddddddd
// The chip stores the source address first and the destination second,
// the reverse of the source text "MOV dest,src".
inline std::uint16_t MovDirDir(const Insn& i) { Direct(i.c, i.b2) = Direct(i.c, i.b1); return Next(i, 3); }
// MOV direct,@Ri   1000 011i aaaaaaaa
inline std::uint16_t MovDirInd(const Insn& i, unsigned ri) { Direct(i.c, i.b1) = AtRi(i.c, ri); return Next(i, 2); }
// MOV direct,Rn    1000 1rrr aaaaaaaa
inline std::uint16_t MovDirReg(const Insn& i, unsigned rn) { Direct(i.c, i.b1) = i.c.R[rn]; return Next(i, 2); }
// MOV @Ri,direct   1010 011i aaaaaaaa
inline std::uint16_t MovIndDir(const Insn& i, unsigned ri) { AtRi(i.c, ri) = Direct(i.c, i.b1); return Next(i, 2); }
// MOV Rn,direct    1010 1rrr aaaaaaaa
inline std::uint16_t MovRegDir(const Insn& i, unsigned rn) { i.c.R[rn] = Direct(i.c, i.b1); return Next(i, 2); }
// MOV DPTR,#data16 1001 0000 hhhhhhhh llllllll   DPH (83H) <- high, DPL (82H) <- low
inline std::uint16_t MovDptrImm(const Insn& i) {
    i.c.dump[sfr::DPH] = i.b1;
    i.c.dump[sfr::DPL] = i.b2;
    return Next(i, 3);
}

// MOVC A,@A+PC     1000 0011          PC here is the address of the next instruction
inline std::uint16_t MovcPc(const Insn& i) {
    Acc(i.c) = i.code[static_cast<std::uint16_t>(i.pc + 1 + Acc(i.c))];
    return Next(i, 1);
}
// MOVC A,@A+DPTR   1001 0011
inline std::uint16_t MovcDptr(const Insn& i) {
    Acc(i.c) = i.code[static_cast<std::uint16_t>(i.c.Dptr() + Acc(i.c))];
    return Next(i, 1);
}

// MOVX A,@DPTR     1110 0000
inline std::uint16_t MovxAccDptr(const Insn& i) { Acc(i.c) = i.c.xram[i.c.Dptr()]; return Next(i, 1); }
// MOVX A,@Ri       1110 001i          external RAM 0000H..00FFH: P2 is not used as the high byte
inline std::uint16_t MovxAccInd(const Insn& i, unsigned ri) { Acc(i.c) = i.c.xram[i.c.R[ri]]; return Next(i, 1); }
// MOVX @DPTR,A     1111 0000
inline std::uint16_t MovxDptrAcc(const Insn& i) { i.c.xram[i.c.Dptr()] = Acc(i.c); return Next(i, 1); }
// MOVX @Ri,A       1111 001i
inline std::uint16_t MovxIndAcc(const Insn& i, unsigned ri) { i.c.xram[i.c.R[ri]] = Acc(i.c); return Next(i, 1); }

// PUSH direct      1100 0000 aaaaaaaa
// SP is incremented before the source is read, so PUSH SP pushes the new SP.
inline std::uint16_t PushDir(const Insn& i) {
    std::uint8_t& sp = i.c.dump[sfr::SP];
    ++sp;
    i.c.dump[sp] = Direct(i.c, i.b1);
    return Next(i, 2);
}
// POP direct       1101 0000 aaaaaaaa
// The byte is stored before SP is decremented, so POP SP leaves the popped
// value minus one.
inline std::uint16_t PopDir(const Insn& i) {
    Direct(i.c, i.b1) = i.c.dump[i.c.dump[sfr::SP]];
    --i.c.dump[sfr::SP];
    return Next(i, 2);
}

inline void Exchange(std::uint8_t& a, std::uint8_t& x) {
    const std::uint8_t t = a;
    a = x;
    x = t;
}
// XCH A,direct     1100 0101 aaaaaaaa
inline std::uint16_t XchDir(const Insn& i) { Exchange(Acc(i.c), Direct(i.c, i.b1)); return Next(i, 2); }
// XCH A,@Ri        1100 011i
inline std::uint16_t XchInd(const Insn& i, unsigned ri) { Exchange(Acc(i.c), AtRi(i.c, ri)); return Next(i, 1); }
// XCH A,Rn         1100 1rrr
inline std::uint16_t XchReg(const Insn& i, unsigned rn) { Exchange(Acc(i.c), i.c.R[rn]); return Next(i, 1); }
// XCHD A,@Ri       1101 011i          low nibbles exchanged, high nibbles stay
inline std::uint16_t XchdInd(const Insn& i, unsigned ri) {
    std::uint8_t& a = Acc(i.c);
    std::uint8_t& m = AtRi(i.c, ri);
    const std::uint8_t av = a, mv = m;
    a = static_cast<std::uint8_t>((av & 0xF0) | (mv & 0x0F));
    m = static_cast<std::uint8_t>((mv & 0xF0) | (av & 0x0F));
    return Next(i, 1);
}

}  // namespace z51::ops
