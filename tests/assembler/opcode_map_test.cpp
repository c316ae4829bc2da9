// Every opcode of the 8051 (all but the reserved A5H) assembles from its
// canonical spelling to the bytes of the published opcode map. The map is
// written out here from the chip's documentation, independently of the
// assembler's tables.

#include <set>

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

// Operands used throughout: direct address 35H, immediate 5AH, bit 2BH,
// 16-bit address 1234H, relative target 0120H from a line at 0100H.
constexpr std::int32_t kAt = 0x100;
constexpr std::uint8_t kDirect = 0x35, kImm = 0x5A, kBit = 0x2B;

struct Case {
    std::string line;
    Bytes bytes;
};

std::uint8_t Rel(int length) { return static_cast<std::uint8_t>(0x120 - (kAt + length)); }

std::vector<Case> OpcodeMap() {
    std::vector<Case> m;
    auto add = [&](std::string line, Bytes b) { m.push_back({"\t" + line, std::move(b)}); };
    const std::string r[8] = {"R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7"};
    const std::string ri[2] = {"@R0", "@R1"};
    auto u8 = [](int v) { return static_cast<std::uint8_t>(v); };

    // Column 0..3 of each row, the irregular part of the map.
    add("NOP", {0x00});
    add("LJMP 1234H", {0x02, 0x12, 0x34});
    add("RR A", {0x03});
    add("INC A", {0x04});
    add("INC 35H", {0x05, kDirect});
    add("JBC 2BH,0120H", {0x10, kBit, Rel(3)});
    add("LCALL 1234H", {0x12, 0x12, 0x34});
    add("RRC A", {0x13});
    add("DEC A", {0x14});
    add("DEC 35H", {0x15, kDirect});
    add("JB 2BH,0120H", {0x20, kBit, Rel(3)});
    add("RET", {0x22});
    add("RL A", {0x23});
    add("ADD A,#5AH", {0x24, kImm});
    add("ADD A,35H", {0x25, kDirect});
    add("JNB 2BH,0120H", {0x30, kBit, Rel(3)});
    add("RETI", {0x32});
    add("RLC A", {0x33});
    add("ADDC A,#5AH", {0x34, kImm});
    add("ADDC A,35H", {0x35, kDirect});
    add("JC 0120H", {0x40, Rel(2)});
    add("ORL 35H,A", {0x42, kDirect});
    add("ORL 35H,#5AH", {0x43, kDirect, kImm});
    add("ORL A,#5AH", {0x44, kImm});
    add("ORL A,35H", {0x45, kDirect});
    add("JNC 0120H", {0x50, Rel(2)});
    add("ANL 35H,A", {0x52, kDirect});
    add("ANL 35H,#5AH", {0x53, kDirect, kImm});
    add("ANL A,#5AH", {0x54, kImm});
    add("ANL A,35H", {0x55, kDirect});
    add("JZ 0120H", {0x60, Rel(2)});
    add("XRL 35H,A", {0x62, kDirect});
    add("XRL 35H,#5AH", {0x63, kDirect, kImm});
    add("XRL A,#5AH", {0x64, kImm});
    add("XRL A,35H", {0x65, kDirect});
    add("JNZ 0120H", {0x70, Rel(2)});
    add("ORL C,2BH", {0x72, kBit});
    add("JMP @A+DPTR", {0x73});
    add("MOV A,#5AH", {0x74, kImm});
    add("MOV 35H,#5AH", {0x75, kDirect, kImm});
    add("SJMP 0120H", {0x80, Rel(2)});
    add("ANL C,2BH", {0x82, kBit});
    add("MOVC A,@A+PC", {0x83});
    add("DIV AB", {0x84});
    add("MOV 35H,47H", {0x85, 0x47, kDirect});  // source byte first
    add("MOV DPTR,#1234H", {0x90, 0x12, 0x34});
    add("MOV 2BH,C", {0x92, kBit});
    add("MOVC A,@A+DPTR", {0x93});
    add("SUBB A,#5AH", {0x94, kImm});
    add("SUBB A,35H", {0x95, kDirect});
    add("ORL C,/2BH", {0xA0, kBit});
    add("MOV C,2BH", {0xA2, kBit});
    add("INC DPTR", {0xA3});
    add("MUL AB", {0xA4});
    add("ANL C,/2BH", {0xB0, kBit});
    add("CPL 2BH", {0xB2, kBit});
    add("CPL C", {0xB3});
    add("CJNE A,#5AH,0120H", {0xB4, kImm, Rel(3)});
    add("CJNE A,35H,0120H", {0xB5, kDirect, Rel(3)});
    add("PUSH 35H", {0xC0, kDirect});
    add("CLR 2BH", {0xC2, kBit});
    add("CLR C", {0xC3});
    add("SWAP A", {0xC4});
    add("XCH A,35H", {0xC5, kDirect});
    add("POP 35H", {0xD0, kDirect});
    add("SETB 2BH", {0xD2, kBit});
    add("SETB C", {0xD3});
    add("DA A", {0xD4});
    add("DJNZ 35H,0120H", {0xD5, kDirect, Rel(3)});
    add("MOVX A,@DPTR", {0xE0});
    add("CLR A", {0xE4});
    add("MOV A,35H", {0xE5, kDirect});
    add("MOVX @DPTR,A", {0xF0});
    add("CPL A", {0xF4});
    add("MOV 35H,A", {0xF5, kDirect});

    // AJMP and ACALL: the page bits A10..A8 in opcode bits 7..5.
    for (int page = 0; page < 8; ++page) {
        std::string target = "0" + std::to_string(page) + "45H";
        add("AJMP " + target, {u8(page << 5 | 0x01), 0x45});
        add("ACALL " + target, {u8(page << 5 | 0x11), 0x45});
    }
    // Columns 6, 7 (@Ri) and 8..F (Rn) of the regular rows.
    for (int i = 0; i < 2; ++i) {
        add("INC " + ri[i], {u8(0x06 + i)});
        add("DEC " + ri[i], {u8(0x16 + i)});
        add("ADD A," + ri[i], {u8(0x26 + i)});
        add("ADDC A," + ri[i], {u8(0x36 + i)});
        add("ORL A," + ri[i], {u8(0x46 + i)});
        add("ANL A," + ri[i], {u8(0x56 + i)});
        add("XRL A," + ri[i], {u8(0x66 + i)});
        add("MOV " + ri[i] + ",#5AH", {u8(0x76 + i), kImm});
        add("MOV 35H," + ri[i], {u8(0x86 + i), kDirect});
        add("SUBB A," + ri[i], {u8(0x96 + i)});
        add("MOV " + ri[i] + ",35H", {u8(0xA6 + i), kDirect});
        add("CJNE " + ri[i] + ",#5AH,0120H", {u8(0xB6 + i), kImm, Rel(3)});
        add("XCH A," + ri[i], {u8(0xC6 + i)});
        add("XCHD A," + ri[i], {u8(0xD6 + i)});
        add("MOVX A," + ri[i], {u8(0xE2 + i)});
        add("MOV A," + ri[i], {u8(0xE6 + i)});
        add("MOVX " + ri[i] + ",A", {u8(0xF2 + i)});
        add("MOV " + ri[i] + ",A", {u8(0xF6 + i)});
    }
    for (int n = 0; n < 8; ++n) {
        add("INC " + r[n], {u8(0x08 + n)});
        add("DEC " + r[n], {u8(0x18 + n)});
        add("ADD A," + r[n], {u8(0x28 + n)});
        add("ADDC A," + r[n], {u8(0x38 + n)});
        add("ORL A," + r[n], {u8(0x48 + n)});
        add("ANL A," + r[n], {u8(0x58 + n)});
        add("XRL A," + r[n], {u8(0x68 + n)});
        add("MOV " + r[n] + ",#5AH", {u8(0x78 + n), kImm});
        add("MOV 35H," + r[n], {u8(0x88 + n), kDirect});
        add("SUBB A," + r[n], {u8(0x98 + n)});
        add("MOV " + r[n] + ",35H", {u8(0xA8 + n), kDirect});
        add("CJNE " + r[n] + ",#5AH,0120H", {u8(0xB8 + n), kImm, Rel(3)});
        add("XCH A," + r[n], {u8(0xC8 + n)});
        add("DJNZ " + r[n] + ",0120H", {u8(0xD8 + n), Rel(2)});
        add("MOV A," + r[n], {u8(0xE8 + n)});
        add("MOV " + r[n] + ",A", {u8(0xF8 + n)});
    }
    return m;
}

