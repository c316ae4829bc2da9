#pragma once
// Program memory of the 8051: 64 KiB, 0000H..FFFFH. The assembler, the
// disassembler, the HEX conversions and the compare fill it; the emulator
// fetches from it.

#include <array>
#include <cstdint>

namespace z51 {

using CodeMemory = std::array<std::uint8_t, 0x10000>;

}  // namespace z51
