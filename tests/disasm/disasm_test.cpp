#include "disassembler/disasm.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "core/file_error.h"
#include "core/fileio.h"
#include "tests/support/test_files.h"

using namespace z51;
using namespace z51::test;

namespace {

// A small program that walks through the cases of both sweeps. Address,
// bytes, what the plain sweep writes:
const std::vector<std::uint8_t> kSample = {
    0x80, 0x01,        // 0000 SJMP 00003H            label 0000 (address 0), jump to 0003
    0xA5,              // 0002 DB 165                  the opcode in no table
    0x75, 0xE0, 0x12,  // 0003 MOV 0E0H,#012H          vector 03: ORG 03H; "ACC,#" would be MOV A,#
    0x05, 0xE0,        // 0006 INC 0E0H                "INC ACC" would be the one-byte INC A
    0xF5, 0xE0,        // 0008 MOV 0E0H,A              labelled: MOV ACC,A
    0x00,              // 000A NOP
    0x00,              // 000B NOP                     vector 0B holding 00: no ORG
    0xD2, 0x98,        // 000C SETB RI
    0x02, 0x12, 0x34,  // 000E LJMP 01234H             beyond the file: stays a number
    0x80, 0xFE,        // 0011 SJMP 00011H             jump to itself
    0x32,              // 0013 RETI                    vector 13: ORG 13H
    0x01, 0x1B,        // 0014 AJMP 0001BH
    0x12, 0x00, 0x20,  // 0016 LCALL 00020H
    0xC2, 0x00,        // 0019 CLR 20H.0
    0xFF,              // 001B MOV R7,A                vector 1B holding FF: no ORG
    0x90, 0x00, 0x21,  // 001C MOV DPTR,#00021H        into the JB at 0020: LBL0020+1
    0x00,              // 001F NOP
    0x20, 0x00, 0xFD,  // 0020 JB 20H.0,00020H
    0xB4, 0x41, 0xFA,  // 0023 CJNE A,#041H,00020H     vector 23: ORG 23H
    0x74, 0xC0,        // 0026 MOV A,#0C0H             comment: t and Cyrillic A
    0xDF, 0xFE,        // 0028 DJNZ R7,00028H
    0x80, 0x80,        // 002A SJMP 0FFACH             backwards out of the file
    0x83,              // 002C MOVC A,@A+PC
    0x02, 0x00,        // 002D LJMP cut by the end of the file: DB 2, DB 0
};

struct Result {
    RecordingPane pane;
    RecordingPane pane2;
    std::string d51;
};

// Disassembles `bytes` as prog.bin in a temporary folder; the labelled
// sweep too when `labels`.
struct Fixture {
    TempDir dir;
    Workspace ws;
    Disassembler dis{ws};
    std::string bin = dir / "prog.bin";

    Result Plain(const std::vector<std::uint8_t>& bytes) {
        WriteBytes(bin, bytes);
        Result r;
        dis.Deas(r.pane, bin);
        r.d51 = ReadAll(dir / "prog.D51");
        return r;
    }
    Result Labelled(const std::vector<std::uint8_t>& bytes) {
        Plain(bytes);
        Result r;
        dis.DeasLbl(r.pane, r.pane2);
        r.d51 = ReadAll(dir / "prog.D51");
        return r;
    }
};

// The file lines between the title/ORG 0 head and END, as text.
std::vector<std::string> Body(const std::string& d51) {
    std::vector<std::string> lines;
    std::istringstream in(d51);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    EXPECT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "\tORG\t0");
    EXPECT_EQ(lines.back(), "\tEND");
    return {lines.begin() + 2, lines.end() - 1};
}

// The instruction text of the only line (without the leading tab).
std::string One(Fixture& f, const std::vector<std::uint8_t>& bytes, bool labels = false) {
    Result r = labels ? f.Labelled(bytes) : f.Plain(bytes);
    auto body = Body(r.d51);
    EXPECT_FALSE(body.empty());
    std::string line = body.empty() ? "" : body[0];
    if (line.rfind("LBL0000: ", 0) == 0) line.erase(0, 9);
    else if (!line.empty() && line[0] == '\t') line.erase(0, 1);
    std::size_t comment = line.find("\t;");
    return comment == std::string::npos ? line : line.substr(0, comment);
}

}  // namespace

