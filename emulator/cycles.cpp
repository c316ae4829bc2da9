#include "emulator/cycles.h"

#include "isa/opcode_map.h"

namespace z51 {

std::uint8_t MachineCycles(std::uint8_t opcode) { return kMachineCycles[opcode]; }

}  // namespace z51
