#pragma once
// Processor state of the emulated 8051. Instruction execution, the flag
// helpers and the emulation files work on this one object.

#include <array>
#include <cstdint>

namespace z51 {

using CodeMemory = std::array<std::uint8_t, 0x10000>;

struct Cpu51 {
    // Internal RAM 00H..FFH with the special function registers at 80H..FFH,
    // followed by the 10 staging bytes of the register dump (R0..R7, PC low,
    // PC high): the 266 bytes are laid out like the dump file.
    std::array<std::uint8_t, 266> dump{};
    std::array<std::uint8_t, 8> R{};  // working registers, apart from RAM
    std::uint16_t PC = 0;
    std::array<std::uint8_t, 0x10000> xram{};  // external RAM
    std::array<std::uint8_t, 3> cur{};         // current instruction
    std::uint16_t curLen = 1;
    std::uint8_t xtalPhase = 0;
    // Byte counts of the last program load and external RAM load.
    std::uint16_t codeLoadCount = 0;
    std::uint16_t extRamCount = 0;

    std::uint8_t* iram() { return dump.data(); }
    const std::uint8_t* iram() const { return dump.data(); }
};

}  // namespace z51