TEST(DisasmGolden, PlainAndLabelledSample) {
    Fixture f;
    std::string bin = f.dir / "SAMPLE.BIN";
    WriteBytes(bin, kSample);
    RecordingPane pane, pane2;
    f.dis.Deas(pane, bin);
    // The title names the file as given; the goldens hold a fixed folder.
    auto fixed = [&](std::string s) {
        for (std::size_t at; (at = s.find(f.dir.dir.string())) != std::string::npos;)
            s.replace(at, f.dir.dir.string().size(), "DIR");
        return s;
    };
    ExpectGolden(DISASM_GOLDEN_DIR, "sample_plain.D51", fixed(ReadAll(f.dir / "SAMPLE.D51")));
    ExpectGolden(DISASM_GOLDEN_DIR, "sample_plain_pane.txt", fixed(PaneWithColours(pane)));
    f.dis.DeasLbl(pane, pane2);
    ExpectGolden(DISASM_GOLDEN_DIR, "sample_labels.D51", fixed(ReadAll(f.dir / "SAMPLE.D51")));
    ExpectGolden(DISASM_GOLDEN_DIR, "sample_labels_pane.txt", fixed(PaneWithColours(pane)));
    EXPECT_TRUE(pane2.Lines().empty());
}

TEST(DisasmLabelled, JumpToItselfIsTheOnlyLabel) {
    Fixture f;
    Result r = f.Labelled({0x80, 0xFE});
    auto body = Body(r.d51);
    ASSERT_EQ(body.size(), 1u);
    EXPECT_EQ(body[0], "LBL0000: SJMP\tLBL0000\t;\x80\xFE");
    EXPECT_EQ(r.pane.LineText(1), "    1 0000 80 FE    LBL0000: SJMP\tLBL0000\t;\x80\xFE");
}

TEST(DisasmPlain, OneByteTableWinsAndAFileOfOneInstruction) {
    Fixture f;
    EXPECT_EQ(One(f, {0x00}), "NOP");
    EXPECT_EQ(One(f, {0x84}), "DIV\tAB");
    EXPECT_EQ(One(f, {0x03}), "RR\tA");
    EXPECT_EQ(One(f, {0xA5}), "DB\t165");
    EXPECT_EQ(One(f, {0x85, 0x81, 0xE0}), "MOV\t0E0H,081H");  // destination (third byte) first
    EXPECT_EQ(One(f, {0xF5, 0xE0}), "MOV\t0E0H,A");
    EXPECT_EQ(One(f, {0xD2, 0x98}), "SETB\tRI");
    EXPECT_EQ(One(f, {0x02, 0x01, 0x00}), "LJMP\t00100H");
    EXPECT_EQ(One(f, {0x80, 0x80}), "SJMP\t0FF82H");  // backwards past 0: the counter wraps
    EXPECT_EQ(One(f, {0x90, 0xAB, 0xCD}), "MOV\tDPTR,#0ABCDH");
    EXPECT_EQ(One(f, {0xC2, 0x2F}), "CLR\t25H.7");
}

TEST(DisasmPlain, PaneLineLayout) {
    Fixture f;
    Result r = f.Plain({0x02, 0x01, 0x00, 0x74, 0x41});
    ASSERT_GE(r.pane.Lines().size(), 3u);
    const auto& first = r.pane.Lines()[1];
    ASSERT_EQ(first.size(), 4u);
    EXPECT_EQ(first[0], (RecordingPane::Run{clr::Blue, "    1 "}));
    EXPECT_EQ(first[1], (RecordingPane::Run{clr::Maroon, "0000 "}));
    EXPECT_EQ(first[2], (RecordingPane::Run{clr::Green, "02 01 00 "}));
    EXPECT_EQ(first[3], (RecordingPane::Run{clr::Black, "LJMP\t00100H"}));
    EXPECT_EQ(r.pane.LineText(2), "    2 0003 74 41    MOV\tA,#041H\t;tA");
    EXPECT_EQ(Body(r.d51)[1], "\tMOV\tA,#041H\t;tA");
}

