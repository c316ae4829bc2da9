#pragma once
// Arithmetic flag rules and bit addressing of the emulated 8051. Inline:
// they sit in the hot path of every step.

#include <cstdint>

#include "emulator/cpu51.h"

namespace z51 {

// Sets or clears the PSW bits in `mask` from `bits` (already masked).
inline void SetFlags(Cpu51& cpu, std::uint8_t mask, std::uint8_t bits) {
    std::uint8_t& p = cpu.dump[sfr::PSW];
    p = static_cast<std::uint8_t>((p & ~mask) | bits);
}

// A <- A + v + c with the flags of ADD/ADDC: CY is the carry out of bit 7,
// AC the carry out of bit 3, OV = carry into bit 7 XOR carry out of bit 7.
// P is left alone.
inline void AddWithCarry(Cpu51& cpu, std::uint8_t v, unsigned c) {
    const unsigned a = cpu.dump[sfr::ACC];
    const unsigned sum = a + v + c;
    const unsigned ac = ((a & 0x0F) + (v & 0x0F) + c) > 0x0F;
    const unsigned c6 = ((a & 0x7F) + (v & 0x7F) + c) > 0x7F;  // carry into bit 7
    const unsigned cy = sum > 0xFF;
    SetFlags(cpu, psw::CY | psw::AC | psw::OV,
             static_cast<std::uint8_t>(cy << 7 | ac << 6 | (cy ^ c6) << 2));
    cpu.dump[sfr::ACC] = static_cast<std::uint8_t>(sum);
}

// ADD A,v. The first operand is always the accumulator.
inline void mcuAdd(Cpu51& cpu, std::uint8_t v) { AddWithCarry(cpu, v, 0); }

// ADDC A,v: the old CY is added in.
inline void mcuAddc(Cpu51& cpu, std::uint8_t v) { AddWithCarry(cpu, v, cpu.CY() ? 1u : 0u); }

// SUBB A,v: A <- A - v - CY. CY is the borrow out of bit 7, AC the borrow
// out of bit 3, OV = borrow into bit 7 XOR borrow out of bit 7.
inline void mcuSub(Cpu51& cpu, std::uint8_t v) {
    const int c = cpu.CY() ? 1 : 0;
    const int a = cpu.dump[sfr::ACC];
    const int d = a - v - c;
    const unsigned ac = (a & 0x0F) < (v & 0x0F) + c;
    const unsigned b7 = (a & 0x7F) - (v & 0x7F) - c < 0;  // borrow into bit 7
    const unsigned cy = d < 0;
    SetFlags(cpu, psw::CY | psw::AC | psw::OV,
             static_cast<std::uint8_t>(cy << 7 | ac << 6 | (cy ^ b7) << 2));
    cpu.dump[sfr::ACC] = static_cast<std::uint8_t>(d);
}

// The chip's bit address mapping: bit addresses 00H..7FH are the 128 bits
// of internal RAM 20H..2FH; 80H..FFH are bits of the SFR whose address is
// the bit address with its low three bits cleared (P0 80H, TCON 88H, ...).
inline std::uint8_t BitByteAddress(std::uint8_t bitAddress) {
    return bitAddress < 0x80 ? static_cast<std::uint8_t>(0x20 + (bitAddress >> 3))
                             : static_cast<std::uint8_t>(bitAddress & 0xF8);
}

inline bool mcuCheckBit(const Cpu51& cpu, std::uint8_t bitAddress) {
    return (cpu.dump[BitByteAddress(bitAddress)] >> (bitAddress & 7)) & 1;
}

// The bit becomes 1 when `value` is exactly 1, else 0.
inline void mcuSetBit(Cpu51& cpu, std::uint8_t bitAddress, std::uint8_t value) {
    std::uint8_t& byte = cpu.dump[BitByteAddress(bitAddress)];
    const std::uint8_t mask = static_cast<std::uint8_t>(1u << (bitAddress & 7));
    byte = value == 1 ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

// DA A. After an addition of two packed BCD bytes: add 6 when AC is set or
// the low digit exceeds 9, then add 60H when CY is set (as it stands after
// the first correction) or the high digit exceeds 9. Either carry out of
// bit 7 sets CY; DA never clears CY and leaves AC and OV alone.
inline void DecimalAdjust(Cpu51& cpu) {
    std::uint8_t& p = cpu.dump[sfr::PSW];
    unsigned v = cpu.dump[sfr::ACC];
    if ((p & psw::AC) || (v & 0x0F) > 9) {
        v += 6;
        if (v > 0xFF) p |= psw::CY;
    }
    if ((p & psw::CY) || (v & 0xF0) > 0x90) {
        v += 0x60;
        if (v > 0xFF) p |= psw::CY;
    }
    cpu.dump[sfr::ACC] = static_cast<std::uint8_t>(v);
}

}  // namespace z51
