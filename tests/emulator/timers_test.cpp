// Timers/counters of the chip models against the datasheet: timers 0 and 1
// in modes 0-3, counting machine cycles or falling edges on T0/T1, GATE
// with INT0/INT1, and timer 2 of the 8052. The code is all NOPs, one
// machine cycle each, so n steps are n cycles.

#include <gtest/gtest.h>

#include <memory>

#include "emulator/chip.h"
#include "emulator/exec.h"

namespace z51 {
namespace {

using namespace sfr;

class TimerTest : public ::testing::Test {
protected:
    std::unique_ptr<CodeMemory> code = std::make_unique<CodeMemory>();  // NOPs
    std::unique_ptr<Cpu51> cpu = std::make_unique<Cpu51>();
    Cpu51& c = *cpu;

    void Start(Model model, std::initializer_list<std::pair<std::uint8_t, std::uint8_t>> sfrs) {
        c.chip.pinsIn.fill(0xFF);
        SelectModel(c, model);
        for (auto [a, v] : sfrs) c.dump[a] = v;
        StateEdited(c);
    }
    void Cycles(std::uint64_t n) { z51::Run(c, *code, n); }
};

struct TimerRow {
    const char* what;
    std::uint8_t tmod, tcon, th0, tl0, th1, tl1, p3in;
    unsigned cycles;
    std::uint8_t xth0, xtl0, xth1, xtl1, xflags;  // expected; xflags: TCON & (TF1|TF0)
};

TEST_F(TimerTest, Timers0And1InEveryMode) {
    constexpr std::uint8_t TR0 = 0x10, TR1 = 0x40, TF0 = 0x20, TF1 = 0x80;
    const TimerRow rows[] = {
        // Mode 0: 13 bits, TH0 and the low five bits of TL0; TL0's upper
        // three bits take no part.
        {"mode 0, one short of overflow", 0x00, TR0, 0xFF, 0xFE, 0, 0, 0xFF, 1, 0xFF, 0xFF, 0, 0, 0},
        {"mode 0 overflows into TF0", 0x00, TR0, 0xFF, 0xFE, 0, 0, 0xFF, 2, 0x00, 0xE0, 0, 0, TF0},
        {"mode 0, low five bits carry into TH0", 0x00, TR0, 0x12, 0x1F, 0, 0, 0xFF, 1, 0x13, 0x00, 0, 0, 0},
        // Mode 1: 16 bits.
        {"mode 1 counts", 0x01, TR0, 0xFF, 0xF0, 0, 0, 0xFF, 15, 0xFF, 0xFF, 0, 0, 0},
        {"mode 1 overflows", 0x01, TR0, 0xFF, 0xF0, 0, 0, 0xFF, 16, 0x00, 0x00, 0, 0, TF0},
        {"TR0 clear: no count", 0x01, 0, 0xFF, 0xF0, 0, 0, 0xFF, 100, 0xFF, 0xF0, 0, 0, 0},
        // Mode 2: TL0 counts, TH0 reloads it on overflow.
        {"mode 2 reloads", 0x02, TR0, 0xF0, 0xFE, 0, 0, 0xFF, 2, 0xF0, 0xF0, 0, 0, TF0},
        {"mode 2, second reload", 0x02, TR0, 0xF0, 0xFE, 0, 0, 0xFF, 18, 0xF0, 0xF0, 0, 0, TF0},
        {"mode 2 after a reload", 0x02, TR0, 0xF0, 0xFE, 0, 0, 0xFF, 19, 0xF0, 0xF1, 0, 0, TF0},
        // Mode 3: TL0 by TR0 sets TF0, TH0 by TR1 sets TF1; timer 1 runs on
        // (by TR1) without TF1.
        {"mode 3 splits timer 0", 0x03, TR0 | TR1, 0xFF, 0xFE, 0x00, 0x00, 0xFF, 2, 0x01, 0x00, 0x00, 0x02, TF0 | TF1},
        {"mode 3: TH0 runs on TR1 only", 0x03, TR1, 0xFF, 0xFE, 0x00, 0x00, 0xFF, 2, 0x01, 0xFE, 0x00, 0x02, TF1},
        {"mode 3: timer 1 overflow sets no TF1", 0x13, TR1, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 1, 0x01, 0x00, 0x00, 0x00, 0},
        // Timer 1.
        {"timer 1 mode 0", 0x00, TR1, 0, 0, 0xFF, 0x1F, 0xFF, 1, 0, 0, 0x00, 0x00, TF1},
        {"timer 1 mode 1", 0x10, TR1, 0, 0, 0xFF, 0xFD, 0xFF, 3, 0, 0, 0x00, 0x00, TF1},
        {"timer 1 mode 2", 0x20, TR1, 0, 0, 0xFD, 0xFF, 0xFF, 4, 0, 0, 0xFD, 0xFD, TF1},
        {"timer 1 mode 3 holds its count", 0x30, TR1, 0, 0, 0xFF, 0xFE, 0xFF, 5, 0, 0, 0xFF, 0xFE, 0},
        // C/T set: machine cycles do not count.
        {"counter mode counts no cycles", 0x55, TR0 | TR1, 0, 0xFE, 0, 0xFE, 0xFF, 10, 0, 0xFE, 0, 0xFE, 0},
        // GATE: the timer runs only while INTx is high.
        {"GATE with INT0 high", 0x09, TR0, 0, 0, 0, 0, 0xFF, 10, 0, 10, 0, 0, 0},
        {"GATE with INT0 low", 0x09, TR0, 0, 0, 0, 0, 0xFB, 10, 0, 0, 0, 0, 0},
        {"GATE with INT1 low", 0x90, TR1, 0, 0, 0, 0, 0xF7, 10, 0, 0, 0, 0, 0},
    };
    for (const TimerRow& r : rows) {
        Start(Model::I8051, {{TMOD, r.tmod}, {TCON, r.tcon}, {TH0, r.th0}, {TL0, r.tl0}, {TH1, r.th1}, {TL1, r.tl1}});
        SetPinsIn(c, 3, r.p3in);
        Cycles(r.cycles);
        EXPECT_EQ(c.dump[TH0], r.xth0) << r.what;
        EXPECT_EQ(c.dump[TL0], r.xtl0) << r.what;
        EXPECT_EQ(c.dump[TH1], r.xth1) << r.what;
        EXPECT_EQ(c.dump[TL1], r.xtl1) << r.what;
        EXPECT_EQ(c.dump[TCON] & (TF1 | TF0), r.xflags) << r.what;
    }
}

// Counter mode counts falling edges on T0 (P3.4) and T1 (P3.5), whether
// the outside or the port latch pulls the pin low.
TEST_F(TimerTest, CountersCountFallingEdges) {
    Start(Model::I8051, {{TMOD, 0x55}, {TCON, 0x50}, {TH0, 0xFF}, {TL0, 0xFE}});
    SetPinsIn(c, 3, 0xEF);  // T0 falls
    SetPinsIn(c, 3, 0xFF);  // rises: no count
    EXPECT_EQ(c.dump[TL0], 0xFF);
    SetPinsIn(c, 3, 0xCF);  // T0 falls again, T1 falls
    EXPECT_EQ(c.dump[TL0], 0x00);
    EXPECT_EQ(c.dump[TH0], 0x00);
    EXPECT_TRUE(c.dump[TCON] & 0x20);
    EXPECT_EQ(c.dump[TL1], 0x01);
    // The program clears P3.5: the pin falls once more... after it rose.
    SetPinsIn(c, 3, 0xFF);
    (*code)[0] = 0xC2;  // CLR P3.5
    (*code)[1] = 0xB5;
    c.PC = 0;
    Step(c, *code);
    EXPECT_EQ(c.dump[TL1], 0x02);
}

// Timer 2 (8052): auto-reload from RCAP2, capture into RCAP2 on a T2EX
// falling edge, reload on T2EX, and the baud rate generator that counts
// six times per machine cycle and sets no TF2.
TEST_F(TimerTest, Timer2ReloadCaptureAndBaudRate) {
    constexpr std::uint8_t TF2 = 0x80, EXF2 = 0x40;
    Start(Model::I8052, {{T2CON, 0x04}, {RCAP2H, 0xFF}, {RCAP2L, 0xF0}, {TH2, 0xFF}, {TL2, 0xFE}});
    Cycles(2);
    EXPECT_EQ(c.dump[TH2] << 8 | c.dump[TL2], 0xFFF0);
    EXPECT_EQ(c.dump[T2CON] & TF2, TF2);

    Start(Model::I8052, {{T2CON, 0x0D}, {TH2, 0xFF}, {TL2, 0xFE}, {RCAP2H, 0x12}, {RCAP2L, 0x34}});
    Cycles(5);  // capture mode: no reload, 0003H after the overflow
    EXPECT_EQ(c.dump[TH2] << 8 | c.dump[TL2], 0x0003);
    EXPECT_EQ(c.dump[T2CON] & TF2, TF2);
    SetPinsIn(c, 1, 0xFD);  // T2EX falls
    EXPECT_EQ(c.dump[RCAP2H] << 8 | c.dump[RCAP2L], 0x0003);
    EXPECT_EQ(c.dump[T2CON] & EXF2, EXF2);

    Start(Model::I8052, {{T2CON, 0x0C}, {TH2, 0x00}, {TL2, 0x10}, {RCAP2H, 0x12}, {RCAP2L, 0x34}});
    SetPinsIn(c, 1, 0xFD);
    EXPECT_EQ(c.dump[TH2] << 8 | c.dump[TL2], 0x1234);
    EXPECT_EQ(c.dump[T2CON] & (TF2 | EXF2), EXF2);

    Start(Model::I8052, {{T2CON, 0x34}, {TH2, 0xFF}, {TL2, 0xF4}, {RCAP2H, 0xFF}, {RCAP2L, 0xF4}});
    Cycles(2);  // 12 counts: one overflow, back at the reload value
    EXPECT_EQ(c.dump[TH2] << 8 | c.dump[TL2], 0xFFF4);
    EXPECT_EQ(c.dump[T2CON] & TF2, 0);
    EXPECT_EQ(c.chip.t2Overflows, 1u);

    // The 8051 has no timer 2: its addresses are plain bytes.
    Start(Model::I8051, {{T2CON, 0x04}, {TH2, 0xFF}, {TL2, 0xFE}});
    Cycles(5);
    EXPECT_EQ(c.dump[TL2], 0xFE);
}

}  // namespace
}  // namespace z51