TEST(DisasmPlain, NoByteBeyondTheFileIsReadAsCode) {
    Fixture f;
    // What the image holds beyond the file must not matter.
    f.ws.CodeImage.fill(0x77);
    Result r = f.Plain({0x00, 0x02, 0x12});
    auto body = Body(r.d51);
    ASSERT_EQ(body.size(), 3u);
    EXPECT_EQ(body[1], "\tDB\t2");
    EXPECT_EQ(body[2], "\tDB\t18");
    EXPECT_EQ(f.dis.Mark(2), 1);  // a DB line starts there
    // A two-byte opcode as the last byte.
    EXPECT_EQ(Body(f.Plain({0x00, 0x74}).d51)[1], "\tDB\t116\t;t");
    EXPECT_EQ(f.ws.CodeImage[3], 0x77);  // the image beyond the file keeps its bytes
}

// An instruction cut off by the end of the file gives a DB line for its
// first byte, and decoding resumes at the next byte.
TEST(DisasmPlain, CutInstructionResumesAtTheNextByte) {
    Fixture f;
    for (bool labels : {false, true}) {
        auto body = Body((labels ? f.Labelled({0x00, 0x02, 0x22}) : f.Plain({0x00, 0x02, 0x22})).d51);
        ASSERT_EQ(body.size(), 3u) << labels;
        EXPECT_EQ(body[0], labels ? "LBL0000: NOP" : "\tNOP");
        EXPECT_EQ(body[1], "\tDB\t2");
        EXPECT_EQ(body[2], "\tRET\t;\x22");
        EXPECT_EQ(f.dis.Mark(2), 1);  // RET starts at 2
    }
    // CJNE cut after two bytes: its second byte starts the next line, an
    // SJMP cut in turn.
    auto body = Body(f.Plain({0xB4, 0x80}).d51);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[0], "\tDB\t180\t;\xB4");
    EXPECT_EQ(body[1], "\tDB\t128\t;\x80");
    EXPECT_EQ(f.dis.Mark(1), 1);
}

TEST(DisasmPlain, AjmpStaysInThePageOfTheFollowingAddress) {
    Fixture f;
    std::vector<std::uint8_t> bytes(0x810, 0x00);
    bytes[0x7FE] = 0xE1;  // AJMP with page bits 111 at 07FE: the next address 0800 is in page 1
    bytes[0x7FF] = 0x05;
    bytes[0] = 0x21;  // at 0000: 0100 + 0F
    bytes[1] = 0x0F;
    Result r = f.Plain(bytes);
    auto body = Body(r.d51);
    EXPECT_EQ(body[0], "\tAJMP\t0010FH\t;!");
    EXPECT_EQ(body[0x7FE - 1], "\tAJMP\t00F05H\t;\xE1");  // body[0] covers two bytes
    EXPECT_EQ(f.dis.Mark(0x10F), 3);
    EXPECT_EQ(f.dis.Mark(0xF05), 0);  // beyond the file: not marked
    // ACALL at 07FE reaching page 1 inside the file.
    bytes[0x7FE] = 0x11;
    bytes[0x7FF] = 0x04;
    f.Plain(bytes);
    EXPECT_EQ(f.dis.Mark(0x804), 3);
}

