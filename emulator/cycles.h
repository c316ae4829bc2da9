#pragma once
// Machine cycles of each opcode (one machine cycle = 12 crystal periods),
// for the cycle counts of the stopwatch and the console report. Every
// counter takes the number from MachineCycles alone.

#include <cstdint>

namespace z51 {

// 1, 2 or 4 machine cycles, as the chip's instruction set table gives them
// (the opcode map's kMachineCycles).
std::uint8_t MachineCycles(std::uint8_t opcode);

// Seconds that `cycles` machine cycles take at a crystal of `xtalHz`.
inline double CycleSeconds(std::uint64_t cycles, double xtalHz) {
    return xtalHz > 0 ? static_cast<double>(cycles) * 12.0 / xtalHz : 0.0;
}

}  // namespace z51
