// The chip models against the datasheet: register banks and the dump
// layout, parity, reset values, MOVX @Ri with P2, indirect RAM above 7FH,
// port latches and pins. Programs are in our own syntax, assembled by our
// assembler.

#include <gtest/gtest.h>

#include <bit>

#include "emulator/emufiles.h"
#include "tests/support/chip.h"

namespace z51::test {
namespace {

struct Expect {
    unsigned address;
    std::uint8_t value;
};

// R0..R7 are internal RAM bytes 8 x RS1:RS0 + n; @Ri and the direct
// addresses 00H..1FH reach the same bytes.
TEST(ChipBanks, RegistersAreTheRamOfTheSelectedBank) {
    ChipProgram p(R"(	ORG	0
	MOV	R0,#10H
	MOV	PSW,#08H
	MOV	R1,#21H
	MOV	PSW,#10H
	MOV	R7,#37H
	MOV	PSW,#18H
	MOV	R3,#43H
	MOV	R0,#1BH
	MOV	B,@R0
	MOV	PSW,#00H
	MOV	07H,#77H
	MOV	A,R7
	MOV	SP,#30H
	PUSH	00H
DONE:	SJMP	DONE
	END
)");
    p.RunTo(p.Label("DONE"));
    const Expect bytes[] = {{0x00, 0x10}, {0x09, 0x21}, {0x17, 0x37}, {0x1B, 0x43}, {0x18, 0x1B},
                            {sfr::B, 0x43}, {sfr::ACC, 0x77}, {0x31, 0x10}};
    for (const Expect& e : bytes) EXPECT_EQ(p.ram(e.address), e.value) << std::hex << e.address;
}

// The 266-byte dump keeps its layout; bytes 256..263 are the selected
// bank, and a load puts them into the bank of the PSW it loads.
TEST(ChipBanks, DumpCarriesTheSelectedBank) {
    TempDir dir;
    ChipProgram p("\tEND\n");
    Cpu51& c = p.c;
    for (unsigned a = 0; a < 0x80; ++a) c.dump[a] = static_cast<std::uint8_t>(a);
    c.dump[sfr::PSW] = 0x10;  // bank 2: 10H..17H
    c.PC = 0x0123;
    SaveRegs(c, dir / "bank2.dmp");
    const Bytes saved = ReadBinaryFile(dir / "bank2.dmp");
    ASSERT_EQ(saved.size(), kDumpSize);
    for (unsigned n = 0; n < 8; ++n) EXPECT_EQ(saved[256 + n], 0x10 + n);
    EXPECT_EQ(saved[264], 0x23);
    EXPECT_EQ(saved[265], 0x01);

    Bytes file = saved;
    for (unsigned n = 0; n < 8; ++n) file[256 + n] = static_cast<std::uint8_t>(0xA0 + n);
    WriteBytes(dir / "edited.dmp", file);
    ChipProgram q("\tEND\n");
    ASSERT_TRUE(LoadRegs(q.c, q.code(), dir / "edited.dmp").Ok());
    for (unsigned n = 0; n < 8; ++n) {
        EXPECT_EQ(q.ram(0x10 + n), 0xA0 + n);  // the staging bytes win over the RAM image
        EXPECT_EQ(q.c.Regs()[n], 0xA0 + n);
        EXPECT_EQ(q.ram(0x08 + n), 0x08 + n);  // other banks as in the image
    }
    EXPECT_EQ(q.c.PC, 0x0123);
}

// P is the parity of A after every instruction and every write to A: an
// odd number of ones sets it. Checked at each step of a program that
// changes A in many ways and writes PSW.
TEST(ChipParity, PFollowsTheAccumulatorAfterEveryInstruction) {
    ChipProgram p(R"(	ORG	0
	MOV	R2,#0
LOOP:	MOV	A,R2
	MOV	PSW,#0FFH
	ADD	A,#37H
	RL	A
	XRL	A,#5AH
	MOV	30H,A
	CLR	A
	XCH	A,30H
	PUSH	ACC
	POP	0E0H
	INC	0E0H
	MOV	PSW,#0
	MOV	B,#3
	MUL	AB
	DJNZ	R2,LOOP
DONE:	SJMP	DONE
	END
)");
    const std::uint16_t done = p.Label("DONE");
    int steps = 0;
    while (p.c.PC != done && steps < 100000) {
        Step(p.c, p.code());
        ++steps;
        ASSERT_EQ(p.c.PSW() & psw::P, std::popcount(p.c.A()) & 1) << "step " << steps << " PC " << std::hex << p.c.PC;
    }
    EXPECT_EQ(p.c.PC, done);
    // A write to A from outside: the refresh of the state follows it.
    p.c.A() = 0x01;
    StateEdited(p.c);
    EXPECT_EQ(p.c.PSW() & psw::P, psw::P);
}

// Datasheet reset values: SP 07H, P0..P3 FFH, every other SFR 00H (the
// bits it leaves undefined read 0 here), PC 0000H; internal RAM keeps its
// bytes.
TEST(ChipReset, SfrsTakeTheirResetValuesAndRamKeepsItsBytes) {
    for (Model model : {Model::I8051, Model::I8052}) {
        auto c = std::make_unique<Cpu51>();
        for (unsigned a = 0; a < 256; ++a) c->dump[a] = 0x5A;
        c->PC = 0x1234;
        SelectModel(*c, model);
        const Expect values[] = {{sfr::SP, 0x07},    {sfr::P0, 0xFF},   {sfr::P1, 0xFF},   {sfr::P2, 0xFF},
                                 {sfr::P3, 0xFF},    {sfr::ACC, 0x00},  {sfr::B, 0x00},    {sfr::PSW, 0x00},
                                 {sfr::DPL, 0x00},   {sfr::DPH, 0x00},  {sfr::IP, 0x00},   {sfr::IE, 0x00},
                                 {sfr::TMOD, 0x00},  {sfr::TCON, 0x00}, {sfr::TH0, 0x00},  {sfr::TL0, 0x00},
                                 {sfr::TH1, 0x00},   {sfr::TL1, 0x00},  {sfr::SCON, 0x00}, {sfr::PCON, 0x00},
                                 {sfr::T2CON, 0x00}, {sfr::TH2, 0x00},  {sfr::TL2, 0x00},  {sfr::RCAP2H, 0x00},
                                 {sfr::RCAP2L, 0x00}, {0x00, 0x5A},     {0x7F, 0x5A}};
        for (const Expect& e : values) EXPECT_EQ(c->dump[e.address], e.value) << std::hex << e.address;
        EXPECT_EQ(c->PC, 0);
        EXPECT_EQ(c->cycles, 0u);
    }
}

// MOVX @Ri: the chip puts P2 out as the high address byte; the simple
// model stays in 0000H..00FFH.
TEST(ChipMemory, MovxAtRiTakesTheHighByteFromP2) {
    const char* source = R"(	ORG	0
	MOV	P2,#12H
	MOV	R0,#34H
	MOV	A,#5AH
	MOVX	@R0,A
	MOV	R1,#35H
	MOVX	A,@R1
DONE:	SJMP	DONE
	END
)";
    for (Model model : {Model::Simple, Model::I8051}) {
        ChipProgram p(source, model);
        p.c.xram[0x1235] = 0x77;
        p.c.xram[0x0035] = 0x66;
        p.RunTo(p.Label("DONE"));
        const bool chip = model != Model::Simple;
        EXPECT_EQ(p.c.xram[chip ? 0x1234 : 0x0034], 0x5A);
        EXPECT_EQ(p.c.A(), chip ? 0x77 : 0x66);
    }
}

// Indirect addresses 80H..FFH: the 8052 has RAM there apart from the SFRs,
// the 8051 has nothing (reads give FFH here, writes are lost); the simple
// model reaches the SFR bytes.
TEST(ChipMemory, IndirectAbove7FH) {
    const char* source = R"(	ORG	0
	MOV	R0,#90H
	MOV	@R0,#55H
	MOV	A,@R0
	MOV	SP,#7FH
	PUSH	B
	POP	30H
DONE:	SJMP	DONE
	END
)";
    struct Row {
        Model model;
        std::uint8_t p1, a, popped;
    };
    const Row rows[] = {{Model::Simple, 0x55, 0x55, 0x09}, {Model::I8051, 0xFF, 0xFF, 0xFF}, {Model::I8052, 0xFF, 0x55, 0x09}};
    for (const Row& r : rows) {
        ChipProgram p(source, r.model);
        p.c.dump[sfr::B] = 0x09;
        p.RunTo(p.Label("DONE"));
        EXPECT_EQ(p.ram(sfr::P1), r.p1) << int(r.model);
        EXPECT_EQ(p.c.A(), r.a) << int(r.model);
        EXPECT_EQ(p.ram(0x30), r.popped) << int(r.model);
    }
    ChipProgram p(source, Model::I8052);
    p.RunTo(p.Label("DONE"));
    EXPECT_EQ(p.c.upperRam[0x10], 0x55);  // 90H
}

