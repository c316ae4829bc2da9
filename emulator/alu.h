#pragma once
// Arithmetic flag rules and bit addressing of the emulated 8051. Inline:
// they sit in the hot path of every step. Each works on a bus (bus.h) and,
// for the simple model, directly on the processor state.

#include <cstdint>
#include <utility>

#include "emulator/bus.h"
#include "emulator/cpu51.h"

namespace z51 {

// Sets or clears the PSW bits in `mask` from `bits` (already masked).
template <class M> Z51_HOT void SetFlags(M& m, std::uint8_t mask, std::uint8_t bits) {
    m.SetPsw(static_cast<std::uint8_t>((m.Psw() & ~mask) | bits));
}

// A <- A + v + c with the flags of ADD/ADDC: CY is the carry out of bit 7,
// AC the carry out of bit 3, OV = carry into bit 7 XOR carry out of bit 7.
// P is left alone.
template <class M> Z51_HOT void AddWithCarry(M& m, std::uint8_t v, unsigned c) {
    const unsigned a = m.Acc();
    const unsigned sum = a + v + c;
    const unsigned ac = ((a & 0x0F) + (v & 0x0F) + c) > 0x0F;
    const unsigned c6 = ((a & 0x7F) + (v & 0x7F) + c) > 0x7F;  // carry into bit 7
    const unsigned cy = sum > 0xFF;
    SetFlags(m, psw::CY | psw::AC | psw::OV, static_cast<std::uint8_t>(cy << 7 | ac << 6 | (cy ^ c6) << 2));
    m.SetAcc(static_cast<std::uint8_t>(sum));
}

template <class M> Z51_HOT bool Carry(const M& m) { return (m.Psw() & psw::CY) != 0; }

// ADD A,v. The first operand is always the accumulator.
template <class M> Z51_HOT void mcuAdd(M& m, std::uint8_t v) { AddWithCarry(m, v, 0); }

// ADDC A,v: the old CY is added in.
template <class M> Z51_HOT void mcuAddc(M& m, std::uint8_t v) { AddWithCarry(m, v, Carry(m) ? 1u : 0u); }

// SUBB A,v: A <- A - v - CY. CY is the borrow out of bit 7, AC the borrow
// out of bit 3, OV = borrow into bit 7 XOR borrow out of bit 7.
template <class M> Z51_HOT void mcuSub(M& m, std::uint8_t v) {
    const int c = Carry(m) ? 1 : 0;
    const int a = m.Acc();
    const int d = a - v - c;
    const unsigned ac = (a & 0x0F) < (v & 0x0F) + c;
    const unsigned b7 = (a & 0x7F) - (v & 0x7F) - c < 0;  // borrow into bit 7
    const unsigned cy = d < 0;
    SetFlags(m, psw::CY | psw::AC | psw::OV, static_cast<std::uint8_t>(cy << 7 | ac << 6 | (cy ^ b7) << 2));
    m.SetAcc(static_cast<std::uint8_t>(d));
}

// Bit read: through the bus, so a port bit reads its pin.
template <class M> Z51_HOT bool mcuCheckBit(M& m, std::uint8_t bitAddress) { return m.Bit(bitAddress); }

// The bit becomes 1 when `value` is exactly 1, else 0. The byte is read as
// a read-modify-write instruction reads it (a port's latch).
template <class M> Z51_HOT void mcuSetBit(M& m, std::uint8_t bitAddress, std::uint8_t value) {
    const std::uint8_t at = BitByteAddress(bitAddress);
    const std::uint8_t byte = m.DirectRmw(at);
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << (bitAddress & 7));
    m.SetDirect(at, value == 1 ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask));
}

// DA A. After an addition of two packed BCD bytes: add 6 when AC is set or
// the low digit exceeds 9, then add 60H when CY is set (as it stands after
// the first correction) or the high digit exceeds 9. Either carry out of
// bit 7 sets CY; DA never clears CY and leaves AC and OV alone.
template <class M> Z51_HOT void DecimalAdjust(M& m) {
    std::uint8_t p = m.Psw();
    unsigned v = m.Acc();
    if ((p & psw::AC) || (v & 0x0F) > 9) {
        v += 6;
        if (v > 0xFF) p |= psw::CY;
    }
    if ((p & psw::CY) || (v & 0xF0) > 0x90) {
        v += 0x60;
        if (v > 0xFF) p |= psw::CY;
    }
    m.SetPsw(p);
    m.SetAcc(static_cast<std::uint8_t>(v));
}

// The same helpers on the processor state of the simple model.
inline SimpleBus SimpleBusOf(Cpu51& cpu) {
    static const CodeMemory kNoCode{};
    return SimpleBus{{cpu, kNoCode}};
}
inline void mcuAdd(Cpu51& cpu, std::uint8_t v) { auto m = SimpleBusOf(cpu); mcuAdd(m, v); }
inline void mcuAddc(Cpu51& cpu, std::uint8_t v) { auto m = SimpleBusOf(cpu); mcuAddc(m, v); }
inline void mcuSub(Cpu51& cpu, std::uint8_t v) { auto m = SimpleBusOf(cpu); mcuSub(m, v); }
inline void DecimalAdjust(Cpu51& cpu) { auto m = SimpleBusOf(cpu); DecimalAdjust(m); }
inline bool mcuCheckBit(const Cpu51& cpu, std::uint8_t bitAddress) {
    return (cpu.dump[BitByteAddress(bitAddress)] >> (bitAddress & 7)) & 1;
}
inline bool mcuCheckBit(Cpu51& cpu, std::uint8_t bitAddress) { return mcuCheckBit(std::as_const(cpu), bitAddress); }
inline void mcuSetBit(Cpu51& cpu, std::uint8_t bitAddress, std::uint8_t value) {
    auto m = SimpleBusOf(cpu);
    mcuSetBit(m, bitAddress, value);
}

}  // namespace z51
