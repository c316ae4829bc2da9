#pragma once
// A program in our own assembler syntax, assembled by our assembler and
// run in one of the chip models, with a serial line of byte buffers.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "emulator/chip.h"
#include "emulator/exec.h"
#include "emulator/serial_line.h"
#include "tests/support/assembly.h"

namespace z51::test {

struct ChipProgram {
    Assembly as;
    std::unique_ptr<Cpu51> cpu = std::make_unique<Cpu51>();
    Cpu51& c = *cpu;
    ByteLine line;

    explicit ChipProgram(std::string_view source, Model model = Model::I8051) {
        EXPECT_TRUE(as.Assemble(source)) << as.Listing();
        c.line = &line;
        SelectModel(c, model);
    }
    const CodeMemory& code() const { return as.ws->CodeImage; }
    std::uint8_t ram(unsigned a) const { return c.dump[a]; }
    // Runs until PC reaches `addr` (at least one instruction).
    RunResult RunTo(std::uint16_t addr, std::uint64_t limit = 10'000'000) {
        const RunResult r = Run(c, code(), limit, addr);
        EXPECT_EQ(r.reason, StopReason::Until) << "PC " << std::hex << c.PC;
        return r;
    }
    // Runs whole instructions until the cycle count reaches `cycles`.
    void RunUntilCycle(std::uint64_t cycles) {
        while (c.cycles < cycles) Step(c, code());
    }
    // The address of a label of the assembly.
    std::uint16_t Label(std::string_view name) const;
};

inline std::uint16_t ChipProgram::Label(std::string_view name) const {
    const SymbolTable& t = as.as->State().Symbols;
    const std::int32_t i = t.Find(cp(name));
    EXPECT_LT(i, LabelCapacity) << name;
    return i < LabelCapacity ? static_cast<std::uint16_t>(t.LabelValues[static_cast<std::size_t>(i)]) : 0;
}

}  // namespace z51::test
