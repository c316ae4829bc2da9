#pragma once
// A workspace and the emulated processor in their start state, and helpers
// to place hand-assembled bytes and step them.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "core/workspace.h"
#include "emulator/exec.h"

namespace z51::test {

class EmuTest : public ::testing::Test {
protected:
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    std::unique_ptr<Cpu51> cpu = std::make_unique<Cpu51>();
    Cpu51& c = *cpu;
    CodeMemory& code = ws->CodeImage;

    std::uint8_t& ram(unsigned addr) { return c.dump[addr]; }

    void Put(std::uint16_t addr, std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) code[addr++] = b;
    }
    // Places the bytes at `addr`, sets PC there and executes one instruction.
    void Exec(std::uint16_t addr, std::initializer_list<std::uint8_t> bytes) {
        Put(addr, bytes);
        c.PC = addr;
        Step(c, code);
    }
    // Executes at PC = 0100H.
    void Exec(std::initializer_list<std::uint8_t> bytes) { Exec(0x0100, bytes); }
};

}  // namespace z51::test
