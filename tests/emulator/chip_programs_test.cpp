// Whole programs in the chip models: examples/blink.a51, whose timer 0
// interrupts keep its clock and whose serial port answers the "T" command
// with the time; and C programs compiled by sdcc (sdcc/), whose serial
// output must be what the same C prints on the host.

#include <gtest/gtest.h>

#include <regex>

#include "core/fileio.h"
#include "emulator/emufiles.h"
#include "tests/support/chip.h"

namespace z51::test {
namespace {

constexpr unsigned kSeconds = 0x32;  // SECONDS: the clock's seconds in BCD

// Runs until the seconds byte changes; returns the cycle count then (to
// within the thousand instructions of a slice).
std::uint64_t NextSecond(ChipProgram& p) {
    const std::uint8_t before = p.ram(kSeconds);
    while (p.ram(kSeconds) == before && p.c.cycles < 10'000'000) z51::Run(p.c, p.code(), 1000);
    return p.c.cycles;
}

TEST(Blink, KeepsTimeAndAnswersTheTCommand) {
    ChipProgram p(Cp1251ToUtf8(ReadTextFile(ZANVEK_SOURCE_DIR "/examples/blink.a51")));
    // At 12 MHz a machine cycle is 1 us. The program reloads timer 0 in its
    // interrupt routine, so each of its milliseconds is the timer's 1000
    // cycles plus the routine's way to the reload.
    const std::uint64_t first = NextSecond(p);
    EXPECT_EQ(p.ram(kSeconds), 0x01);
    EXPECT_GT(first, 1'000'000u);
    EXPECT_LT(first, 1'030'000u);
    const std::uint64_t second = NextSecond(p);
    EXPECT_EQ(p.ram(kSeconds), 0x02);
    EXPECT_NEAR(static_cast<double>(second - first), 1'015'000.0, 15'000.0);

    EXPECT_EQ(p.line.TakeTransmitted(), ">");  // sent at start
    p.line.Queue("T");
    p.RunUntilCycle(p.c.cycles + 20'000);  // 10 frames at about 10,400 baud take 9,600 cycles
    EXPECT_EQ(p.line.TakeTransmitted(), "12:00:02\r\n");
}

TEST(CompiledC, SerialOutputMatchesTheSameCOnTheHost) {
    struct Row {
        const char* name;
        Model model;
    };
    const Row rows[] = {{"mix", Model::I8051}, {"ticks", Model::I8051}, {"upper", Model::I8052}};
    for (const Row& r : rows) {
        const std::string base = std::string(EMU_TEST_DIR) + "/sdcc/" + r.name;
        auto ws = std::make_unique<Workspace>();
        auto cpu = std::make_unique<Cpu51>();
        ByteLine line;
        cpu->line = &line;
        SelectModel(*cpu, r.model);
        ASSERT_TRUE(LoadProgram(*ws, *cpu, base + ".bin").Ok()) << base;
        const RunResult run = z51::Run(*cpu, ws->CodeImage, 5'000'000);
        EXPECT_EQ(run.reason, StopReason::Halt) << r.name;
        EXPECT_EQ(line.TakeTransmitted(), ReadTextFile(base + ".txt")) << r.name;
    }
}

}  // namespace
}  // namespace z51::test
