#pragma once
// A read-only view of the emulated machine, as breakpoint conditions, the
// expectations of a console run and the waveform dump read it. Each
// processor model supplies one; the readers are templates over it, so a
// read costs what the model's own access costs.

#include <concepts>
#include <cstdint>

#include "emulator/alu.h"
#include "emulator/cpu51.h"

namespace z51 {

template <class V>
concept MachineView = requires(const V& v, std::uint8_t b, std::uint16_t w) {
    // Working register R0..R7 as the model maps it (bank or registers of their own).
    { v.Reg(b) } -> std::convertible_to<std::uint8_t>;
    // Direct address: internal RAM 00H..7FH, special function registers 80H..FFH.
    { v.Direct(b) } -> std::convertible_to<std::uint8_t>;
    // Internal RAM as @R0/@R1 reach it.
    { v.Indirect(b) } -> std::convertible_to<std::uint8_t>;
    { v.Xram(w) } -> std::convertible_to<std::uint8_t>;
    { v.Code(w) } -> std::convertible_to<std::uint8_t>;
    // Bit address 00H..FFH through the chip's bit address mapping.
    { v.Bit(b) } -> std::convertible_to<bool>;
    { v.Pc() } -> std::convertible_to<std::uint16_t>;
};

// The described model: R0..R7 apart from internal RAM, and direct and
// indirect addresses reach the same 256 bytes.
struct Cpu51View {
    const Cpu51& cpu;
    const CodeMemory& code;

    std::uint8_t Reg(unsigned n) const { return cpu.R[n & 7]; }
    std::uint8_t Direct(std::uint8_t a) const { return cpu.dump[a]; }
    std::uint8_t Indirect(std::uint8_t a) const { return cpu.dump[a]; }
    std::uint8_t Xram(std::uint16_t a) const { return cpu.xram[a]; }
    std::uint8_t Code(std::uint16_t a) const { return code[a]; }
    bool Bit(std::uint8_t b) const { return mcuCheckBit(cpu, b); }
    std::uint16_t Pc() const { return cpu.PC; }
};
static_assert(MachineView<Cpu51View>);

}  // namespace z51