// A port reads its pins (latch AND the level from outside); the
// read-modify-write instructions read the latch.
TEST(ChipPorts, PinsForReadsLatchForReadModifyWrite) {
    struct Row {
        const char* instruction;
        std::uint8_t latch, a;  // P1 latch and A afterwards
    };
    // Latch FFH, the outside pulls P1.0..P1.3 low: pins F0H.
    const Row rows[] = {
        {"MOV\tA,P1", 0xFF, 0xF0},          {"ORL\tP1,#0", 0xFF, 0x00},     {"ANL\tP1,#7FH", 0x7F, 0x00},
        {"XRL\tP1,A", 0xFF, 0x00},          {"INC\tP1", 0x00, 0x00},        {"MOV\tP1,P1", 0xF0, 0x00},
        {"CPL\tP1.7", 0x7F, 0x00},          {"CLR\tP1.6", 0xBF, 0x00},      {"MOV\tC,P1.0\n\tMOV\tACC.0,C", 0xFF, 0x00},
        {"JBC\tP1.0,$+3\n\tNOP", 0xFE, 0x00}, {"ADD\tA,P1", 0xFF, 0xF0},     {"PUSH\tP1\n\tPOP\tACC", 0xFF, 0xF0},
    };
    for (const Row& r : rows) {
        ChipProgram p(std::string("\tORG\t0\n\tCLR\tA\n\t") + r.instruction + "\nDONE:\tSJMP\tDONE\n\tEND\n");
        SetPinsIn(p.c, 1, 0xF0);
        p.RunTo(p.Label("DONE"));
        EXPECT_EQ(p.ram(sfr::P1), r.latch) << r.instruction;
        EXPECT_EQ(p.c.A(), r.a) << r.instruction;
        EXPECT_EQ(PortPins(p.c, 1), r.latch & 0xF0) << r.instruction;
    }
}

}  // namespace
}  // namespace z51::test
