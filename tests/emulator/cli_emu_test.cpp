// zanvek-cli emu end to end: trace and final state (golden), options, exit
// status. Re-approve the golden file with UPDATE_GOLDEN=1.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/fileio.h"
#include "tests/support/test_files.h"

namespace z51 {
namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
};

Result RunCli(const std::string& args) {
    Result r;
    const std::string cmd = std::string(ZANVEK_CLI) + " --no-color emu " + args + " 2>&1";
    std::FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class CliEmuTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() /
                   ("z51cli_" + std::to_string(::getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string Path(const char* name) const { return (dir / name).string(); }
    std::string Write(const char* name, std::vector<std::uint8_t> bytes) {
        WriteFileAtomic(Path(name), bytes);
        return Path(name);
    }

    // Fills external RAM 0000H.. with A = 5 + R2 for R2 = 3, 2, 1, calls a
    // subroutine that sets CY, then stops on SJMP $ at 0012H.
    std::string Program() {
        return Write("prog.bin", {
                                     0x75, 0x81, 0x2F,  // 0000 MOV SP,#2FH
                                     0x90, 0x00, 0x00,  // 0003 MOV DPTR,#0000H
                                     0x7A, 0x03,        // 0006 MOV R2,#3
                                     0x74, 0x05,        // 0008 loop: MOV A,#5
                                     0x2A,              // 000A ADD A,R2
                                     0xF0,              // 000B MOVX @DPTR,A
                                     0xA3,              // 000C INC DPTR
                                     0xDA, 0xF9,        // 000D DJNZ R2,loop
                                     0x12, 0x00, 0x14,  // 000F LCALL sub
                                     0x80, 0xFE,        // 0012 SJMP $
                                     0xD2, 0xD7,        // 0014 sub: SETB C
                                     0x22,              // 0016 RET
                                 });
    }
};

TEST_F(CliEmuTest, TraceAndFinalStateMatchGolden) {
    const Result r = RunCli("--trace " + Program());
    EXPECT_EQ(r.status, 0);
    const std::string golden = std::string(EMU_TEST_DIR) + "/golden/trace.txt";
    if (std::getenv("UPDATE_GOLDEN")) {
        std::ofstream(golden, std::ios::binary) << r.out;
        GTEST_SKIP() << "golden file rewritten: " << golden;
    }
    std::ifstream in(golden, std::ios::binary);
    std::stringstream want;
    want << in.rdbuf();
    EXPECT_EQ(r.out, want.str());
}

TEST_F(CliEmuTest, UntilStopsThereAndReportsWhenNeverReached) {
    Result r = RunCli("--until 0012H " + Program());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Stopped at 0012H after 21 steps: PC reached the stop address"), std::string::npos) << r.out;
    r = RunCli("--until 0x14 " + Program());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Stopped at 0014H after 19 steps"), std::string::npos) << r.out;
    // Never reached: the run ends on the halt loop, exit status 1.
    r = RunCli("--until 256 " + Program());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("halt loop"), std::string::npos) << r.out;
    r = RunCli("--steps 5 " + Program());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Stopped at 000BH after 5 steps: step limit"), std::string::npos) << r.out;
}

TEST_F(CliEmuTest, DefaultLimitEndsAnEndlessLoop) {
    // INC A / SJMP back: never halts by itself.
    const Result r = RunCli(Write("loop.bin", {0x04, 0x80, 0xFD}));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("after 10000000 steps: step limit"), std::string::npos) << r.out;
}

