// The opcode map against the Intel MCS-51 instruction set, written out
// here by hand from the chip's documentation (mnemonic and operands in
// Intel's notation, bytes, machine cycles), independently of the
// instruction tables: every opcode decodes to its text with its length and
// cycles, and every opcode but the reserved A5H assembles from that text
// to its bytes.

#include <cctype>
#include <cstdio>

#include "isa/opcode_map.h"
#include "tests/support/assembly.h"

namespace z51::test {
namespace {

struct Op {
    const char* text;  // Intel notation; "" for the reserved A5H
    int length;
    int cycles;
};

// One row of the map (high nibble): columns 0 to 5 as they stand, columns
// 6 and 7 one form with @R0 and @R1 for "@Ri", columns 8 to F one form with
// R0 to R7 for "Rn".
struct Row {
    Op col[6];
    Op ri;
    Op rn;
};

// clang-format off
const Row kDatasheet[16] = {
    /* 0x */ {{{"NOP", 1, 1}, {"AJMP addr11", 2, 2}, {"LJMP addr16", 3, 2}, {"RR A", 1, 1}, {"INC A", 1, 1},
               {"INC direct", 2, 1}}, {"INC @Ri", 1, 1}, {"INC Rn", 1, 1}},
    /* 1x */ {{{"JBC bit,rel", 3, 2}, {"ACALL addr11", 2, 2}, {"LCALL addr16", 3, 2}, {"RRC A", 1, 1},
               {"DEC A", 1, 1}, {"DEC direct", 2, 1}}, {"DEC @Ri", 1, 1}, {"DEC Rn", 1, 1}},
    /* 2x */ {{{"JB bit,rel", 3, 2}, {"AJMP addr11", 2, 2}, {"RET", 1, 2}, {"RL A", 1, 1}, {"ADD A,#data", 2, 1},
               {"ADD A,direct", 2, 1}}, {"ADD A,@Ri", 1, 1}, {"ADD A,Rn", 1, 1}},
    /* 3x */ {{{"JNB bit,rel", 3, 2}, {"ACALL addr11", 2, 2}, {"RETI", 1, 2}, {"RLC A", 1, 1},
               {"ADDC A,#data", 2, 1}, {"ADDC A,direct", 2, 1}}, {"ADDC A,@Ri", 1, 1}, {"ADDC A,Rn", 1, 1}},
    /* 4x */ {{{"JC rel", 2, 2}, {"AJMP addr11", 2, 2}, {"ORL direct,A", 2, 1}, {"ORL direct,#data", 3, 2},
               {"ORL A,#data", 2, 1}, {"ORL A,direct", 2, 1}}, {"ORL A,@Ri", 1, 1}, {"ORL A,Rn", 1, 1}},
    /* 5x */ {{{"JNC rel", 2, 2}, {"ACALL addr11", 2, 2}, {"ANL direct,A", 2, 1}, {"ANL direct,#data", 3, 2},
               {"ANL A,#data", 2, 1}, {"ANL A,direct", 2, 1}}, {"ANL A,@Ri", 1, 1}, {"ANL A,Rn", 1, 1}},
    /* 6x */ {{{"JZ rel", 2, 2}, {"AJMP addr11", 2, 2}, {"XRL direct,A", 2, 1}, {"XRL direct,#data", 3, 2},
               {"XRL A,#data", 2, 1}, {"XRL A,direct", 2, 1}}, {"XRL A,@Ri", 1, 1}, {"XRL A,Rn", 1, 1}},
    /* 7x */ {{{"JNZ rel", 2, 2}, {"ACALL addr11", 2, 2}, {"ORL C,bit", 2, 2}, {"JMP @A+DPTR", 1, 2},
               {"MOV A,#data", 2, 1}, {"MOV direct,#data", 3, 2}}, {"MOV @Ri,#data", 2, 1}, {"MOV Rn,#data", 2, 1}},
    /* 8x */ {{{"SJMP rel", 2, 2}, {"AJMP addr11", 2, 2}, {"ANL C,bit", 2, 2}, {"MOVC A,@A+PC", 1, 2},
               {"DIV AB", 1, 4}, {"MOV direct,direct", 3, 2}}, {"MOV direct,@Ri", 2, 2}, {"MOV direct,Rn", 2, 2}},
    /* 9x */ {{{"MOV DPTR,#data16", 3, 2}, {"ACALL addr11", 2, 2}, {"MOV bit,C", 2, 2}, {"MOVC A,@A+DPTR", 1, 2},
               {"SUBB A,#data", 2, 1}, {"SUBB A,direct", 2, 1}}, {"SUBB A,@Ri", 1, 1}, {"SUBB A,Rn", 1, 1}},
    /* Ax */ {{{"ORL C,/bit", 2, 2}, {"AJMP addr11", 2, 2}, {"MOV C,bit", 2, 1}, {"INC DPTR", 1, 2},
               {"MUL AB", 1, 4}, {"", 1, 1}}, {"MOV @Ri,direct", 2, 2}, {"MOV Rn,direct", 2, 2}},
    /* Bx */ {{{"ANL C,/bit", 2, 2}, {"ACALL addr11", 2, 2}, {"CPL bit", 2, 1}, {"CPL C", 1, 1},
               {"CJNE A,#data,rel", 3, 2}, {"CJNE A,direct,rel", 3, 2}}, {"CJNE @Ri,#data,rel", 3, 2},
               {"CJNE Rn,#data,rel", 3, 2}},
    /* Cx */ {{{"PUSH direct", 2, 2}, {"AJMP addr11", 2, 2}, {"CLR bit", 2, 1}, {"CLR C", 1, 1}, {"SWAP A", 1, 1},
               {"XCH A,direct", 2, 1}}, {"XCH A,@Ri", 1, 1}, {"XCH A,Rn", 1, 1}},
    /* Dx */ {{{"POP direct", 2, 2}, {"ACALL addr11", 2, 2}, {"SETB bit", 2, 1}, {"SETB C", 1, 1}, {"DA A", 1, 1},
               {"DJNZ direct,rel", 3, 2}}, {"XCHD A,@Ri", 1, 1}, {"DJNZ Rn,rel", 2, 2}},
    /* Ex */ {{{"MOVX A,@DPTR", 1, 2}, {"AJMP addr11", 2, 2}, {"MOVX A,@Ri", 1, 2}, {"MOVX A,@Ri", 1, 2},
               {"CLR A", 1, 1}, {"MOV A,direct", 2, 1}}, {"MOV A,@Ri", 1, 1}, {"MOV A,Rn", 1, 1}},
    /* Fx */ {{{"MOVX @DPTR,A", 1, 2}, {"ACALL addr11", 2, 2}, {"MOVX @Ri,A", 1, 2}, {"MOVX @Ri,A", 1, 2},
               {"CPL A", 1, 1}, {"MOV direct,A", 2, 1}}, {"MOV @Ri,A", 1, 1}, {"MOV Rn,A", 1, 1}},
};
// clang-format on

// Operand values: direct 35H (the second direct of MOV direct,direct 47H),
// immediate 5AH, bit 2BH (25H.3), 16-bit value 1234H, relative target
// 0120H from an instruction at 0100H, addr11 target 45H in the opcode's
// page.
constexpr std::uint16_t kAt = 0x100;

// One opcode as the datasheet gives it, in three forms.
struct Expected {
    std::uint8_t op = 0;
    Op row{};
    std::string source;   // an assembler line
    std::string decoded;  // the text the map decodes from the bytes
    Bytes bytes;
};

std::string Hex(unsigned v, int digits) {
    char s[8];
    std::snprintf(s, sizeof s, "%0*X", digits, v);
    return s;
}

Expected Expand(unsigned op) {
    const Row& row = kDatasheet[op >> 4];
    const unsigned col = op & 15;
    Expected e;
    e.op = static_cast<std::uint8_t>(op);
    e.row = col < 6 ? row.col[col] : col < 8 ? row.ri : row.rn;
    std::string text = e.row.text;
    if (text.empty()) {
        e.decoded = "DB\t" + std::to_string(op);
        return e;
    }
    // The register of the column.
    if (auto at = text.find("Ri"); at != std::string::npos) text.replace(at, 2, "R" + std::to_string(op & 1));
    if (auto at = text.find("Rn"); at != std::string::npos) text.replace(at, 2, "R" + std::to_string(op & 7));

    e.bytes.push_back(e.op);
    const std::size_t blank = text.find(' ');
    e.source = "\t" + text.substr(0, blank);
    e.decoded = text.substr(0, blank);
    if (blank == std::string::npos) return e;
    e.source += ' ';
    e.decoded += '\t';
    std::string_view rest = std::string_view(text).substr(blank + 1);
    int directs = 0;
    for (bool first = true; !rest.empty(); first = false) {
        const std::size_t comma = rest.find(',');
        const std::string_view w = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (!first) {
            e.source += ',';
            e.decoded += ',';
        }
        auto byte = [&](unsigned v, const std::string& src, const std::string& dec) {
            e.bytes.push_back(static_cast<std::uint8_t>(v));
            e.source += src;
            e.decoded += dec;
        };
        const int length = e.row.length;
        if (w == "direct") {
            const unsigned v = directs++ ? 0x47 : 0x35;
            byte(v, Hex(v, 2) + "H", "0" + Hex(v, 2) + "H");
        } else if (w == "#data") {
            byte(0x5A, "#5AH", "#05AH");
        } else if (w == "bit") {
            byte(0x2B, "2BH", "25H.3");
        } else if (w == "/bit") {
            byte(0x2B, "/2BH", "/25H.3");
        } else if (w == "rel") {
            byte(0x120 - (kAt + length), "0120H", "00120H");
        } else if (w == "addr11") {
            const unsigned target = (op >> 5) << 8 | 0x45;
            byte(0x45, "0" + Hex(target, 3) + "H", "0" + Hex(target, 4) + "H");
        } else if (w == "addr16" || w == "#data16") {
            const std::string hash = w[0] == '#' ? "#" : "";
            e.bytes.push_back(0x12);
            byte(0x34, hash + "1234H", hash + "01234H");
        } else {
            e.source += w;
            e.decoded += w;
        }
    }
    // MOV direct,direct is encoded source first: 85 src dest.
    if (op == 0x85) std::swap(e.bytes[1], e.bytes[2]);
    return e;
}

TEST(OpcodeMap, EveryOpcodeHasTheDatasheetLengthCyclesAndText) {
    for (unsigned op = 0; op < 256; ++op) {
        const Expected e = Expand(op);
        const OpcodeInfo& info = kOpcodeMap[op];
        SCOPED_TRACE(Hex(op, 2) + "H " + e.row.text);
        EXPECT_EQ(info.length, e.row.length);
        EXPECT_EQ(kInstructionLength[op], e.row.length);
        EXPECT_EQ(info.cycles, e.row.cycles);
        EXPECT_EQ(kMachineCycles[op], e.row.cycles);
        if (!e.bytes.empty()) {
            EXPECT_EQ(static_cast<int>(e.bytes.size()), e.row.length);
        }
        std::array<std::uint8_t, 3> bytes{e.op, 0, 0};
        std::copy(e.bytes.begin(), e.bytes.end(), bytes.begin());
        const DecodedInstruction d = DecodeInstruction(kAt, bytes);
        EXPECT_EQ(d.Text(), e.decoded);
        EXPECT_EQ(d.length, e.row.length);
    }
}

class OpcodeMapAssembly : public LineFixture {};

TEST_F(OpcodeMapAssembly, EveryOpcodeButA5AssemblesFromItsDatasheetText) {
    for (unsigned op = 0; op < 256; ++op) {
        const Expected e = Expand(op);
        if (e.bytes.empty()) continue;
        EXPECT_EQ(Asm(e.source, kAt), e.bytes) << e.source;
        EXPECT_EQ(Error(), "") << e.source;
        EXPECT_EQ(st.LineHandled, 1) << e.source;
        EXPECT_EQ(st.NextAddr, kAt + static_cast<std::int32_t>(e.bytes.size())) << e.source;
    }
}

// The same texts in lower case, and with the ACC twins.
TEST_F(OpcodeMapAssembly, LowerCaseAndAccumulatorTwins) {
    for (unsigned op = 0; op < 256; ++op) {
        const Expected e = Expand(op);
        if (e.bytes.empty()) continue;
        std::string lower = e.source;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(Asm(lower, kAt), e.bytes) << lower;
    }
    EXPECT_EQ(Asm("\tADD ACC,#5AH", kAt), (Bytes{0x24, 0x5A}));
    EXPECT_EQ(Asm("\tMOVX @DPTR,ACC", kAt), Bytes{0xF0});
    EXPECT_EQ(Asm("\tCJNE ACC,35H,0120H", kAt), (Bytes{0xB5, 0x35, 0x0120 - (kAt + 3)}));
}

}  // namespace
}  // namespace z51::test
