#include "emulator/cycles.h"

#include <array>

namespace z51 {
namespace {

// The instruction set table of the chip: every instruction takes one
// machine cycle except those below.
constexpr std::uint8_t Cycles(unsigned op) {
    if (op == 0x84 || op == 0xA4) return 4;  // DIV AB, MUL AB
    const unsigned low = op & 0x1F;
    if (low == 0x01 || low == 0x11) return 2;  // AJMP, ACALL
    switch (op) {
        case 0x02: case 0x12: case 0x22: case 0x32:  // LJMP, LCALL, RET, RETI
        case 0x10: case 0x20: case 0x30: case 0x40: case 0x50: case 0x60: case 0x70:  // JBC JB JNB JC JNC JZ JNZ
        case 0x80: case 0x73:                        // SJMP, JMP @A+DPTR
        case 0x43: case 0x53: case 0x63:             // ORL/ANL/XRL direct,#data
        case 0x72: case 0x82: case 0xA0: case 0xB0:  // ORL/ANL C,bit and C,/bit
        case 0x92:                                   // MOV bit,C
        case 0x75: case 0x85: case 0x86: case 0x87:  // MOV direct,#data / direct / @Ri
        case 0x90: case 0xA3:                        // MOV DPTR,#data16, INC DPTR
        case 0x83: case 0x93:                        // MOVC
        case 0xE0: case 0xE2: case 0xE3: case 0xF0: case 0xF2: case 0xF3:  // MOVX
        case 0xA6: case 0xA7:                        // MOV @Ri,direct
        case 0xC0: case 0xD0:                        // PUSH, POP
        case 0xD5:                                   // DJNZ direct,rel
            return 2;
    }
    if (op >= 0x88 && op <= 0x8F) return 2;  // MOV direct,Rn
    if (op >= 0xA8 && op <= 0xAF) return 2;  // MOV Rn,direct
    if (op >= 0xB4 && op <= 0xBF) return 2;  // CJNE
    if (op >= 0xD8 && op <= 0xDF) return 2;  // DJNZ Rn,rel
    return 1;
}

constexpr std::array<std::uint8_t, 256> kCycles = [] {
    std::array<std::uint8_t, 256> t{};
    for (unsigned op = 0; op < 256; ++op) t[op] = Cycles(op);
    return t;
}();

}  // namespace

std::uint8_t MachineCycles(std::uint8_t opcode) { return kCycles[opcode]; }

}  // namespace z51
