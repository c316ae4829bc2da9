// Interrupts and the serial port of the chip models against the datasheet:
// the polling order and the two priority levels, the rules that delay a
// call (RETI and writes to IE/IP, flags sampled a cycle before the poll),
// which flags the call clears, and the serial frame timing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/chip.h"

namespace z51::test {
namespace {

using namespace sfr;

// Five requests pending at once. Each routine logs its source (1 IE0, 2
// TF0, 3 IE1, 4 TF1, 5 serial) and how many main-program instructions
// (INC R2) have run. The write to IE lets one more instruction run before
// the first call, and so does each RETI before the next.
TEST(Interrupts, PriorityPollingOrderAndTheRetiAndIeRules) {
    const std::string source = R"(	ORG	0
	LJMP	MAIN
	ORG	03H
	MOV	A,#1
	SJMP	LOG
	ORG	0BH
	MOV	A,#2
	SJMP	LOG
	ORG	13H
	MOV	A,#3
	SJMP	LOG
	ORG	1BH
	MOV	A,#4
	SJMP	LOG
	ORG	23H
	CLR	TI
	MOV	A,#5
	SJMP	LOG
LOG:	MOV	@R1,A
	INC	R1
	MOV	A,R2
	MOV	@R1,A
	INC	R1
	RETI
MAIN:	MOV	R1,#40H
	MOV	R2,#0
	MOV	IP,#IPVAL
	MOV	TCON,#0AFH
	SETB	TI
	MOV	IE,#9FH
	INC	R2
	INC	R2
	INC	R2
	INC	R2
	INC	R2
	INC	R2
DONE:	SJMP	DONE
	END
)";
    struct Row {
        const char* ip;
        std::vector<std::uint8_t> log;  // source, main instructions run
    };
    const Row rows[] = {
        {"00H", {1, 1, 2, 2, 3, 3, 4, 4, 5, 5}},  // one level: the polling order
        {"1FH", {1, 1, 2, 2, 3, 3, 4, 4, 5, 5}},
        {"08H", {4, 1, 1, 2, 2, 3, 3, 4, 5, 5}},  // PT1: TF1 first
        {"10H", {5, 1, 1, 2, 2, 3, 3, 4, 4, 5}},  // PS: the serial port first
        {"05H", {1, 1, 3, 2, 2, 3, 4, 4, 5, 5}},  // PX0, PX1: both external ones first
    };
    for (const Row& r : rows) {
        std::string s = source;
        s.replace(s.find("IPVAL"), 5, r.ip);
        ChipProgram p(s);
        p.RunTo(p.Label("DONE"));
        const std::vector<std::uint8_t> log(p.c.dump.begin() + 0x40, p.c.dump.begin() + 0x4A);
        EXPECT_EQ(log, r.log) << "IP=" << r.ip;
    }
}

// A high-priority request interrupts a low-priority routine; a low one
// waits for its RETI.
TEST(Interrupts, HighInterruptsLowAndLowWaits) {
    ChipProgram p(R"(	ORG	0
	LJMP	MAIN
	ORG	03H
	LJMP	X0
	ORG	0BH
	MOV	@R1,#2
	INC	R1
	RETI
	ORG	1BH
	MOV	@R1,#4
	INC	R1
	RETI
X0:	MOV	@R1,#1
	INC	R1
	SETB	TF0
	SETB	TF1
	NOP
	NOP
	NOP
	MOV	@R1,#11H
	INC	R1
	RETI
MAIN:	MOV	R1,#40H
	MOV	IP,#08H
	MOV	IE,#8BH
	SETB	IT0
	SETB	IE0
	NOP
	NOP
	NOP
	NOP
DONE:	SJMP	DONE
	END
)");
    p.RunTo(p.Label("DONE"));
    const std::vector<std::uint8_t> log(p.c.dump.begin() + 0x40, p.c.dump.begin() + 0x44);
    EXPECT_EQ(log, (std::vector<std::uint8_t>{0x01, 0x04, 0x11, 0x02}));
    EXPECT_EQ(p.c.chip.inService, 0);
}

// The flags are sampled in one machine cycle and polled in the next: a
// flag set in the last cycle of an instruction, or by the instruction
// itself, is answered one instruction later.
TEST(Interrupts, FlagsAreSampledACycleBeforeThePoll) {
    struct Row {
        const char* what;
        std::uint8_t tl0, tr0;
        std::uint8_t code[3];     // at 0100H, followed by NOPs
        unsigned steps;           // until PC is at the timer 0 vector
    };
    const Row rows[] = {
        {"overflow in the first of two cycles", 0xFF, 0x10, {0xA3}, 1},     // INC DPTR
        {"overflow in the last cycle", 0xFE, 0x10, {0xA3}, 2},
        {"SETB TF0, then one-cycle instructions", 0x00, 0x00, {0xD2, 0x8D}, 3},
        {"SETB TF0, then a two-cycle instruction", 0x00, 0x00, {0xD2, 0x8D, 0xA3}, 2},
    };
    for (const Row& r : rows) {
        ChipProgram p("\tEND\n");
        std::copy(std::begin(r.code), std::end(r.code), p.as.ws->CodeImage.begin() + 0x100);
        p.c.PC = 0x100;
        p.c.dump[TMOD] = 0x01;
        p.c.dump[TH0] = 0xFF;
        p.c.dump[TL0] = r.tl0;
        p.c.dump[TCON] = r.tr0;
        p.c.dump[IE] = 0x82;
        StateEdited(p.c);
        unsigned steps = 0;
        while (p.c.PC != 0x0B && steps < 10) {
            Step(p.c, p.code());
            ++steps;
        }
        EXPECT_EQ(steps, r.steps) << r.what;
        EXPECT_EQ(p.c.dump[TCON] & 0x20, 0) << r.what;  // the call cleared TF0
    }
}

// What the call clears: TF0/TF1, and IE0/IE1 when edge-triggered; a
// level-triggered IEx follows the pin; RI and TI stay.
TEST(Interrupts, WhatTheCallClears) {
    struct Row {
        const char* what;
        std::uint8_t tcon, scon, ie, p3in;
        std::uint16_t vector;
        std::uint8_t sfr, mask, after;  // the flag after the call
    };
    const Row rows[] = {
        {"edge-triggered INT0", 0x01, 0, 0x81, 0xFB, 0x03, TCON, 0x02, 0x00},
        {"level-triggered INT0 while low", 0x00, 0, 0x81, 0xFB, 0x03, TCON, 0x02, 0x02},
        {"edge-triggered INT1", 0x04, 0, 0x84, 0xF7, 0x13, TCON, 0x08, 0x00},
        {"timer 1 overflow", 0x80, 0, 0x88, 0xFF, 0x1B, TCON, 0x80, 0x00},
        {"TI", 0x00, 0x02, 0x90, 0xFF, 0x23, SCON, 0x02, 0x02},
        {"RI", 0x00, 0x01, 0x90, 0xFF, 0x23, SCON, 0x01, 0x01},
    };
    for (const Row& r : rows) {
        ChipProgram p("\tEND\n");  // NOPs everywhere
        p.c.dump[TCON] = r.tcon;
        p.c.dump[SCON] = r.scon;
        p.c.dump[IE] = r.ie;
        StateEdited(p.c);
        SetPinsIn(p.c, 3, r.p3in);
        for (int k = 0; k < 4 && p.c.PC != r.vector; ++k) Step(p.c, p.code());
        EXPECT_EQ(p.c.PC, r.vector) << r.what;
        EXPECT_EQ(p.c.dump[r.sfr] & r.mask, r.after) << r.what;
    }
    // The level-triggered request ends with the pin.
    ChipProgram p("\tEND\n");
    SetPinsIn(p.c, 3, 0xFB);
    EXPECT_EQ(p.c.dump[TCON] & 0x02, 0x02);
    SetPinsIn(p.c, 3, 0xFF);
    EXPECT_EQ(p.c.dump[TCON] & 0x02, 0x00);
}

// A frame written to SBUF: modes 1-3 start at the next rollover of the
// divide-by-16 counter and set TI when the stop bit begins, at the 10th
// (mode 1) or 11th (modes 2, 3) rollover after the write; mode 0 shifts
// the eight bits out one per machine cycle after one cycle. Bit times in
// machine cycles: timer 1 in mode 2 with TH1 = FDH overflows every 3
// cycles, 32 overflows a bit (16 with SMOD); mode 2 takes 64 oscillator
// periods a bit (32 with SMOD), 12 to a machine cycle.
TEST(Serial, FrameTimeUntilTi) {
    struct Row {
        const char* what;
        std::uint8_t scon, pcon;
        double bit;     // machine cycles
        unsigned bits;  // bit times from the write until TI, at most
    };
    const Row rows[] = {
        {"mode 0", 0x00, 0x00, 1, 9},          {"mode 1", 0x40, 0x00, 96, 10},
        {"mode 1, SMOD", 0x40, 0x80, 48, 10},  {"mode 2", 0x80, 0x00, 64.0 / 12, 11},
        {"mode 2, SMOD", 0x80, 0x80, 32.0 / 12, 11}, {"mode 3", 0xC0, 0x00, 96, 11},
    };
    for (const Row& r : rows) {
        ChipProgram p("\tORG\t0\n\tMOV\tSBUF,#0A5H\n\tEND\n");
        p.c.dump[TMOD] = 0x20;
        p.c.dump[TH1] = p.c.dump[TL1] = 0xFD;
        p.c.dump[TCON] = 0x40;
        p.c.dump[SCON] = r.scon;
        p.c.dump[PCON] = r.pcon;
        StateEdited(p.c);
        Step(p.c, p.code());
        const std::uint64_t written = p.c.cycles;
        while (!(p.c.dump[SCON] & 0x02) && p.c.cycles < 5000) Step(p.c, p.code());
        const double took = static_cast<double>(p.c.cycles - written);
        EXPECT_GT(took, (r.bits - 1) * r.bit) << r.what;
        EXPECT_LE(took, r.bits * r.bit) << r.what;
        EXPECT_EQ(p.line.TakeTransmitted(), "\xA5") << r.what;
    }
}

// Bytes on RXD arrive at the port's bit rate once REN is set: the stop bit
// is sampled in the middle of its bit time, then SBUF, RB8 and RI are set.
// A byte that arrives while RI is still set is lost.
TEST(Serial, ReceivedBytesSetRi) {
    ChipProgram p("\tEND\n");
    p.line.Queue("AB");
    p.c.dump[TMOD] = 0x20;
    p.c.dump[TH1] = p.c.dump[TL1] = 0xFD;
    p.c.dump[TCON] = 0x40;
    p.c.dump[SCON] = 0x50;  // mode 1, REN
    StateEdited(p.c);
    while (!(p.c.dump[SCON] & 0x01) && p.c.cycles < 5000) Step(p.c, p.code());
    // The start bit comes with the next tick of the 16-times clock (every
    // 6 cycles); RI 9.5 bit times after it.
    EXPECT_GT(p.c.cycles, 9.5 * 96);
    EXPECT_LE(p.c.cycles, 9.5 * 96 + 6);
    EXPECT_EQ(p.c.dump[SBUF], 'A');
    EXPECT_EQ(p.c.dump[SCON] & 0x04, 0x04);  // RB8: the stop bit
    p.RunUntilCycle(p.c.cycles + 10 * 96);   // B arrives while RI is set
    EXPECT_EQ(p.c.dump[SBUF], 'A');
    EXPECT_EQ(p.c.chip.rxLost, 1u);
    EXPECT_FALSE(p.line.Waiting());
}

}  // namespace
}  // namespace z51::test
