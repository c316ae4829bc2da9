#pragma once
// Bit instructions: the carry operations and the addressed-bit operations.
// A bit operand is a bit address resolved by mcuCheckBit / mcuSetBit.

#include "emulator/ops_common.h"

namespace z51::ops {

inline void SetCarry(Cpu51& c, bool on) { SetFlags(c, psw::CY, on ? psw::CY : 0); }

// ORL C,bit        0111 0010 bbbbbbbb
inline std::uint16_t OrlCBit(const Insn& i) { SetCarry(i.c, i.c.CY() || mcuCheckBit(i.c, i.b1)); return Next(i, 2); }
// ANL C,bit        1000 0010 bbbbbbbb
inline std::uint16_t AnlCBit(const Insn& i) { SetCarry(i.c, i.c.CY() && mcuCheckBit(i.c, i.b1)); return Next(i, 2); }
// ORL C,/bit       1010 0000 bbbbbbbb
inline std::uint16_t OrlCNotBit(const Insn& i) { SetCarry(i.c, i.c.CY() || !mcuCheckBit(i.c, i.b1)); return Next(i, 2); }
// ANL C,/bit       1011 0000 bbbbbbbb
inline std::uint16_t AnlCNotBit(const Insn& i) { SetCarry(i.c, i.c.CY() && !mcuCheckBit(i.c, i.b1)); return Next(i, 2); }
// MOV C,bit        1010 0010 bbbbbbbb
inline std::uint16_t MovCBit(const Insn& i) { SetCarry(i.c, mcuCheckBit(i.c, i.b1)); return Next(i, 2); }
// MOV bit,C        1001 0010 bbbbbbbb
inline std::uint16_t MovBitC(const Insn& i) { mcuSetBit(i.c, i.b1, i.c.CY() ? 1 : 0); return Next(i, 2); }
// CPL bit          1011 0010 bbbbbbbb
inline std::uint16_t CplBit(const Insn& i) { mcuSetBit(i.c, i.b1, mcuCheckBit(i.c, i.b1) ? 0 : 1); return Next(i, 2); }
// CLR bit          1100 0010 bbbbbbbb
inline std::uint16_t ClrBit(const Insn& i) { mcuSetBit(i.c, i.b1, 0); return Next(i, 2); }
// SETB bit         1101 0010 bbbbbbbb
inline std::uint16_t SetbBit(const Insn& i) { mcuSetBit(i.c, i.b1, 1); return Next(i, 2); }
// CPL C            1011 0011
inline std::uint16_t CplC(const Insn& i) { SetCarry(i.c, !i.c.CY()); return Next(i, 1); }
// CLR C            1100 0011
inline std::uint16_t ClrC(const Insn& i) { SetCarry(i.c, false); return Next(i, 1); }
// SETB C           1101 0011
inline std::uint16_t SetbC(const Insn& i) { SetCarry(i.c, true); return Next(i, 1); }

}  // namespace z51::ops