class OpcodeMapTest : public LineFixture {};

TEST_F(OpcodeMapTest, TheMapCoversEveryOpcodeButA5) {
    std::set<int> seen;
    for (const Case& c : OpcodeMap()) EXPECT_TRUE(seen.insert(c.bytes[0]).second) << c.line;
    EXPECT_EQ(seen.size(), 255u);
    EXPECT_EQ(seen.count(0xA5), 0u);
}

TEST_F(OpcodeMapTest, EveryOpcodeAssemblesFromItsCanonicalSpelling) {
    for (const Case& c : OpcodeMap()) {
        Bytes got = Asm(c.line, kAt);
        EXPECT_EQ(got, c.bytes) << c.line;
        EXPECT_EQ(Error(), "") << c.line;
        EXPECT_EQ(st.LineHandled, 1) << c.line;
        EXPECT_EQ(st.NextAddr, kAt + static_cast<std::int32_t>(c.bytes.size())) << c.line;
    }
}

// The same spellings in lower case and with the ACC twins.
TEST_F(OpcodeMapTest, LowerCaseAndAccumulatorTwins) {
    for (const Case& c : OpcodeMap()) {
        std::string lower = c.line;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(Asm(lower, kAt), c.bytes) << lower;
    }
    EXPECT_EQ(Asm("\tADD ACC,#5AH", kAt), (Bytes{0x24, kImm}));
    EXPECT_EQ(Asm("\tMOVX @DPTR,ACC", kAt), Bytes{0xF0});
    EXPECT_EQ(Asm("\tCJNE ACC,35H,0120H", kAt), (Bytes{0xB5, kDirect, Rel(3)}));
}

}  // namespace
}  // namespace z51::test
