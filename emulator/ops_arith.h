#pragma once
// Arithmetic instructions: ADD, ADDC, SUBB, INC, DEC, MUL, DIV, DA.

#include "emulator/ops_common.h"

namespace z51::ops {

// ADD A,#data      0010 0100 dddddddd
inline std::uint16_t AddImm(const Insn& i) { mcuAdd(i.c, i.b1); return Next(i, 2); }
// ADD A,direct     0010 0101 aaaaaaaa
inline std::uint16_t AddDir(const Insn& i) { mcuAdd(i.c, Direct(i.c, i.b1)); return Next(i, 2); }
// ADD A,@Ri        0010 011i
inline std::uint16_t AddInd(const Insn& i, unsigned ri) { mcuAdd(i.c, AtRi(i.c, ri)); return Next(i, 1); }
// ADD A,Rn         0010 1rrr
inline std::uint16_t AddReg(const Insn& i, unsigned rn) { mcuAdd(i.c, i.c.R[rn]); return Next(i, 1); }

// ADDC A,#data     0011 0100 dddddddd
inline std::uint16_t AddcImm(const Insn& i) { mcuAddc(i.c, i.b1); return Next(i, 2); }
// ADDC A,direct    0011 0101 aaaaaaaa
inline std::uint16_t AddcDir(const Insn& i) { mcuAddc(i.c, Direct(i.c, i.b1)); return Next(i, 2); }
// ADDC A,@Ri       0011 011i
inline std::uint16_t AddcInd(const Insn& i, unsigned ri) { mcuAddc(i.c, AtRi(i.c, ri)); return Next(i, 1); }
// ADDC A,Rn        0011 1rrr
inline std::uint16_t AddcReg(const Insn& i, unsigned rn) { mcuAddc(i.c, i.c.R[rn]); return Next(i, 1); }

// SUBB A,#data     1001 0100 dddddddd
inline std::uint16_t SubbImm(const Insn& i) { mcuSub(i.c, i.b1); return Next(i, 2); }
// SUBB A,direct    1001 0101 aaaaaaaa
inline std::uint16_t SubbDir(const Insn& i) { mcuSub(i.c, Direct(i.c, i.b1)); return Next(i, 2); }
// SUBB A,@Ri       1001 011i
inline std::uint16_t SubbInd(const Insn& i, unsigned ri) { mcuSub(i.c, AtRi(i.c, ri)); return Next(i, 1); }
// SUBB A,Rn        1001 1rrr
inline std::uint16_t SubbReg(const Insn& i, unsigned rn) { mcuSub(i.c, i.c.R[rn]); return Next(i, 1); }

// INC and DEC change no flag.
// INC A            0000 0100
inline std::uint16_t IncAcc(const Insn& i) { ++Acc(i.c); return Next(i, 1); }
// INC direct       0000 0101 aaaaaaaa
inline std::uint16_t IncDir(const Insn& i) { ++Direct(i.c, i.b1); return Next(i, 2); }
// INC @Ri          0000 011i
inline std::uint16_t IncInd(const Insn& i, unsigned ri) { ++AtRi(i.c, ri); return Next(i, 1); }
// INC Rn           0000 1rrr
inline std::uint16_t IncReg(const Insn& i, unsigned rn) { ++i.c.R[rn]; return Next(i, 1); }
// DEC A            0001 0100
inline std::uint16_t DecAcc(const Insn& i) { --Acc(i.c); return Next(i, 1); }
// DEC direct       0001 0101 aaaaaaaa
inline std::uint16_t DecDir(const Insn& i) { --Direct(i.c, i.b1); return Next(i, 2); }
// DEC @Ri          0001 011i
inline std::uint16_t DecInd(const Insn& i, unsigned ri) { --AtRi(i.c, ri); return Next(i, 1); }
// DEC Rn           0001 1rrr
inline std::uint16_t DecReg(const Insn& i, unsigned rn) { --i.c.R[rn]; return Next(i, 1); }

// INC DPTR         1010 0011          FFFFH wraps to 0000H
inline std::uint16_t IncDptr(const Insn& i) {
    i.c.SetDptr(static_cast<std::uint16_t>(i.c.Dptr() + 1));
    return Next(i, 1);
}

// MUL AB           1010 0100          B:A <- A * B; OV when the product exceeds 255; CY cleared
inline std::uint16_t MulAb(const Insn& i) {
    const unsigned product = unsigned{Acc(i.c)} * i.c.B();
    Acc(i.c) = static_cast<std::uint8_t>(product);
    i.c.B() = static_cast<std::uint8_t>(product >> 8);
    SetFlags(i.c, psw::CY | psw::OV, product > 0xFF ? psw::OV : 0);
    return Next(i, 1);
}

// DIV AB           1000 0100          A <- A / B, B <- A mod B; CY cleared;
// a division by zero sets OV and leaves A and B as they are.
inline std::uint16_t DivAb(const Insn& i) {
    const std::uint8_t a = Acc(i.c), b = i.c.B();
    if (b == 0) {
        SetFlags(i.c, psw::CY | psw::OV, psw::OV);
    } else {
        Acc(i.c) = static_cast<std::uint8_t>(a / b);
        i.c.B() = static_cast<std::uint8_t>(a % b);
        SetFlags(i.c, psw::CY | psw::OV, 0);
    }
    return Next(i, 1);
}

// DA A             1101 0100
inline std::uint16_t DaA(const Insn& i) { DecimalAdjust(i.c); return Next(i, 1); }

}  // namespace z51::ops
