#pragma once
// Arithmetic instructions: ADD, ADDC, SUBB, INC, DEC, MUL, DIV, DA.

#include "emulator/ops_common.h"

namespace z51::ops {

// ADD A,#data      0010 0100 dddddddd
template <class M> Z51_HOT std::uint16_t AddImm(M& m, const Insn& i) { mcuAdd(m, i.b1); return Next(i, 2); }
// ADD A,direct     0010 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t AddDir(M& m, const Insn& i) { mcuAdd(m, m.Direct(i.b1)); return Next(i, 2); }
// ADD A,@Ri        0010 011i
template <class M> Z51_HOT std::uint16_t AddInd(M& m, const Insn& i, unsigned ri) { mcuAdd(m, AtRi(m, ri)); return Next(i, 1); }
// ADD A,Rn         0010 1rrr
template <class M> Z51_HOT std::uint16_t AddReg(M& m, const Insn& i, unsigned rn) { mcuAdd(m, m.Reg(rn)); return Next(i, 1); }

// ADDC A,#data     0011 0100 dddddddd
template <class M> Z51_HOT std::uint16_t AddcImm(M& m, const Insn& i) { mcuAddc(m, i.b1); return Next(i, 2); }
// ADDC A,direct    0011 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t AddcDir(M& m, const Insn& i) { mcuAddc(m, m.Direct(i.b1)); return Next(i, 2); }
// ADDC A,@Ri       0011 011i
template <class M> Z51_HOT std::uint16_t AddcInd(M& m, const Insn& i, unsigned ri) { mcuAddc(m, AtRi(m, ri)); return Next(i, 1); }
// ADDC A,Rn        0011 1rrr
template <class M> Z51_HOT std::uint16_t AddcReg(M& m, const Insn& i, unsigned rn) { mcuAddc(m, m.Reg(rn)); return Next(i, 1); }

// SUBB A,#data     1001 0100 dddddddd
template <class M> Z51_HOT std::uint16_t SubbImm(M& m, const Insn& i) { mcuSub(m, i.b1); return Next(i, 2); }
// SUBB A,direct    1001 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t SubbDir(M& m, const Insn& i) { mcuSub(m, m.Direct(i.b1)); return Next(i, 2); }
// SUBB A,@Ri       1001 011i
template <class M> Z51_HOT std::uint16_t SubbInd(M& m, const Insn& i, unsigned ri) { mcuSub(m, AtRi(m, ri)); return Next(i, 1); }
// SUBB A,Rn        1001 1rrr
template <class M> Z51_HOT std::uint16_t SubbReg(M& m, const Insn& i, unsigned rn) { mcuSub(m, m.Reg(rn)); return Next(i, 1); }

// INC and DEC change no flag. INC/DEC direct read a port's latch.
// INC A            0000 0100
template <class M> Z51_HOT std::uint16_t IncAcc(M& m, const Insn& i) { m.SetAcc(static_cast<std::uint8_t>(m.Acc() + 1)); return Next(i, 1); }
// INC direct       0000 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t IncDir(M& m, const Insn& i) {
    m.SetDirect(i.b1, static_cast<std::uint8_t>(m.DirectRmw(i.b1) + 1));
    return Next(i, 2);
}
// INC @Ri          0000 011i
template <class M> Z51_HOT std::uint16_t IncInd(M& m, const Insn& i, unsigned ri) {
    SetAtRi(m, ri, static_cast<std::uint8_t>(AtRi(m, ri) + 1));
    return Next(i, 1);
}
// INC Rn           0000 1rrr
template <class M> Z51_HOT std::uint16_t IncReg(M& m, const Insn& i, unsigned rn) {
    m.SetReg(rn, static_cast<std::uint8_t>(m.Reg(rn) + 1));
    return Next(i, 1);
}
// DEC A            0001 0100
template <class M> Z51_HOT std::uint16_t DecAcc(M& m, const Insn& i) { m.SetAcc(static_cast<std::uint8_t>(m.Acc() - 1)); return Next(i, 1); }
// DEC direct       0001 0101 aaaaaaaa
template <class M> Z51_HOT std::uint16_t DecDir(M& m, const Insn& i) {
    m.SetDirect(i.b1, static_cast<std::uint8_t>(m.DirectRmw(i.b1) - 1));
    return Next(i, 2);
}
// DEC @Ri          0001 011i
template <class M> Z51_HOT std::uint16_t DecInd(M& m, const Insn& i, unsigned ri) {
    SetAtRi(m, ri, static_cast<std::uint8_t>(AtRi(m, ri) - 1));
    return Next(i, 1);
}
// DEC Rn           0001 1rrr
template <class M> Z51_HOT std::uint16_t DecReg(M& m, const Insn& i, unsigned rn) {
    m.SetReg(rn, static_cast<std::uint8_t>(m.Reg(rn) - 1));
    return Next(i, 1);
}

// INC DPTR         1010 0011          FFFFH wraps to 0000H
template <class M> Z51_HOT std::uint16_t IncDptr(M& m, const Insn& i) {
    m.SetDptr(static_cast<std::uint16_t>(m.Dptr() + 1));
    return Next(i, 1);
}

// MUL AB           1010 0100          B:A <- A * B; OV when the product exceeds 255; CY cleared
template <class M> Z51_HOT std::uint16_t MulAb(M& m, const Insn& i) {
    const unsigned product = unsigned{m.Acc()} * m.B();
    m.SetAcc(static_cast<std::uint8_t>(product));
    m.SetB(static_cast<std::uint8_t>(product >> 8));
    SetFlags(m, psw::CY | psw::OV, product > 0xFF ? psw::OV : 0);
    return Next(i, 1);
}

// DIV AB           1000 0100          A <- A / B, B <- A mod B; CY cleared;
// a division by zero sets OV and leaves A and B as they are.
template <class M> Z51_HOT std::uint16_t DivAb(M& m, const Insn& i) {
    const std::uint8_t a = m.Acc(), b = m.B();
    if (b == 0) {
        SetFlags(m, psw::CY | psw::OV, psw::OV);
    } else {
        m.SetAcc(static_cast<std::uint8_t>(a / b));
        m.SetB(static_cast<std::uint8_t>(a % b));
        SetFlags(m, psw::CY | psw::OV, 0);
    }
    return Next(i, 1);
}

// DA A             1101 0100
template <class M> Z51_HOT std::uint16_t DaA(M& m, const Insn& i) { DecimalAdjust(m); return Next(i, 1); }

}  // namespace z51::ops
