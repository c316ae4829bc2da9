// Every opcode group of the step against hand-worked results, and the
// chip's quirks where the emulator handles them.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/emulator.h"

namespace z51::test {
namespace {

using ExecTest = EmuTest;

// ---- state and fetch ------------------------------------------------------

TEST_F(ExecTest, StartStateIsAllZero) {
    EXPECT_EQ(c.PC, 0);
    EXPECT_EQ(c.SP(), 0);
    for (unsigned port : {0x80u, 0x90u, 0xA0u, 0xB0u}) EXPECT_EQ(ram(port), 0);
    for (auto r : c.R) EXPECT_EQ(r, 0);
    Put(0, {0x74, 0x12, 0x34});
    FetchCurrent(c, code);
    EXPECT_EQ(c.cur, (std::array<std::uint8_t, 3>{0x74, 0x12, 0x34}));
    EXPECT_EQ(c.curLen, 2);
}

TEST_F(ExecTest, FetchWrapsAtTheTopOfCodeMemory) {
    // MOV A,#5AH with its operand at 0000H; the next PC wraps too.
    code[0xFFFF] = 0x74;
    code[0x0000] = 0x5A;
    code[0x0001] = 0x99;
    c.PC = 0xFFFF;
    FetchCurrent(c, code);
    EXPECT_EQ(c.cur, (std::array<std::uint8_t, 3>{0x74, 0x5A, 0x99}));
    Shag1(c, code);
    EXPECT_EQ(c.A(), 0x5A);
    EXPECT_EQ(c.PC, 0x0001);
    // LJMP at FFFEH takes its address from FFFFH and 0000H.
    code[0xFFFE] = 0x02;
    code[0xFFFF] = 0x12;
    code[0x0000] = 0x34;
    c.PC = 0xFFFE;
    Step(c, code);
    EXPECT_EQ(c.PC, 0x1234);
}

TEST_F(ExecTest, Shag1ExecutesTheFetchedCopyNotTheCodeImage) {
    Put(0x0100, {0x74, 0x11});
    c.PC = 0x0100;
    FetchCurrent(c, code);
    Put(0x0100, {0x74, 0x22});  // an assembly changes the image meanwhile
    Shag1(c, code);
    EXPECT_EQ(c.A(), 0x11);
    EXPECT_EQ(c.PC, 0x0102);
}

// With both operand bytes 0, every instruction that is not an absolute
// jump, call or return lands on the next instruction (a relative branch
// with offset 0 does too), so PC must advance by the instruction's length.
TEST_F(ExecTest, EveryNonJumpOpcodeAdvancesPcByItsLength) {
    for (unsigned op = 0; op < 256; ++op) {
        const bool absolute = (op & 0x0F) == 0x01 || op == 0x02 || op == 0x12 || op == 0x22 || op == 0x32 ||
                              op == 0x73 || op == 0xA5;
        if (absolute) continue;
        *ws = Workspace{};
        c = Cpu51{};
        Exec(0x1000, {static_cast<std::uint8_t>(op), 0, 0});
        EXPECT_EQ(c.PC, 0x1000 + kInstructionLength[op]) << "opcode " << std::hex << op;
    }
}

TEST_F(ExecTest, A5DoesNothingAtAll) {
    for (unsigned k = 0; k < c.dump.size(); ++k) c.dump[k] = static_cast<std::uint8_t>(k * 7);
    c.R = {1, 2, 3, 4, 5, 6, 7, 8};
    c.xram[0x1234] = 0x55;
    Put(0x0200, {0xA5, 0x12, 0x34});
    c.PC = 0x0200;
    FetchCurrent(c, code);
    auto before = std::make_unique<Cpu51>(c);
    Shag1(c, code);
    EXPECT_EQ(c.PC, 0x0200);
    EXPECT_EQ(c.dump, before->dump);
    EXPECT_EQ(c.R, before->R);
    EXPECT_EQ(c.xram, before->xram);
    EXPECT_EQ(c.curLen, 1);
}

TEST_F(ExecTest, NopOnlyAdvances) {
    c.PSW() = 0xFF;
    Exec({0x00});
    EXPECT_EQ(c.PC, 0x0101);
    EXPECT_EQ(c.PSW(), 0xFF);
}

// ---- no register banks, A and PSW are RAM bytes ---------------------------

TEST_F(ExecTest, WorkingRegistersAreApartFromInternalRam) {
    Exec({0x75, 0x00, 0x05});  // MOV 00H,#5
    EXPECT_EQ(ram(0x00), 5);
    EXPECT_EQ(c.R[0], 0);
    Exec({0x78, 0x07});  // MOV R0,#7
    EXPECT_EQ(c.R[0], 7);
    EXPECT_EQ(ram(0x00), 5);
    Exec({0xC0, 0x00});  // PUSH 00H pushes RAM byte 00H, not R0
    EXPECT_EQ(ram(0x01), 5);

    // RS1/RS0 are never consulted: bank 3 selected, R7 is still R7.
    c.R[7] = 0x77;
    ram(0x1F) = 0x1F;
    c.PSW() = 0x18;
    Exec({0xEF});  // MOV A,R7
    EXPECT_EQ(c.A(), 0x77);
}

TEST_F(ExecTest, IndirectAddressingReachesAll256BytesThroughR0R1) {
    Exec({0x78, 0x40});        // MOV R0,#40H
    Exec({0x76, 0x07});        // MOV @R0,#7
    EXPECT_EQ(ram(0x40), 7);
    EXPECT_EQ(ram(0x00), 0);
    ram(0x90) = 0x3C;          // P1
    Exec({0x79, 0x90});        // MOV R1,#90H
    Exec({0xE7});              // MOV A,@R1
    EXPECT_EQ(c.A(), 0x3C);
}

TEST_F(ExecTest, AccumulatorAndPswAreTheirRamBytes) {
    Exec({0x75, 0xE0, 0x05});  // MOV 0E0H,#5
    EXPECT_EQ(c.A(), 5);
    Exec({0x05, 0xE0});        // INC 0E0H
    EXPECT_EQ(c.A(), 6);
    Exec({0x75, 0xD0, 0x81});  // MOV PSW,#81H: CY and P
    EXPECT_TRUE(c.CY());
    EXPECT_EQ(c.PSW(), 0x81);
    Exec({0xD2, 0xD0});        // SETB P is a stored bit
    Exec({0xC2, 0xD0});        // CLR P
    EXPECT_EQ(c.PSW() & psw::P, 0);
}

TEST_F(ExecTest, ParityIsNeverComputed) {
    Exec({0x74, 0x01});  // MOV A,#1 (odd parity)
    EXPECT_EQ(c.PSW() & psw::P, 0);
    c.PSW() = psw::P;
    Exec({0x24, 0x02});  // ADD A,#2
    EXPECT_EQ(c.A(), 3);
    EXPECT_EQ(c.PSW() & psw::P, psw::P);
}

// ---- arithmetic -------------------------------------------------------------

TEST_F(ExecTest, AddFamilyReadsEachAddressingMode) {
    c.R[3] = 0x22;
    c.R[1] = 0x40;
    ram(0x40) = 0x11;
    ram(0x35) = 0x33;
    c.A() = 0x01;
    Exec({0x24, 0x10});  // ADD A,#10H
    EXPECT_EQ(c.A(), 0x11);
    Exec({0x25, 0x35});  // ADD A,35H
    EXPECT_EQ(c.A(), 0x44);
    Exec({0x27});        // ADD A,@R1
    EXPECT_EQ(c.A(), 0x55);
    Exec({0x2B});        // ADD A,R3
    EXPECT_EQ(c.A(), 0x77);
    EXPECT_EQ(c.PSW() & (psw::CY | psw::AC | psw::OV), 0);
}

TEST_F(ExecTest, AddcAndSubbUseTheCarry) {
    c.A() = 0x10;
    c.PSW() = psw::CY;
    c.R[0] = 0x05;
    Exec({0x38});  // ADDC A,R0
    EXPECT_EQ(c.A(), 0x16);
    EXPECT_FALSE(c.CY());
    c.PSW() = psw::CY;
    ram(0x30) = 0x06;
    Exec({0x95, 0x30});  // SUBB A,30H
    EXPECT_EQ(c.A(), 0x0F);
    EXPECT_EQ(c.PSW(), psw::AC);
    c.R[1] = 0x30;
    Exec({0x97});  // SUBB A,@R1 : 0F - 06
    EXPECT_EQ(c.A(), 0x09);
    Exec({0x94, 0x0A});  // SUBB A,#0AH : 09 - 0A borrows
    EXPECT_EQ(c.A(), 0xFF);
    EXPECT_TRUE(c.CY());
    Exec({0x34, 0x00});  // ADDC A,#0 : FF + 0 + 1
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_TRUE(c.CY());
    c.R[6] = 1;
    Exec({0x9E});  // SUBB A,R6 : 00 - 01 - 1
    EXPECT_EQ(c.A(), 0xFE);
    ram(0x31) = 0x01;
    c.R[0] = 0x31;
    c.PSW() = 0;
    Exec({0x36});  // ADDC A,@R0
    EXPECT_EQ(c.A(), 0xFF);
    Exec({0x35, 0x31});  // ADDC A,31H
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_TRUE(c.CY());
}

TEST_F(ExecTest, IncDecWrapAndLeaveFlags) {
    c.PSW() = 0xFF;
    c.A() = 0xFF;
    Exec({0x04});  // INC A
    EXPECT_EQ(c.A(), 0x00);
    Exec({0x14});  // DEC A
    EXPECT_EQ(c.A(), 0xFF);
    ram(0x30) = 0x7F;
    Exec({0x05, 0x30});  // INC 30H
    EXPECT_EQ(ram(0x30), 0x80);
    Exec({0x15, 0x30});  // DEC 30H
    EXPECT_EQ(ram(0x30), 0x7F);
    c.R[1] = 0x30;
    Exec({0x07});  // INC @R1
    EXPECT_EQ(ram(0x30), 0x80);
    Exec({0x17});  // DEC @R1
    EXPECT_EQ(ram(0x30), 0x7F);
    Exec({0x0D});  // INC R5
    EXPECT_EQ(c.R[5], 1);
    Exec({0x1C});  // DEC R4
    EXPECT_EQ(c.R[4], 0xFF);
    EXPECT_EQ(c.PSW(), 0xFF);
}

TEST_F(ExecTest, IncDptrCarriesIntoDphAndWraps) {
    ram(0x82) = 0xFF, ram(0x83) = 0x12;
    Exec({0xA3});
    EXPECT_EQ(ram(0x82), 0x00);
    EXPECT_EQ(ram(0x83), 0x13);
    ram(0x82) = 0xFF, ram(0x83) = 0xFF;
    Exec({0xA3});
    EXPECT_EQ(c.Dptr(), 0x0000);
    EXPECT_EQ(ram(0x84), 0);
    EXPECT_EQ(ram(0x85), 0);
}

TEST_F(ExecTest, MulAb) {
    c.A() = 0x10, c.B() = 0x10, c.PSW() = psw::CY;
    Exec({0xA4});
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_EQ(c.B(), 0x01);
    EXPECT_EQ(c.PSW(), psw::OV);
    c.A() = 0x05, c.B() = 0x03;
    Exec({0xA4});
    EXPECT_EQ(c.A(), 0x0F);
    EXPECT_EQ(c.B(), 0x00);
    EXPECT_EQ(c.PSW(), 0);
}

TEST_F(ExecTest, DivAbAndDivisionByZero) {
    c.A() = 251, c.B() = 18, c.PSW() = psw::CY | psw::OV;
    Exec({0x84});
    EXPECT_EQ(c.A(), 13);
    EXPECT_EQ(c.B(), 17);
    EXPECT_EQ(c.PSW(), 0);
    c.A() = 0x42, c.B() = 0, c.PSW() = psw::CY;
    Exec({0x84});
    EXPECT_EQ(c.A(), 0x42);
    EXPECT_EQ(c.B(), 0);
    EXPECT_EQ(c.PSW(), psw::OV);
}

TEST_F(ExecTest, DaAInstruction) {
    c.A() = 0x9A;
    Exec({0xD4});
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_TRUE(c.CY());
    // 38 + 29 = 61 in BCD: ADD gives 61H with AC, DA adds 6 -> 67H
    c.A() = 0x38, c.PSW() = 0;
    Exec({0x24, 0x29});
    Exec({0xD4});
    EXPECT_EQ(c.A(), 0x67);
    EXPECT_FALSE(c.CY());
}

// ---- logic --------------------------------------------------------------------

TEST_F(ExecTest, LogicalRowsInEveryAddressingMode) {
    c.PSW() = 0xC5;
    ram(0x30) = 0xF0;
    c.A() = 0x3C;
    Exec({0x42, 0x30});  // ORL 30H,A
    EXPECT_EQ(ram(0x30), 0xFC);
    Exec({0x53, 0x30, 0x0F});  // ANL 30H,#0FH
    EXPECT_EQ(ram(0x30), 0x0C);
    Exec({0x62, 0x30});  // XRL 30H,A
    EXPECT_EQ(ram(0x30), 0x30);
    Exec({0x43, 0x30, 0x01});  // ORL 30H,#1
    EXPECT_EQ(ram(0x30), 0x31);
    Exec({0x52, 0x30});  // ANL 30H,A
    EXPECT_EQ(ram(0x30), 0x30);
    Exec({0x63, 0x30, 0xFF});  // XRL 30H,#0FFH
    EXPECT_EQ(ram(0x30), 0xCF);

    c.A() = 0x0F;
    Exec({0x44, 0x30});  // ORL A,#30H
    EXPECT_EQ(c.A(), 0x3F);
    Exec({0x54, 0xF3});  // ANL A,#0F3H
    EXPECT_EQ(c.A(), 0x33);
    Exec({0x64, 0xFF});  // XRL A,#0FFH
    EXPECT_EQ(c.A(), 0xCC);
    ram(0x40) = 0x01;
    Exec({0x45, 0x40});  // ORL A,40H
    EXPECT_EQ(c.A(), 0xCD);
    Exec({0x55, 0x40});  // ANL A,40H
    EXPECT_EQ(c.A(), 0x01);
    Exec({0x65, 0x40});  // XRL A,40H
    EXPECT_EQ(c.A(), 0x00);
    c.R[0] = 0x40;
    ram(0x40) = 0x81;
    Exec({0x46});  // ORL A,@R0
    EXPECT_EQ(c.A(), 0x81);
    Exec({0x66});  // XRL A,@R0
    EXPECT_EQ(c.A(), 0x00);
    Exec({0x4F});  // ORL A,R7 (0)
    c.R[7] = 0x18;
    c.A() = 0xFF;
    Exec({0x5F});  // ANL A,R7
    EXPECT_EQ(c.A(), 0x18);
    Exec({0x6F});  // XRL A,R7
    EXPECT_EQ(c.A(), 0x00);
    c.A() = 0xFF;
    c.R[1] = 0x40;
    Exec({0x57});  // ANL A,@R1
    EXPECT_EQ(c.A(), 0x81);
    EXPECT_EQ(c.PSW(), 0xC5);
}

TEST_F(ExecTest, ClrCplSwap) {
    c.A() = 0x5A;
    Exec({0xF4});
    EXPECT_EQ(c.A(), 0xA5);
    Exec({0xC4});
    EXPECT_EQ(c.A(), 0x5A);
    Exec({0xE4});
    EXPECT_EQ(c.A(), 0x00);
}

TEST_F(ExecTest, Rotates) {
    c.A() = 0x81;
    Exec({0x03});  // RR A
    EXPECT_EQ(c.A(), 0xC0);
    Exec({0x23});  // RL A
    EXPECT_EQ(c.A(), 0x81);
    EXPECT_EQ(c.PSW(), 0);

    c.A() = 0x80, c.PSW() = 0;
    Exec({0x33});  // RLC A
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_TRUE(c.CY());
    c.A() = 0x01, c.PSW() = psw::CY;
    Exec({0x13});  // RRC A
    EXPECT_EQ(c.A(), 0x80);
    EXPECT_TRUE(c.CY());
    c.A() = 0x02, c.PSW() = psw::CY | psw::AC;
    Exec({0x13});  // RRC A: 1 into bit 7, 0 out
    EXPECT_EQ(c.A(), 0x81);
    EXPECT_EQ(c.PSW(), psw::AC);
}

// ---- bits -----------------------------------------------------------------------

TEST_F(ExecTest, BitInstructions) {
    Exec({0xD2, 0x07});  // SETB 20H.7
    EXPECT_EQ(ram(0x20), 0x80);
    Exec({0xB2, 0x00});  // CPL 20H.0
    EXPECT_EQ(ram(0x20), 0x81);
    Exec({0xC2, 0x07});  // CLR 20H.7
    EXPECT_EQ(ram(0x20), 0x01);
    Exec({0xA2, 0x00});  // MOV C,20H.0
    EXPECT_TRUE(c.CY());
    Exec({0x92, 0x91});  // MOV P1.1,C
    EXPECT_EQ(ram(0x90), 0x02);
    Exec({0xB3});  // CPL C
    EXPECT_FALSE(c.CY());
    Exec({0x72, 0x91});  // ORL C,P1.1
    EXPECT_TRUE(c.CY());
    Exec({0x82, 0x92});  // ANL C,P1.2
    EXPECT_FALSE(c.CY());
    Exec({0xA0, 0x92});  // ORL C,/P1.2
    EXPECT_TRUE(c.CY());
    Exec({0xB0, 0x91});  // ANL C,/P1.1
    EXPECT_FALSE(c.CY());
    Exec({0xD3});  // SETB C
    EXPECT_TRUE(c.CY());
    Exec({0xC3});  // CLR C
    EXPECT_FALSE(c.CY());
    Exec({0xD2, 0xD7});  // SETB CY through its bit address
    EXPECT_TRUE(c.CY());
    Exec({0xD2, 0xE0});  // SETB ACC.0
    EXPECT_EQ(c.A(), 0x01);
    EXPECT_EQ(c.PSW(), psw::CY);
}

// ---- moves ------------------------------------------------------------------------

TEST_F(ExecTest, MovFamilies) {
    Exec({0x74, 0x12});  // MOV A,#12H
    Exec({0xF5, 0x30});  // MOV 30H,A
    EXPECT_EQ(ram(0x30), 0x12);
    Exec({0xFA});  // MOV R2,A
    EXPECT_EQ(c.R[2], 0x12);
    c.R[1] = 0x31;
    Exec({0xF7});  // MOV @R1,A
    EXPECT_EQ(ram(0x31), 0x12);
    Exec({0x7B, 0x44});  // MOV R3,#44H
    Exec({0xEB});        // MOV A,R3
    EXPECT_EQ(c.A(), 0x44);
    Exec({0xE5, 0x30});  // MOV A,30H
    EXPECT_EQ(c.A(), 0x12);
    Exec({0x77, 0x55});  // MOV @R1,#55H
    Exec({0xE7});        // MOV A,@R1
    EXPECT_EQ(c.A(), 0x55);
    Exec({0x8B, 0x32});  // MOV 32H,R3
    EXPECT_EQ(ram(0x32), 0x44);
    Exec({0x87, 0x33});  // MOV 33H,@R1
    EXPECT_EQ(ram(0x33), 0x55);
    Exec({0xAC, 0x33});  // MOV R4,33H
    EXPECT_EQ(c.R[4], 0x55);
    c.R[0] = 0x34;
    Exec({0xA6, 0x32});  // MOV @R0,32H
    EXPECT_EQ(ram(0x34), 0x44);
    Exec({0x75, 0x35, 0x99});  // MOV 35H,#99H
    EXPECT_EQ(ram(0x35), 0x99);
}

TEST_F(ExecTest, MovDirectDirectStoresSourceFirst) {
    ram(0x30) = 0xAB;
    Exec({0x85, 0x30, 0x40});  // MOV 40H,30H
    EXPECT_EQ(ram(0x40), 0xAB);
    EXPECT_EQ(c.PC, 0x0103);
}

TEST_F(ExecTest, DptrIsDplDphAt82And83) {
    ram(0x84) = 0xEE, ram(0x85) = 0xDD;
    Exec({0x90, 0x12, 0x34});  // MOV DPTR,#1234H
    EXPECT_EQ(ram(0x82), 0x34);
    EXPECT_EQ(ram(0x83), 0x12);
    EXPECT_EQ(ram(0x84), 0xEE);  // plain RAM
    EXPECT_EQ(ram(0x85), 0xDD);

    // A program that writes DPL and DPH directly reaches the same DPTR.
    c.xram[0x2010] = 0x77;
    Exec({0x75, 0x82, 0x10});  // MOV DPL,#10H
    Exec({0x75, 0x83, 0x20});  // MOV DPH,#20H
    Exec({0xE0});              // MOVX A,@DPTR
    EXPECT_EQ(c.A(), 0x77);
    Exec({0x74, 0x03});
    Exec({0xF0});  // MOVX @DPTR,A
    EXPECT_EQ(c.xram[0x2010], 0x03);
    code[0x2013] = 0xC3;
    Exec({0x93});  // MOVC A,@A+DPTR
    EXPECT_EQ(c.A(), 0xC3);
    c.A() = 0x05;
    Exec({0x73});  // JMP @A+DPTR
    EXPECT_EQ(c.PC, 0x2015);
}

TEST_F(ExecTest, Movc) {
    code[0x0201] = 0x5E;
    c.A() = 0;
    Exec(0x0200, {0x83});  // MOVC A,@A+PC reads code[PC + 1 + A]
    EXPECT_EQ(c.A(), 0x5E);
    EXPECT_EQ(c.PC, 0x0201);
    code[0x0000] = 0x66;
    c.A() = 0x01;
    Exec(0xFFFE, {0x83});  // FFFE + 1 + 1 wraps to 0000H
    EXPECT_EQ(c.A(), 0x66);
    c.SetDptr(0xFFFF);
    c.A() = 0x01;
    Exec({0x93});  // MOVC A,@A+DPTR wraps too
    EXPECT_EQ(c.A(), 0x66);
}

TEST_F(ExecTest, MovxThroughRiIgnoresP2) {
    c.xram[0x0012] = 0x21;
    c.xram[0x5512] = 0x99;
    ram(0xA0) = 0x55;  // P2
    c.R[0] = 0x12;
    Exec({0xE2});  // MOVX A,@R0
    EXPECT_EQ(c.A(), 0x21);
    c.R[1] = 0x13;
    Exec({0xF3});  // MOVX @R1,A
    EXPECT_EQ(c.xram[0x0013], 0x21);
    EXPECT_EQ(c.xram[0x5513], 0x00);
    Exec({0xE3});  // MOVX A,@R1
    EXPECT_EQ(c.A(), 0x21);
    Exec({0xF2});  // MOVX @R0,A
    EXPECT_EQ(c.xram[0x0012], 0x21);
}

TEST_F(ExecTest, PushPopAndTheirStackPointerQuirks) {
    c.SP() = 0xFF;
    ram(0x30) = 0x42;
    Exec({0xC0, 0x30});  // PUSH 30H at SP = FFH wraps to 00H
    EXPECT_EQ(c.SP(), 0x00);
    EXPECT_EQ(ram(0x00), 0x42);

    c.SP() = 0x30;
    Exec({0xC0, 0x81});  // PUSH SP pushes the incremented SP
    EXPECT_EQ(c.SP(), 0x31);
    EXPECT_EQ(ram(0x31), 0x31);

    ram(0x31) = 0x50;
    Exec({0xD0, 0x81});  // POP SP: SP <- 50H, then decremented
    EXPECT_EQ(c.SP(), 0x4F);

    c.SP() = 0x08;
    ram(0x08) = 0x77;
    Exec({0xD0, 0x40});  // POP 40H
    EXPECT_EQ(ram(0x40), 0x77);
    EXPECT_EQ(c.SP(), 0x07);
    c.SP() = 0x00;
    ram(0x00) = 0x01;
    Exec({0xD0, 0x41});  // POP at SP = 00H wraps to FFH
    EXPECT_EQ(c.SP(), 0xFF);
    EXPECT_EQ(ram(0x41), 0x01);
}

TEST_F(ExecTest, Exchanges) {
    c.A() = 0x12;
    ram(0x30) = 0x34;
    Exec({0xC5, 0x30});  // XCH A,30H
    EXPECT_EQ(c.A(), 0x34);
    EXPECT_EQ(ram(0x30), 0x12);
    Exec({0xC5, 0xE0});  // XCH A,ACC leaves A
    EXPECT_EQ(c.A(), 0x34);
    c.R[1] = 0x30;
    Exec({0xC7});  // XCH A,@R1
    EXPECT_EQ(c.A(), 0x12);
    EXPECT_EQ(ram(0x30), 0x34);
    c.R[6] = 0x56;
    Exec({0xCE});  // XCH A,R6
    EXPECT_EQ(c.A(), 0x56);
    EXPECT_EQ(c.R[6], 0x12);
    c.A() = 0xAB;
    ram(0x30) = 0xCD;
    Exec({0xD7});  // XCHD A,@R1
    EXPECT_EQ(c.A(), 0xAD);
    EXPECT_EQ(ram(0x30), 0xCB);
}

// ---- jumps, calls, branches ---------------------------------------------------------

TEST_F(ExecTest, LcallAndRet) {
    c.SP() = 0x07;
    Exec(0x0100, {0x12, 0x02, 0x00});  // LCALL 0200H
    EXPECT_EQ(ram(0x08), 0x03);
    EXPECT_EQ(ram(0x09), 0x01);
    EXPECT_EQ(c.SP(), 0x09);
    EXPECT_EQ(c.PC, 0x0200);
    Exec(0x0200, {0x22});  // RET
    EXPECT_EQ(c.PC, 0x0103);
    EXPECT_EQ(c.SP(), 0x07);
    c.SP() = 0x09;
    Exec(0x0300, {0x32});  // RETI is RET
    EXPECT_EQ(c.PC, 0x0103);
    EXPECT_EQ(c.SP(), 0x07);
}

TEST_F(ExecTest, AjmpAndAcallStayInThePageOfPcPlus2) {
    c.SP() = 0x07;
    Exec(0x0900, {0x31, 0x23});  // ACALL page 1, 23H from 0900H
    EXPECT_EQ(c.PC, 0x0923);
    EXPECT_EQ(ram(0x08), 0x02);
    EXPECT_EQ(ram(0x09), 0x09);
    Exec(0x0100, {0x61, 0x12});  // AJMP 0312H
    EXPECT_EQ(c.PC, 0x0312);
    // At 07FEH the next instruction is already in the page at 0800H.
    Exec(0x07FE, {0x01, 0x10});
    EXPECT_EQ(c.PC, 0x0810);
    Exec(0xF123, {0xE1, 0xFF});  // page 7 of F000H
    EXPECT_EQ(c.PC, 0xF7FF);
    // At FFFEH, PC + 2 wraps to 0000H.
    Exec(0xFFFE, {0x21, 0x05});
    EXPECT_EQ(c.PC, 0x0105);
}

TEST_F(ExecTest, LjmpAndSjmp) {
    Exec({0x02, 0xAB, 0xCD});
    EXPECT_EQ(c.PC, 0xABCD);
    Exec(0x0010, {0x80, 0xFE});  // SJMP $
    EXPECT_EQ(c.PC, 0x0010);
    Exec(0x0010, {0x80, 0x05});
    EXPECT_EQ(c.PC, 0x0017);
    Exec(0x0010, {0x80, 0x80});  // -128 wraps below 0000H
    EXPECT_EQ(c.PC, 0xFF92);
    Exec(0xFFF0, {0x80, 0x7F});  // +127 wraps above FFFFH
    EXPECT_EQ(c.PC, 0x0071);
}

TEST_F(ExecTest, ConditionalBranchesOnCarryAndAccumulator) {
    struct { std::uint8_t op; std::uint8_t psw, a; bool taken; } cases[] = {
        {0x40, psw::CY, 0, true},  {0x40, 0, 0, false},       // JC
        {0x50, 0, 0, true},        {0x50, psw::CY, 0, false}, // JNC
        {0x60, 0, 0, true},        {0x60, 0, 1, false},       // JZ
        {0x70, 0, 1, true},        {0x70, 0, 0, false},       // JNZ
    };
    for (const auto& k : cases) {
        c.PSW() = k.psw, c.A() = k.a;
        Exec(0x0200, {k.op, 0x10});
        EXPECT_EQ(c.PC, k.taken ? 0x0212 : 0x0202) << std::hex << int(k.op);
    }
}

TEST_F(ExecTest, BitBranches) {
    ram(0x21) = 0x02;  // bit 09H set
    Exec(0x0200, {0x20, 0x09, 0xF0});  // JB 21H.1,back
    EXPECT_EQ(c.PC, 0x01F3);
    Exec(0x0200, {0x30, 0x09, 0x10});  // JNB falls through
    EXPECT_EQ(c.PC, 0x0203);
    Exec(0x0200, {0x30, 0x08, 0x10});  // JNB 21H.0 taken
    EXPECT_EQ(c.PC, 0x0213);
    Exec(0x0200, {0x10, 0x08, 0x10});  // JBC on a clear bit falls through
    EXPECT_EQ(c.PC, 0x0203);
    EXPECT_EQ(ram(0x21), 0x02);
    Exec(0x0200, {0x10, 0x09, 0x10});  // JBC on a set bit clears it and jumps
    EXPECT_EQ(c.PC, 0x0213);
    EXPECT_EQ(ram(0x21), 0x00);
}

TEST_F(ExecTest, CjneSetsCarryOnUnsignedLessAndBranchesOnDifference) {
    c.A() = 0x0F;
    Exec(0x0100, {0xB4, 0x10, 0x20});  // CJNE A,#10H
    EXPECT_TRUE(c.CY());
    EXPECT_EQ(c.PC, 0x0123);
    c.A() = 0x10;
    Exec(0x0100, {0xB4, 0x10, 0x20});
    EXPECT_FALSE(c.CY());
    EXPECT_EQ(c.PC, 0x0103);
    c.A() = 0x80;  // unsigned: 80H > 10H
    c.PSW() = psw::CY;
    Exec(0x0100, {0xB4, 0x10, 0x20});
    EXPECT_FALSE(c.CY());
    EXPECT_EQ(c.PC, 0x0123);

    ram(0x30) = 0x90;
    Exec(0x0100, {0xB5, 0x30, 0xFD});  // CJNE A,30H,$
    EXPECT_TRUE(c.CY());
    EXPECT_EQ(c.PC, 0x0100);
    c.R[0] = 0x30;
    Exec(0x0100, {0xB6, 0x90, 0x05});  // CJNE @R0,#90H equal
    EXPECT_FALSE(c.CY());
    EXPECT_EQ(c.PC, 0x0103);
    c.R[5] = 0x01;
    Exec(0x0100, {0xBD, 0x02, 0x05});  // CJNE R5,#2
    EXPECT_TRUE(c.CY());
    EXPECT_EQ(c.PC, 0x0108);
}

TEST_F(ExecTest, DjnzWrapsAndBranchesOnNonZero) {
    c.R[2] = 1;
    Exec(0x0100, {0xDA, 0xFE});  // DJNZ R2,$
    EXPECT_EQ(c.R[2], 0);
    EXPECT_EQ(c.PC, 0x0102);
    c.R[2] = 0;
    Exec(0x0100, {0xDA, 0xFE});
    EXPECT_EQ(c.R[2], 0xFF);
    EXPECT_EQ(c.PC, 0x0100);
    ram(0x30) = 2;
    c.PSW() = 0;
    Exec(0x0100, {0xD5, 0x30, 0x10});  // DJNZ 30H
    EXPECT_EQ(ram(0x30), 1);
    EXPECT_EQ(c.PC, 0x0113);
    Exec(0x0100, {0xD5, 0x30, 0x10});
    EXPECT_EQ(ram(0x30), 0);
    EXPECT_EQ(c.PC, 0x0103);
    EXPECT_EQ(c.PSW(), 0);
}

// ---- Run ------------------------------------------------------------------------------

TEST_F(ExecTest, RunStopsAtTheStopAddressTheLimitOrAHaltLoop) {
    // 0000: MOV R0,#3 / loop: INC A / DJNZ R0,loop / SJMP $
    Put(0x0000, {0x78, 0x03, 0x04, 0xD8, 0xFD, 0x80, 0xFE});
    RunResult r = z51::Run(c, code, 100, 0x0005);
    EXPECT_EQ(r.reason, StopReason::Until);
    EXPECT_EQ(r.steps, 7u);
    EXPECT_EQ(c.A(), 3);
    EXPECT_EQ(c.PC, 0x0005);
    EXPECT_EQ(c.cur[0], 0x80);  // fetched for the next step

    r = z51::Run(c, code, 100);
    EXPECT_EQ(r.reason, StopReason::Halt);
    EXPECT_EQ(r.steps, 1u);
    EXPECT_EQ(c.PC, 0x0005);

    *ws = Workspace{};
    c = Cpu51{};
    Put(0x0000, {0x78, 0x03, 0x04, 0xD8, 0xFD, 0x80, 0xFE});
    r = z51::Run(c, code, 4);
    EXPECT_EQ(r.reason, StopReason::StepLimit);
    EXPECT_EQ(r.steps, 4u);
    EXPECT_EQ(c.PC, 0x0003);

    // A run that starts on its stop address executes before it stops there.
    c.PC = 0x0005;
    r = z51::Run(c, code, 10, 0x0005);
    EXPECT_EQ(r.reason, StopReason::Halt);

    // DJNZ R1,$ keeps PC but writes: not a halt.
    *ws = Workspace{};
    c = Cpu51{};
    Put(0x0000, {0xD9, 0xFE, 0xA5});
    r = z51::Run(c, code, 1000);
    EXPECT_EQ(r.steps, 257u);
    EXPECT_EQ(r.reason, StopReason::Halt);
    EXPECT_EQ(c.PC, 0x0002);
}

}  // namespace
}  // namespace z51::test
