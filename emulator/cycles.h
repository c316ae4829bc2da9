#pragma once
// Machine cycles of each opcode (one machine cycle = 12 crystal periods),
// from the chip's instruction set table: 1 for most, 2 for jumps, calls,
// returns, MOVC, MOVX, PUSH, POP, INC DPTR and the two-operand moves into
// direct addresses, 4 for MUL and DIV. A5H, no instruction, counts 1.
//
// The one place that holds these numbers: the run loop adds them up from
// the table, every other counter asks MachineCycles.

#include <cstdint>

namespace z51 {

// clang-format off
inline constexpr std::uint8_t kMachineCycles[256] = {
//  x0 x1 x2 x3 x4 x5 x6 x7 x8 x9 xA xB xC xD xE xF
    1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0x
    2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 1x
    2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 2x
    2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 3x
    2, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 4x
    2, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 5x
    2, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 6x
    2, 2, 2, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 7x
    2, 2, 2, 2, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 8x
    2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 9x
    2, 2, 1, 2, 4, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // Ax
    2, 2, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // Bx
    2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Cx
    2, 2, 1, 1, 1, 2, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2,  // Dx
    2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Ex
    2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Fx
};
// clang-format on

// 1, 2 or 4 machine cycles, as the chip's instruction set table gives them.
inline std::uint8_t MachineCycles(std::uint8_t opcode) { return kMachineCycles[opcode]; }

// Seconds that `cycles` machine cycles take at a crystal of `xtalHz`.
inline double CycleSeconds(std::uint64_t cycles, double xtalHz) {
    return xtalHz > 0 ? static_cast<double>(cycles) * 12.0 / xtalHz : 0.0;
}

}  // namespace z51
