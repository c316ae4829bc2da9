#pragma once
// Processor state of the emulated 8051. Instruction execution, the flag
// helpers and the emulation files work on this one object.
//
// What the emulator models, deliberately: internal RAM 00H..FFH holds the
// special function registers at 80H..FFH and is reached by direct and by
// indirect addressing alike; R0..R7 are eight bytes of their own (no
// register banks: RS0/RS1 are stored and never consulted, and direct
// addresses 00H..07H are plain RAM); P is a stored bit that no instruction
// computes; there are no timers, interrupts or serial port.

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/code_image.h"

namespace z51 {

// Internal RAM addresses of the special function registers the emulator
// itself uses. Every other SFR address is a plain byte.
namespace sfr {
inline constexpr std::uint8_t P0 = 0x80;
inline constexpr std::uint8_t SP = 0x81;
inline constexpr std::uint8_t DPL = 0x82;  // the chip's DPTR low byte
inline constexpr std::uint8_t DPH = 0x83;  // the chip's DPTR high byte
inline constexpr std::uint8_t P1 = 0x90;
inline constexpr std::uint8_t P2 = 0xA0;
inline constexpr std::uint8_t P3 = 0xB0;
inline constexpr std::uint8_t PSW = 0xD0;
inline constexpr std::uint8_t ACC = 0xE0;
inline constexpr std::uint8_t B = 0xF0;
}  // namespace sfr

// PSW bit masks.
namespace psw {
inline constexpr std::uint8_t CY = 0x80;
inline constexpr std::uint8_t AC = 0x40;
inline constexpr std::uint8_t F0 = 0x20;
inline constexpr std::uint8_t RS1 = 0x10;
inline constexpr std::uint8_t RS0 = 0x08;
inline constexpr std::uint8_t OV = 0x04;
inline constexpr std::uint8_t P = 0x01;
}  // namespace psw

// Size of the register dump record and file: internal RAM, R0..R7, PC.
inline constexpr std::size_t kDumpSize = 266;
// Offset of the staging bytes (R0..R7, PC low, PC high) in the record.
inline constexpr std::size_t kDumpStaging = 256;

struct Cpu51 {
    // Internal RAM 00H..FFH with the special function registers at 80H..FFH,
    // followed by the 10 staging bytes of the register dump (R0..R7, PC low,
    // PC high): the 266 bytes are laid out like the dump file. The staging
    // bytes are written by a dump save and read by a dump load only; they
    // are not the working registers.
    std::array<std::uint8_t, kDumpSize> dump{};
    std::array<std::uint8_t, 8> R{};  // working registers, apart from RAM
    std::uint16_t PC = 0;
    std::array<std::uint8_t, 0x10000> xram{};  // external RAM
    // Current instruction: copies of code[PC], code[PC+1], code[PC+2]
    // (addresses wrap at FFFFH) made by FetchCurrent; Shag1 executes this
    // copy. curLen is its length, 1..3 (A5H counts as 1).
    std::array<std::uint8_t, 3> cur{};
    std::uint16_t curLen = 1;
    std::uint8_t xtalPhase = 0;  // crystal animation phase, wraps at 256
    // Byte counts of the last program load and of the last external RAM
    // (or register dump) load; up to 65,536, hence 32 bits.
    std::uint32_t codeLoadCount = 0;
    std::uint32_t extRamCount = 0;

    std::uint8_t* iram() { return dump.data(); }
    const std::uint8_t* iram() const { return dump.data(); }

    std::uint8_t& A() { return dump[sfr::ACC]; }
    std::uint8_t A() const { return dump[sfr::ACC]; }
    std::uint8_t& B() { return dump[sfr::B]; }
    std::uint8_t B() const { return dump[sfr::B]; }
    std::uint8_t& SP() { return dump[sfr::SP]; }
    std::uint8_t SP() const { return dump[sfr::SP]; }
    std::uint8_t& PSW() { return dump[sfr::PSW]; }
    std::uint8_t PSW() const { return dump[sfr::PSW]; }
    bool CY() const { return (dump[sfr::PSW] & psw::CY) != 0; }

    // DPTR is DPH (83H) : DPL (82H), as on the chip.
    std::uint16_t Dptr() const { return static_cast<std::uint16_t>(dump[sfr::DPH] << 8 | dump[sfr::DPL]); }
    void SetDptr(std::uint16_t v) {
        dump[sfr::DPL] = static_cast<std::uint8_t>(v);
        dump[sfr::DPH] = static_cast<std::uint8_t>(v >> 8);
    }
};

}  // namespace z51