TEST(DisasmPlain, MarksAndTheLabelList) {
    Fixture f;
    // 24 jumps to themselves: 24 labels, eleven to a full line.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 24; ++i) bytes.insert(bytes.end(), {0x80, 0xFE});
    bytes.insert(bytes.end(), {0x80, 0x01, 0x90, 0x00, 0x31});  // 0030 SJMP 00033H, 0032 MOV DPTR,#00031H
    Result r = f.Plain(bytes);
    const auto& lines = r.pane.Lines();
    const std::size_t head = 1 + 26 + 1 + 1;  // title, 26 instructions, END, the list header
    ASSERT_EQ(lines.size(), head + 3 + 2);
    EXPECT_EQ(r.pane.LineText(head - 1), cp("Список выяленных адресов меток:"));
    EXPECT_EQ(r.pane.LineText(head),
              "LBL0000 | LBL0002 | LBL0004 | LBL0006 | LBL0008 | LBL000A | LBL000C | LBL000E | LBL0010 | "
              "LBL0012 | LBL0014");
    EXPECT_EQ(r.pane.LineText(head + 2), "LBL002C | LBL002E | ");
    EXPECT_EQ(r.pane.LineText(head + 3), cp("Всего выялено 24 меток."));
    EXPECT_EQ(r.pane.Lines()[head + 4][0].color, clr::Purple);
    EXPECT_EQ(r.pane.LineText(head + 4), cp("Создан файл ") + (f.dir / "prog.D51"));
    // Targets inside other instructions get mark 2 only and are no labels.
    EXPECT_EQ(f.dis.Mark(0x33), 2);
    EXPECT_EQ(f.dis.Mark(0x31), 2);
    EXPECT_EQ(f.dis.Mark(0x32), 1);
    EXPECT_EQ(f.dis.Mark(0x30), 1);
    EXPECT_EQ(f.dis.FindLBL(0x33), "LBL002E+5");
    EXPECT_EQ(r.pane.LineText(head - 2), "         \tEND");
}

TEST(DisasmPlain, EmptyFile) {
    Fixture f;
    Result r = f.Plain({});
    EXPECT_EQ(r.d51, "\t" + cp("TITLE === Дизассемблирование файла ") + f.bin + " ===\r\n\tORG\t0\r\n\tEND\r\n");
    EXPECT_EQ(r.pane.Text(), "\t" + cp("TITLE === Дизассемблирование файла ") + f.bin + " ===\n" + "         \tEND\n" +
                                 cp("Список выяленных адресов меток:\nВсего выялено 0 меток.\nСоздан файл ") +
                                 (f.dir / "prog.D51"));
    EXPECT_TRUE(f.dis.HasRun());
}

TEST(DisasmBoth, CyrillicFileNamesAreCodePage1251Text) {
    // File names come in UTF-8; the pane and the .D51 are code page 1251,
    // so the title and the result lines carry the name in that code page.
    Fixture f;
    const std::string bin = f.dir / "прошивка.bin";
    WriteBytes(bin, {0x00});
    RecordingPane pane, pane2;
    f.dis.Deas(pane, bin);
    const std::string title = "\t" + cp("TITLE === Дизассемблирование файла ") + Utf8To1251(bin) + " ===";
    const std::string d51 = ReadAll(f.dir / "прошивка.D51");
    EXPECT_EQ(d51.substr(0, d51.find('\r')), title);
    EXPECT_EQ(pane.LineText(0), title);
    EXPECT_EQ(pane.LineText(pane.Lines().size() - 1), cp("Создан файл ") + Utf8To1251(f.dir / "прошивка.D51"));
    f.dis.DeasLbl(pane, pane2);
    const std::string title2 = "\t" + cp("TITLE === Меточное дизассемблирование файла ") + Utf8To1251(bin) + " ===";
    EXPECT_EQ(pane.LineText(0), title2);
    EXPECT_EQ(ReadAll(f.dir / "прошивка.D51").substr(0, title2.size()), title2);
    EXPECT_EQ(pane.LineText(pane.Lines().size() - 1), cp("Обновлён файл ") + Utf8To1251(f.dir / "прошивка.D51"));
}

TEST(DisasmPlain, OutputNames) {
    EXPECT_EQ(Disassembler::D51Name("PROG.BIN"), "PROG.D51");
    EXPECT_EQ(Disassembler::D51Name("a.b.c"), "a.b.D51");
    EXPECT_EQ(Disassembler::D51Name("X"), "X.D51");
    EXPECT_EQ(Disassembler::D51Name("dir.v/prog"), "dir.v/prog.D51");
    EXPECT_EQ(Disassembler::D51Name("dir/prog."), "dir/prog.D51");
    EXPECT_EQ(Disassembler::D51Name("code.D51"), "code.D51.D51");  // never the input itself
}

