#pragma once
// Bit instructions: the carry operations and the addressed-bit operations.
// A bit operand is a bit address resolved by mcuCheckBit / mcuSetBit; the
// instructions that write a bit read its byte as read-modify-write.

#include "emulator/ops_common.h"

namespace z51::ops {

template <class M> Z51_HOT void SetCarry(M& m, bool on) { SetFlags(m, psw::CY, on ? psw::CY : 0); }

// ORL C,bit        0111 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t OrlCBit(M& m, const Insn& i) { SetCarry(m, mcuCheckBit(m, i.b1) || Carry(m)); return Next(i, 2); }
// ANL C,bit        1000 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t AnlCBit(M& m, const Insn& i) { SetCarry(m, mcuCheckBit(m, i.b1) && Carry(m)); return Next(i, 2); }
// ORL C,/bit       1010 0000 bbbbbbbb
template <class M> Z51_HOT std::uint16_t OrlCNotBit(M& m, const Insn& i) { SetCarry(m, !mcuCheckBit(m, i.b1) || Carry(m)); return Next(i, 2); }
// ANL C,/bit       1011 0000 bbbbbbbb
template <class M> Z51_HOT std::uint16_t AnlCNotBit(M& m, const Insn& i) { SetCarry(m, !mcuCheckBit(m, i.b1) && Carry(m)); return Next(i, 2); }
// MOV C,bit        1010 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t MovCBit(M& m, const Insn& i) { SetCarry(m, mcuCheckBit(m, i.b1)); return Next(i, 2); }
// MOV bit,C        1001 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t MovBitC(M& m, const Insn& i) { mcuSetBit(m, i.b1, Carry(m) ? 1 : 0); return Next(i, 2); }
// CPL bit          1011 0010 bbbbbbbb   the latch of a port bit, not its pin
template <class M> Z51_HOT std::uint16_t CplBit(M& m, const Insn& i) {
    const std::uint8_t at = BitByteAddress(i.b1);
    m.SetDirect(at, static_cast<std::uint8_t>(m.DirectRmw(at) ^ (1u << (i.b1 & 7))));
    return Next(i, 2);
}
// CLR bit          1100 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t ClrBit(M& m, const Insn& i) { mcuSetBit(m, i.b1, 0); return Next(i, 2); }
// SETB bit         1101 0010 bbbbbbbb
template <class M> Z51_HOT std::uint16_t SetbBit(M& m, const Insn& i) { mcuSetBit(m, i.b1, 1); return Next(i, 2); }
// CPL C            1011 0011
template <class M> Z51_HOT std::uint16_t CplC(M& m, const Insn& i) { SetCarry(m, !Carry(m)); return Next(i, 1); }
// CLR C            1100 0011
template <class M> Z51_HOT std::uint16_t ClrC(M& m, const Insn& i) { SetCarry(m, false); return Next(i, 1); }
// SETB C           1101 0011
template <class M> Z51_HOT std::uint16_t SetbC(M& m, const Insn& i) { SetCarry(m, true); return Next(i, 1); }

}  // namespace z51::ops