TEST_F(CliEmuTest, StateFilesRoundTrip) {
    Result r = RunCli("--save-regs " + Path("r.dmp") + " --ext " + Write("x.bin", std::vector<std::uint8_t>(8, 0xEE)) +
                      " --save-ext " + Path("x2.bin") + " " + Program());
    ASSERT_EQ(r.status, 0) << r.out;
    const auto ext = ReadBinaryFile(Path("x2.bin"));
    EXPECT_EQ(ext, (std::vector<std::uint8_t>{0x08, 0x07, 0x06, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(fs::file_size(Path("r.dmp")), 266u);

    // Loading the dump and running nothing shows the same final state.
    const std::string tail = r.out.substr(r.out.find('\n') + 1);
    Result again = RunCli("--steps 0 --regs " + Path("r.dmp") + " " + Program());
    ASSERT_EQ(again.status, 0) << again.out;
    EXPECT_EQ(again.out.substr(again.out.find('\n') + 1), tail);
}

// A firmware test as a script runs it: the source assembled and run, the
// expectations checked after the run.
TEST_F(CliEmuTest, SourceRunWithExpectations) {
    const std::string src = Path("prog.a51");
    WriteFileAtomic(src, std::string_view("\tORG 0\n"             // 1
                                          "START:\tMOV SP,#60H\n"  // 2
                                          "\tMOV 30H,#5\n"         // 3
                                          "\tMOV DPTR,#0140H\n"    // 4
                                          "\tMOV A,#5AH\n"         // 5
                                          "\tMOVX @DPTR,A\n"       // 6
                                          "\tLCALL SUB\n"          // 7
                                          "DONE:\tSJMP DONE\n"     // 8
                                          "SUB:\tINC 30H\n"        // 9
                                          "\tRET\n"));
    Result r = RunCli("--trace --expect 'A == 5AH' --expect 'RAM[30H] = 6' --expect 'XRAM[0140H] <> 0' " + src);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("MOV   081H,#060H            A=00 PSW=00 SP=60 DPTR=0000  " + src + ":2"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("INC   030H                  A=5A PSW=00 SP=62 DPTR=0140  " + src + ":9"), std::string::npos);
    EXPECT_NE(r.out.find("3 of 3 expectations hold"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("prog.Bin"))) << "a run writes no output files";

    r = RunCli("--break DONE --expect 'RAM[30H] > 10' --expect CY " + src);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Stopped at 000FH after 8 steps: breakpoint --break DONE (hit 1)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Expect RAM[30H] > 10: FAILED (RAM[30H]=06H)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Expect CY: FAILED (CY=0)"), std::string::npos);

    r = RunCli("--expect 'A ==' " + src);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("--expect 'A ==', column 5:"), std::string::npos) << r.out;
    WriteFileAtomic(Path("bad.a51"), std::string_view("\tMOV A,#1\n\tBOGUS 1\n"));
    r = RunCli(Path("bad.a51"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("has assembly errors"), std::string::npos) << r.out;

    // The firmware test of the README.
    r = RunCli(std::string(EMU_TEST_DIR) + "/../../examples/blink.a51 --break SEND_CHAR "
               "--expect \"RAM[PATTERN] = 0FEH\" --expect \"RAM[HOURS] = 12H\" --expect \"F_RUN AND EA\" "
               "--expect \"TMOD = 21H AND TH1 = BAUD_TH1\" --expect \"A = '>'\"");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("5 of 5 expectations hold"), std::string::npos) << r.out;
}

TEST_F(CliEmuTest, BreakpointsAndStopAddresses) {
    Result r = RunCli("--break 000AH,2 " + Program());
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Stopped at 000AH after 9 steps: breakpoint --break 000AH,2 (hit 2)"), std::string::npos) << r.out;
    r = RunCli("--break-if 'R2 = 1 AND A = 7' " + Program());
    EXPECT_NE(r.out.find("Stopped at 0008H after 13 steps: breakpoint --break-if R2 = 1 AND A = 7 (hit 1)"),
              std::string::npos) << r.out;
    r = RunCli("--break-write X:0 " + Program());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("does not report memory accesses"), std::string::npos);

    // A run that starts on the halt loop it is told to stop at ends there.
    const std::string halt = Write("halt.bin", {0x80, 0xFE});
    r = RunCli("--until 0 " + halt);
    EXPECT_EQ(r.status, 0) << r.out;
    // Waiting for an address that never comes ends at the default limit.
    r = RunCli("--until 0100H " + Write("loop.bin", {0x04, 0x80, 0xFD}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("after 1000000000 steps: step limit of 1000000000 instructions reached first"),
              std::string::npos) << r.out;
}

TEST_F(CliEmuTest, CyclesAndWaveform) {
    // CPL P1.0 / NOP / SJMP back: P1.0 toggles every 4 machine cycles.
    const std::string prog = Write("blink.bin", {0xB2, 0x90, 0x00, 0x80, 0xFB});
    const Result r = RunCli("--steps 6 --xtal 6000000 --vcd " + Path("p.vcd") + " " + prog);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Machine cycles: 8 = 16.000 us at 6000000 Hz"), std::string::npos) << r.out;
    const std::string vcd = test::ReadAll(Path("p.vcd"));
    EXPECT_NE(vcd.find("$var wire 1 ) P1_0 $end"), std::string::npos);
    EXPECT_NE(vcd.find("#2000\n1)\n"), std::string::npos) << vcd;
    EXPECT_NE(vcd.find("#10000\n0)\n"), std::string::npos) << vcd;
    EXPECT_NE(vcd.find("#16000\n"), std::string::npos);
}

TEST_F(CliEmuTest, BadInputGetsAMessageAndExitStatus2) {
    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("--until 10000H " + Program()).status, 2);
    EXPECT_EQ(RunCli("--until zz " + Program()).status, 2);
    EXPECT_EQ(RunCli("--steps -1 " + Program()).status, 2);
    EXPECT_EQ(RunCli("--bogus " + Program()).status, 2);
    EXPECT_EQ(RunCli("--steps").status, 2);
    EXPECT_EQ(RunCli(Path("missing.bin")).status, 2);
    EXPECT_EQ(RunCli("--regs " + Path("missing.dmp") + " " + Program()).status, 2);

    const Result big = RunCli(Write("big.bin", std::vector<std::uint8_t>(65537)));
    EXPECT_EQ(big.status, 2);
    EXPECT_NE(big.out.find("65536"), std::string::npos) << big.out;

    // A failed save is reported and leaves no file.
    const Result save = RunCli("--save-regs " + Path("no/dir/r.dmp") + " " + Program());
    EXPECT_EQ(save.status, 2);
    EXPECT_FALSE(fs::exists(Path("no")));

    const Result help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--until ADDR"), std::string::npos);
}

// An echo in the 8051 model: each byte from --uart-in comes back plus one on
// --uart-out, at the port's bit rate, until a '.'; then SJMP $ halts.
TEST_F(CliEmuTest, ChipModelsTalkThroughTheSerialPortFiles) {
    const std::string echo = Write("echo.bin", {
                                                   0x75, 0x89, 0x20,  // 0000 MOV TMOD,#20H
                                                   0x75, 0x8D, 0xFD,  // 0003 MOV TH1,#0FDH
                                                   0x75, 0x8B, 0xFD,  // 0006 MOV TL1,#0FDH
                                                   0xD2, 0x8E,        // 0009 SETB TR1
                                                   0x75, 0x98, 0x50,  // 000B MOV SCON,#50H
                                                   0x30, 0x98, 0xFD,  // 000E JNB RI,$
                                                   0xC2, 0x98,        // 0011 CLR RI
                                                   0xE5, 0x99,        // 0013 MOV A,SBUF
                                                   0x04,              // 0015 INC A
                                                   0xC2, 0x99,        // 0016 CLR TI
                                                   0xF5, 0x99,        // 0018 MOV SBUF,A
                                                   0x30, 0x99, 0xFD,  // 001A JNB TI,$
                                                   0xB4, 0x2F, 0xEE,  // 001D CJNE A,#'/',000EH
                                                   0x80, 0xFE,        // 0020 SJMP $
                                               });
    WriteFileAtomic(Path("in.txt"), std::string_view("HAL."));
    Result r = RunCli("--model 8051 --uart-in " + Path("in.txt") + " --uart-out " + Path("out.txt") + " " + echo);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ReadTextFile(Path("out.txt")), "IBM/");
    EXPECT_NE(r.out.find("Stopped at 0020H"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("halt loop"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Model 8051: "), std::string::npos) << r.out;
    r = RunCli("--model=8052 --uart-in " + Path("in.txt") + " --uart-out - " + echo);
    EXPECT_EQ(r.out.rfind("IBM/", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("Model 8052: "), std::string::npos) << r.out;

    // The pins: MOV A,P1 reads what the outside drives.
    r = RunCli("--model 8051 --pins P1=0FH " + Write("p1.bin", {0xE5, 0x90, 0x80, 0xFE}));
    EXPECT_NE(r.out.find("A=0F"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("SP=07"), std::string::npos) << r.out;  // the chip's reset value

    EXPECT_EQ(RunCli("--model 8053 " + echo).status, 2);
    EXPECT_EQ(RunCli("--uart-out - " + echo).status, 2);  // the simple model has no serial port
    EXPECT_EQ(RunCli("--model 8051 --pins P4=0 " + echo).status, 2);
    EXPECT_EQ(RunCli("--model 8051 --uart-in " + Path("missing.txt") + " " + echo).status, 2);
}

// The simple model warns once when a program does what the chip does
// differently, and names the option that models it.
TEST_F(CliEmuTest, SimpleModelWarnsOnceAboutWhatTheChipDoesDifferently) {
    struct Row {
        std::vector<std::uint8_t> code;
        const char* says;
    };
    const Row rows[] = {
        {{0x05, 0x07, 0x80, 0xFC}, "direct address 07H (at 0000H)"},            // INC 07H, loop
        {{0x75, 0xD0, 0x18, 0x80, 0xFE}, "register bank 3"},                      // MOV PSW,#18H
        {{0xA2, 0xD0, 0x80, 0xFE}, "parity flag P"},                              // MOV C,P
        {{0xD2, 0x8C, 0x80, 0xFE}, "a timer"},                                    // SETB TR0
        {{0xD2, 0xAF, 0x80, 0xFE}, "the interrupts"},                             // SETB EA
        {{0x75, 0xA0, 0x01, 0xE2, 0x80, 0xFE}, "MOVX @Ri with P2 = 01H (at 0003H)"},  // MOV P2,#1; MOVX A,@R0
    };
    for (const Row& row : rows) {
        const Result r = RunCli("--steps 100 " + Write("w.bin", row.code));
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find(row.says), std::string::npos) << r.out;
        const auto first = r.out.find("warning:");
        EXPECT_NE(first, std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("warning:", first + 1), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("--model 8051"), std::string::npos) << r.out;
        EXPECT_EQ(RunCli("--model 8051 --steps 100 " + Path("w.bin")).out.find("warning"), std::string::npos);
    }
}

}  // namespace
}  // namespace z51