TEST(DisasmPlain, OversizeFileIsRefusedAndChangesNothing) {
    Fixture f;
    f.Plain({0x80, 0xFE});
    const std::string before = ReadAll(f.dir / "prog.D51");
    f.ws.CodeImage[0] = 0x42;
    const std::string big = f.dir / "big.bin";
    WriteBytes(big, std::vector<std::uint8_t>(65537, 0x00));
    RecordingPane pane;
    try {
        f.dis.Deas(pane, big);
        FAIL() << "no error for a 65537-byte file";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path(), big);
        EXPECT_NE(e.Reason().find("65536"), std::string::npos) << e.Reason();
    }
    EXPECT_TRUE(pane.Lines().empty());
    EXPECT_EQ(f.ws.CodeImage[0], 0x42);
    EXPECT_EQ(f.ws.BinName, f.bin);
    EXPECT_FALSE(FileExists(f.dir / "big.D51"));
    EXPECT_EQ(f.dis.FileName(), f.bin);
    EXPECT_EQ(ReadAll(f.dir / "prog.D51"), before);
}

TEST(DisasmPlain, FileOfExactly64KiBIsHandledWhole) {
    Fixture f;
    std::vector<std::uint8_t> bytes(65536, 0x00);
    bytes[0xFFFE] = 0x80;  // SJMP +1 at FFFE wraps to 0001
    bytes[0xFFFF] = 0x01;
    Result r = f.Labelled(bytes);
    EXPECT_EQ(f.dis.Size(), 65536);
    auto body = Body(r.d51);
    ASSERT_EQ(body.size(), 65535u);
    EXPECT_EQ(body.back(), "\tSJMP\tLBL0001\t;\x80");
    EXPECT_EQ(f.ws.CodeImage[0xFFFE], 0x80);
}

TEST(DisasmPlain, WriteFailureLeavesTheOldFileAndNoLabelPass) {
    Fixture f;
    WriteBytes(f.bin, {0x00});
    std::ofstream(f.dir / "prog.D51") << "old";
    RecordingPane pane;
    AtomicFile::failAfterBytesForTest = 10;
    EXPECT_THROW(f.dis.Deas(pane, f.bin), FileError);
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_EQ(ReadAll(f.dir / "prog.D51"), "old");
    EXPECT_FALSE(f.dis.HasRun());
    f.dis.DeasLbl(pane, pane);  // nothing to do before a successful run
    EXPECT_EQ(ReadAll(f.dir / "prog.D51"), "old");
}

TEST(DisasmLabelled, OperandsByNameWhereTheyStaySafe) {
    Fixture f;
    EXPECT_EQ(One(f, {0xF5, 0xE0}, true), "MOV\tACC,A");
    EXPECT_EQ(One(f, {0xF5, 0x30}, true), "MOV\t030H,A");  // no SFR at 30H
    EXPECT_EQ(One(f, {0xC0, 0xD0}, true), "PUSH\tPSW");
    EXPECT_EQ(One(f, {0x85, 0x81, 0xE0}, true), "MOV\t0E0H,081H");
    // Immediate data is a number, never a register name.
    EXPECT_EQ(One(f, {0x74, 0xE0}, true), "MOV\tA,#0E0H");
    EXPECT_EQ(One(f, {0x75, 0x90, 0x80}, true), "MOV\tP1,#080H");
    // A name that would make the assembler pick another instruction stays a number.
    EXPECT_EQ(One(f, {0x05, 0xE0}, true), "INC\t0E0H");
    EXPECT_EQ(One(f, {0x15, 0xE0}, true), "DEC\t0E0H");
    EXPECT_EQ(One(f, {0xA8, 0xE0}, true), "MOV\tR0,0E0H");
    EXPECT_EQ(One(f, {0x88, 0xE0}, true), "MOV\t0E0H,R0");
    EXPECT_EQ(One(f, {0xA6, 0xE0}, true), "MOV\t@R0,0E0H");
    EXPECT_EQ(One(f, {0x75, 0xE0, 0x12}, true), "MOV\t0E0H,#012H");
    EXPECT_EQ(One(f, {0xE5, 0xE0}, true), "MOV\tA,0E0H");  // "MOV A,ACC" is read as MOV ACC,ACC (F5)
    EXPECT_EQ(One(f, {0x43, 0xE0, 0x01}, true), "ORL\t0E0H,#001H");
    EXPECT_EQ(One(f, {0x15, 0xF0}, true), "DEC\tB");
}

