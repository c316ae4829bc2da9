#pragma once
// Data transfer: MOV, MOVC, MOVX, PUSH, POP, XCH, XCHD. No flag changes
// (a write to PSW as a byte or bit changes the flags like any byte).

#include "emulator/ops_common.h"

namespace z51::ops {

// MOV A,#data      0111 0100 dddddddd
template <class M> Z51_HOT std::uint16_t MovAccImm(M& m, const Insn& i) { m.SetAcc(i.b1); return Next(i, 2); }
// MOV A,direct     1110 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovAccDir(M& m, const Insn& i) { m.SetAcc(m.Direct(i.b1)); return Next(i, 2); }
// MOV A,@Ri        1110 011i
template <class M> Z51_HOT std::uint16_t MovAccInd(M& m, const Insn& i, unsigned ri) { m.SetAcc(AtRi(m, ri)); return Next(i, 1); }
// MOV A,Rn         1110 1rrr
template <class M> Z51_HOT std::uint16_t MovAccReg(M& m, const Insn& i, unsigned rn) { m.SetAcc(m.Reg(rn)); return Next(i, 1); }
// MOV direct,A     1111 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovDirAcc(M& m, const Insn& i) { m.SetDirect(i.b1, m.Acc()); return Next(i, 2); }
// MOV @Ri,A        1111 011i
template <class M> Z51_HOT std::uint16_t MovIndAcc(M& m, const Insn& i, unsigned ri) { SetAtRi(m, ri, m.Acc()); return Next(i, 1); }
// MOV Rn,A         1111 1rrr
template <class M> Z51_HOT std::uint16_t MovRegAcc(M& m, const Insn& i, unsigned rn) { m.SetReg(rn, m.Acc()); return Next(i, 1); }
// MOV direct,#data 0111 0101 aaaaaaaa dddddddd
template <class M> Z51_HOT std::uint16_t MovDirImm(M& m, const Insn& i) { m.SetDirect(i.b1, i.b2); return Next(i, 3); }
// MOV @Ri,#data    0111 011i dddddddd
template <class M> Z51_HOT std::uint16_t MovIndImm(M& m, const Insn& i, unsigned ri) { SetAtRi(m, ri, i.b1); return Next(i, 2); }
// MOV Rn,#data     0111 1rrr dddddddd
template <class M> Z51_HOT std::uint16_t MovRegImm(M& m, const Insn& i, unsigned rn) { m.SetReg(rn, i.b1); return Next(i, 2); }
// MOV direct,direct 1000 0101 ssssssss dddddddd
// The chip stores the source address first and the destination second,
// the reverse of the source text "MOV dest,src".
template <class M> Z51_HOT std::uint16_t MovDirDir(M& m, const Insn& i) { m.SetDirect(i.b2, m.Direct(i.b1)); return Next(i, 3); }
// MOV direct,@Ri   1000 011i aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovDirInd(M& m, const Insn& i, unsigned ri) { m.SetDirect(i.b1, AtRi(m, ri)); return Next(i, 2); }
// MOV direct,Rn    1000 1rrr aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovDirReg(M& m, const Insn& i, unsigned rn) { m.SetDirect(i.b1, m.Reg(rn)); return Next(i, 2); }
// MOV @Ri,direct   1010 011i aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovIndDir(M& m, const Insn& i, unsigned ri) { SetAtRi(m, ri, m.Direct(i.b1)); return Next(i, 2); }
// MOV Rn,direct    1010 1rrr aaaaaaaa
template <class M> Z51_HOT std::uint16_t MovRegDir(M& m, const Insn& i, unsigned rn) { m.SetReg(rn, m.Direct(i.b1)); return Next(i, 2); }
// MOV DPTR,#data16 1001 0000 hhhhhhhh llllllll   DPH (83H) <- high, DPL (82H) <- low
template <class M> Z51_HOT std::uint16_t MovDptrImm(M& m, const Insn& i) {
    m.SetDptr(static_cast<std::uint16_t>(i.b1 << 8 | i.b2));
    return Next(i, 3);
}

// MOVC A,@A+PC     1000 0011          PC here is the address of the next instruction
template <class M> Z51_HOT std::uint16_t MovcPc(M& m, const Insn& i) {
    m.SetAcc(m.Code(static_cast<std::uint16_t>(i.pc + 1 + m.Acc())));
    return Next(i, 1);
}
// MOVC A,@A+DPTR   1001 0011
template <class M> Z51_HOT std::uint16_t MovcDptr(M& m, const Insn& i) {
    m.SetAcc(m.Code(static_cast<std::uint16_t>(m.Dptr() + m.Acc())));
    return Next(i, 1);
}

// MOVX A,@DPTR     1110 0000
template <class M> Z51_HOT std::uint16_t MovxAccDptr(M& m, const Insn& i) { m.SetAcc(m.Xram(m.Dptr())); return Next(i, 1); }
// MOVX A,@Ri       1110 001i          the simple model stays in 0000H..00FFH;
// the chip puts P2 out as the high address byte
template <class M> Z51_HOT std::uint16_t MovxAccInd(M& m, const Insn& i, unsigned ri) { m.SetAcc(m.Xram(m.XramAddrRi(ri))); return Next(i, 1); }
// MOVX @DPTR,A     1111 0000
template <class M> Z51_HOT std::uint16_t MovxDptrAcc(M& m, const Insn& i) { m.SetXram(m.Dptr(), m.Acc()); return Next(i, 1); }
// MOVX @Ri,A       1111 001i
template <class M> Z51_HOT std::uint16_t MovxIndAcc(M& m, const Insn& i, unsigned ri) { m.SetXram(m.XramAddrRi(ri), m.Acc()); return Next(i, 1); }

// PUSH direct      1100 0000 aaaaaaaa
// SP is incremented before the source is read, so PUSH SP pushes the new SP.
template <class M> Z51_HOT std::uint16_t PushDir(M& m, const Insn& i) {
    const std::uint8_t sp = static_cast<std::uint8_t>(m.Sp() + 1);
    m.SetSp(sp);
    m.SetInd(sp, m.Direct(i.b1));
    return Next(i, 2);
}
// POP direct       1101 0000 aaaaaaaa
// The byte is stored before SP is decremented, so POP SP leaves the popped
// value minus one.
template <class M> Z51_HOT std::uint16_t PopDir(M& m, const Insn& i) {
    m.SetDirect(i.b1, m.Ind(m.Sp()));
    m.SetSp(static_cast<std::uint8_t>(m.Sp() - 1));
    return Next(i, 2);
}

// XCH A,direct     1100 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t XchDir(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc(), x = m.Direct(i.b1);
    m.SetAcc(x);
    m.SetDirect(i.b1, a);
    return Next(i, 2);
}
// XCH A,@Ri        1100 011i
template <class M> Z51_HOT std::uint16_t XchInd(M& m, const Insn& i, unsigned ri) {
    const std::uint8_t at = m.Reg(ri), a = m.Acc(), x = m.Ind(at);
    m.SetAcc(x);
    m.SetInd(at, a);
    return Next(i, 1);
}
// XCH A,Rn         1100 1rrr
template <class M> Z51_HOT std::uint16_t XchReg(M& m, const Insn& i, unsigned rn) {
    const std::uint8_t a = m.Acc(), x = m.Reg(rn);
    m.SetAcc(x);
    m.SetReg(rn, a);
    return Next(i, 1);
}
// XCHD A,@Ri       1101 011i          low nibbles exchanged, high nibbles stay
template <class M> Z51_HOT std::uint16_t XchdInd(M& m, const Insn& i, unsigned ri) {
    const std::uint8_t at = m.Reg(ri), av = m.Acc(), mv = m.Ind(at);
    m.SetAcc(static_cast<std::uint8_t>((av & 0xF0) | (mv & 0x0F)));
    m.SetInd(at, static_cast<std::uint8_t>((mv & 0xF0) | (av & 0x0F)));
    return Next(i, 1);
}

}  // namespace z51::ops
