#pragma once
// A read-only view of the emulated machine, as breakpoint conditions, the
// expectations of a console run and the waveform dump read it. Each
// processor model supplies one; the readers are templates over it, so a
// read costs what the model's own access costs.

#include <concepts>
#include <cstdint>

#include "emulator/alu.h"
#include "emulator/chip.h"
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

// The processor in its model: in the simple one R0..R7 apart from internal
// RAM, and direct and indirect addresses reach the same 256 bytes; in the
// chip models R0..R7 of the selected bank, a port reads its pins, and
// indirect 80H..FFH is the 8052's RAM there (nothing, FFH, on the 8051).
struct Cpu51View {
    const Cpu51& cpu;
    const CodeMemory& code;

    std::uint8_t Reg(unsigned n) const { return cpu.Regs()[n & 7]; }
    std::uint8_t Direct(std::uint8_t a) const {
        if (cpu.IsChip() && a >= 0x80 && (a & 0x0F) == 0 && a < 0xC0) return PortPins(cpu, (a >> 4) & 3u);
        return cpu.dump[a];
    }
    std::uint8_t Indirect(std::uint8_t a) const {
        if (!cpu.IsChip() || a < 0x80) return cpu.dump[a];
        return cpu.model == Model::I8052 ? cpu.upperRam[a - 0x80] : 0xFF;
    }
    std::uint8_t Xram(std::uint16_t a) const { return cpu.xram[a]; }
    std::uint8_t Code(std::uint16_t a) const { return code[a]; }
    bool Bit(std::uint8_t b) const { return (Direct(BitByteAddress(b)) >> (b & 7)) & 1; }
    std::uint16_t Pc() const { return cpu.PC; }
};
static_assert(MachineView<Cpu51View>);

}  // namespace z51