TEST(DisasmLabelled, TargetsOutsideTheFileStayNumbers) {
    Fixture f;
    EXPECT_EQ(One(f, {0x02, 0x12, 0x34}, true), "LJMP\t01234H");
    EXPECT_EQ(One(f, {0x80, 0x80}, true), "SJMP\t0FF82H");
    EXPECT_EQ(One(f, {0x01, 0x10}, true), "AJMP\t00010H");
    EXPECT_EQ(One(f, {0x90, 0x00, 0x01}, true), "MOV\tDPTR,#LBL0000+1");
}

TEST(DisasmLabelled, VectorOrgLinesAndLabelsInTheSample) {
    Fixture f;
    Result r = f.Labelled(kSample);
    auto body = Body(r.d51);
    std::string all;
    for (const auto& l : body) all += l + "\n";
    EXPECT_NE(all.find("\tORG\t03H\nLBL0003: MOV\t0E0H,#012H"), std::string::npos) << all;
    EXPECT_EQ(all.find("ORG\t0BH"), std::string::npos);
    EXPECT_NE(all.find("\tORG\t13H\n\tRETI"), std::string::npos);
    EXPECT_EQ(all.find("ORG\t1BH"), std::string::npos);
    EXPECT_NE(all.find("\tORG\t23H\n\tCJNE\tA,#041H,LBL0020"), std::string::npos);
    EXPECT_NE(all.find("\tMOV\tDPTR,#LBL0020+1"), std::string::npos);
}

TEST(DisasmLabelled, MarksOnlyFirstSweepGivesTheSameLabelledFile) {
    Fixture f;
    Result full = f.Labelled(kSample);
    Workspace ws;
    Disassembler quick(ws);
    RecordingPane none, pane, pane2;
    std::remove((f.dir / "prog.D51").c_str());
    quick.Deas(none, f.bin, false);
    EXPECT_TRUE(none.Lines().empty());
    EXPECT_FALSE(FileExists(f.dir / "prog.D51"));
    quick.DeasLbl(pane, pane2);
    EXPECT_EQ(ReadAll(f.dir / "prog.D51"), full.d51);
    EXPECT_EQ(pane.Text(), full.pane.Text());
    // The same marks as the full sweep, on 64 KiB of random code.
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bytes(65536);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    f.Plain(bytes);
    quick.Deas(none, f.bin, false);
    for (long a = 0; a < 65536; ++a)
        ASSERT_EQ(quick.Mark(static_cast<std::uint16_t>(a)), f.dis.Mark(static_cast<std::uint16_t>(a))) << a;
}

TEST(DisasmLabelled, SameResultWhateverHappensToTheImageInBetween) {
    Fixture f;
    Result first = f.Labelled(kSample);
    f.ws.CodeImage.fill(0xFF);
    RecordingPane pane, pane2;
    f.dis.DeasLbl(pane, pane2);
    EXPECT_EQ(ReadAll(f.dir / "prog.D51"), first.d51);
    EXPECT_EQ(pane.Text(), first.pane.Text());
}

TEST(DisasmLabelled, NoMoreLabelsThanTheAssemblerHolds) {
    // 30,000 jumps to themselves: every one a label address.
    Fixture f;
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 30000; ++i) bytes.insert(bytes.end(), {0x80, 0xFE});
    Result r = f.Labelled(bytes);
    std::size_t defined = 0;
    for (const auto& line : Body(r.d51)) defined += line.rfind("LBL", 0) == 0;
    EXPECT_EQ(defined, 2559u);
    // The first address left without a label is 2 * 2559 = 13FEH.
    EXPECT_EQ(f.dis.FindLBL(0x13FC), "LBL13FC");
    EXPECT_EQ(f.dis.FindLBL(0x13FE), "");
    EXPECT_NE(r.d51.find("\tSJMP\t013FEH"), std::string::npos);
    const std::size_t last = r.pane.Lines().size() - 1;
    EXPECT_EQ(r.pane.LineText(last),
              cp("Меток больше, чем вмещает таблица меток ассемблера (2559): адреса от 13FEH записаны числами."));
    EXPECT_EQ(r.pane.Lines()[last][0].color, clr::Purple);
}
