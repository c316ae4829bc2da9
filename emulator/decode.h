#pragma once
// Text of one instruction in the assembler's own syntax, as the
// current-instruction panel and the console trace show it: the canonical
// spelling of the instruction tables, numbers in hexadecimal with an "H"
// suffix and a leading "0", bits by name (BitDecode), relative and
// AJMP/ACALL operands as their target addresses.

#include <array>
#include <cstdint>
#include <string>

namespace z51 {

struct DecodedInstruction {
    std::string mnemonic;  // "MOV", "DB" for A5H
    std::string operands;  // "A,#012H"; empty when the instruction has none
    int length = 1;        // 1..3; A5H counts as 1

    // mnemonic, a tab and the operands (just the mnemonic when there are none).
    std::string Text() const { return operands.empty() ? mnemonic : mnemonic + '\t' + operands; }
};

// Decodes the instruction whose three bytes are `bytes` at address `pc`.
// AJMP/ACALL show their target in the 2 KiB page of pc + 2, as the chip
// computes it; MOV direct,direct shows the destination (third byte) first.
DecodedInstruction DecodeInstruction(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes);

}  // namespace z51
