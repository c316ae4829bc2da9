// Small programs in the system's own assembler syntax, assembled by our
// assembler (both passes) and run in the emulator to their end (a SJMP $
// halt loop), checked on what a user sees: RAM, registers, external RAM.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "assembler/assembler.h"
#include "core/cp1251.h"
#include "core/fileio.h"
#include "core/pane.h"
#include "core/workspace.h"
#include "emulator/exec.h"
#include "isa/opcode_map.h"

namespace z51 {
namespace {

namespace fs = std::filesystem;

class ProgramTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() /
                   ("z51prog_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    std::unique_ptr<Cpu51> cpu = std::make_unique<Cpu51>();
    Cpu51& c = *cpu;
    RecordingPane pane;

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::uint8_t ram(unsigned a) const { return c.dump[a]; }

    // Assembles the source (UTF-8) through both passes into the code image.
    void Assemble(std::string_view source) {
        ws->SourceName = (dir / "prog.a51").string();
        WriteFileAtomic(ws->SourceName, cp(source));
        Assembler as(*ws, pane);
        as.Prohod1();
        as.RunFirstPass();
        ASSERT_TRUE(as.FinalPass()) << Cp1251ToUtf8(pane.Text());
    }

    // Assembles the source (UTF-8) and runs it from 0000H until it halts.
    void AssembleAndRun(std::string_view source) {
        ASSERT_NO_FATAL_FAILURE(Assemble(source));
        c.PC = 0;
        FetchCurrent(c, ws->CodeImage);
        const RunResult r = z51::Run(c, ws->CodeImage, 1'000'000);
        ASSERT_EQ(r.reason, StopReason::Halt) << "PC " << std::hex << c.PC;
    }
};

TEST_F(ProgramTest, PackedBcdAdditionWithAddcAndDa) {
    AssembleAndRun(R"(; 12459999 + 87550001 in packed BCD, least significant byte first
	ORG	0
	MOV	SP,#5FH
	MOV	30H,#99H
	MOV	31H,#99H
	MOV	32H,#45H
	MOV	33H,#12H
	MOV	38H,#01H
	MOV	39H,#00H
	MOV	3AH,#55H
	MOV	3BH,#87H
	MOV	R0,#30H
	MOV	R1,#38H
	MOV	R2,#4
	CLR	C
NEXT:	MOV	A,@R0
	ADDC	A,@R1
	DA	A
	MOV	@R0,A
	INC	R0
	INC	R1
	DJNZ	R2,NEXT
	CLR	A
	RLC	A
	MOV	34H,A
	SJMP	$
	END
)");
    EXPECT_EQ(ram(0x30), 0x00);
    EXPECT_EQ(ram(0x31), 0x00);
    EXPECT_EQ(ram(0x32), 0x01);
    EXPECT_EQ(ram(0x33), 0x00);
    EXPECT_EQ(ram(0x34), 0x01);  // the carry out: 100010000
    EXPECT_EQ(c.R[0], 0x34);
    EXPECT_EQ(c.R[2], 0);
    EXPECT_EQ(ram(0x00), 0);  // R0..R7 are not RAM 00H..07H
}

TEST_F(ProgramTest, CodeTableToExternalRamAndChecksumInASubroutine) {
    AssembleAndRun(R"(	ORG	0
	LJMP	MAIN
	ORG	100H
MAIN:	MOV	SP,#60H
	MOV	DPTR,#TABLE
	MOV	R7,#8
	MOV	R0,#0
COPY:	CLR	A
	MOVC	A,@A+DPTR
	MOVX	@R0,A
	INC	DPTR
	INC	R0
	DJNZ	R7,COPY
	LCALL	SUM
	MOV	40H,A
	SJMP	$
SUM:	PUSH	DPL
	PUSH	DPH
	MOV	DPTR,#0
	MOV	R6,#8
	CLR	A
ADDUP:	MOV	R4,A
	MOVX	A,@DPTR
	ADD	A,R4
	INC	DPTR
	DJNZ	R6,ADDUP
	POP	DPH
	POP	DPL
	RET
TABLE:	DB	1,2,3,4,5,6,7,250
	END
)");
    for (unsigned k = 0; k < 7; ++k) EXPECT_EQ(c.xram[k], k + 1);
    EXPECT_EQ(c.xram[7], 250);
    EXPECT_EQ(ram(0x40), (28 + 250) & 0xFF);
    EXPECT_TRUE(c.CY());  // the last ADD carried
    EXPECT_EQ(c.SP(), 0x60);
    // DPTR came back from the stack: TABLE + 8.
    const std::uint16_t table = static_cast<std::uint16_t>(c.Dptr() - 8);
    EXPECT_EQ(ws->CodeImage[table], 1);
    EXPECT_EQ(ws->CodeImage[table + 7], 250);
}

TEST_F(ProgramTest, BubbleSortWithCjneCarryAndXch) {
    AssembleAndRun(R"(	ORG	0
	MOV	R0,#50H
	MOV	DPTR,#VALUES
	MOV	R7,#8
FILL:	CLR	A
	MOVC	A,@A+DPTR
	MOV	@R0,A
	INC	R0
	INC	DPTR
	DJNZ	R7,FILL
	MOV	R6,#7
PASS:	MOV	R0,#50H
	MOV	A,R6
	MOV	R7,A
CMP:	MOV	A,@R0
	INC	R0
	MOV	B,@R0
	CJNE	A,B,DIFF
DIFF:	JC	INORDER
	XCH	A,@R0
	DEC	R0
	MOV	@R0,A
	INC	R0
INORDER:	DJNZ	R7,CMP
	DJNZ	R6,PASS
	SJMP	$
VALUES:	DB	37H,05H,0FFH,80H,00H,7FH,05H,12H
	END
)");
    const std::uint8_t sorted[] = {0x00, 0x05, 0x05, 0x12, 0x37, 0x7F, 0x80, 0xFF};
    for (unsigned k = 0; k < 8; ++k) EXPECT_EQ(ram(0x50 + k), sorted[k]) << k;
}

TEST_F(ProgramTest, DivMulAndBitOperations) {
    AssembleAndRun(R"(	ORG	0
	MOV	A,#251
	MOV	B,#100
	DIV	AB
	MOV	60H,A
	MOV	A,B
	MOV	B,#10
	DIV	AB
	MOV	61H,A
	MOV	62H,B
	MOV	A,#200
	MOV	B,#200
	MUL	AB
	MOV	63H,A
	MOV	64H,B
	MOV	C,OV
	MOV	20H.0,C
	SETB	20H.3
	JBC	20H.3,CLEARED
	SJMP	$
CLEARED:	MOV	21H,20H
	CPL	21H.7
	CLR	C
	ORL	C,/21H.1
	ANL	C,21H.7
	MOV	22H.1,C
	XRL	22H,#0F0H
	MOV	A,#0B5H
	MOV	R2,#8
	MOV	R3,#0
	CLR	C
BITS:	RLC	A
	JNC	ZERO
	INC	R3
ZERO:	DJNZ	R2,BITS
	SJMP	$
	END
)");
    EXPECT_EQ(ram(0x60), 2);     // 251 / 100
    EXPECT_EQ(ram(0x61), 5);     // 51 / 10
    EXPECT_EQ(ram(0x62), 1);     // 51 mod 10
    EXPECT_EQ(ram(0x63), 0x40);  // 200 * 200 = 9C40H
    EXPECT_EQ(ram(0x64), 0x9C);
    EXPECT_EQ(ram(0x20), 0x01);  // OV of MUL copied; bit 3 cleared by JBC
    EXPECT_EQ(ram(0x21), 0x81);
    EXPECT_EQ(ram(0x22), 0xF2);
    EXPECT_EQ(c.R[3], 5);        // B5H has five ones
}

// A jump table of AJMPs in the page at 0800H: JMP @A+DPTR picks entry 2.
TEST_F(ProgramTest, JumpTableOfAjmpsAboveTheFirstPage) {
    AssembleAndRun(R"(	ORG	0
	LJMP	START
	ORG	0F00H
START:	MOV	DPTR,#JTAB
	MOV	A,#4
	JMP	@A+DPTR
JTAB:	AJMP	E0
	AJMP	E1
	AJMP	E2
E0:	MOV	70H,#10
	SJMP	$
E1:	MOV	70H,#11
	SJMP	$
E2:	MOV	70H,#12
	ACALL	SUB
	SJMP	$
SUB:	MOV	71H,#13
	RET
	END
)");
    EXPECT_EQ(ram(0x70), 12);
    EXPECT_EQ(ram(0x71), 13);
    EXPECT_GE(c.PC, 0x0F00);
}

// The instruction text of the panel and the trace is the assembler's own
// syntax: every opcode decoded at some address assembles back, at that
// address, into the same bytes.
TEST_F(ProgramTest, DecodedTextOfEveryOpcodeAssemblesBackIntoItsBytes) {
    std::string source;
    std::vector<std::array<std::uint8_t, 3>> bytes(256);
    for (unsigned op = 0; op < 256; ++op) {
        if (op == 0xA5) continue;  // no instruction
        const auto pc = static_cast<std::uint16_t>(0x1000 + op * 4);
        bytes[op] = {static_cast<std::uint8_t>(op), 0x12, 0x34};
        const DecodedInstruction d = DecodeInstruction(pc, bytes[op]);
        char org[32];
        std::snprintf(org, sizeof org, "\tORG\t0%04XH\n", pc);
        source += org;
        source += "\t" + d.Text() + "\n";
    }
    source += "\tEND\n";
    ASSERT_NO_FATAL_FAILURE(Assemble(source));
    for (unsigned op = 0; op < 256; ++op) {
        if (op == 0xA5) continue;
        const auto pc = static_cast<std::uint16_t>(0x1000 + op * 4);
        const auto d = DecodeInstruction(pc, bytes[op]);
        for (int k = 0; k < d.length; ++k)
            EXPECT_EQ(ws->CodeImage[pc + k], bytes[op][static_cast<std::size_t>(k)])
                << std::hex << "opcode " << op << " byte " << k << ": " << d.Text();
    }
}

}  // namespace
}  // namespace z51
