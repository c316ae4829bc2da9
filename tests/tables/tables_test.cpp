#include "isa/hex.h"
#include "isa/tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace z51;

namespace {

// Instruction lengths of the Intel 8051 opcode map, row by row (high
// nibble), 0 for the reserved A5H. Written out independently of the tables.
constexpr int kIntelLength[256] = {
    // 0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F
    1, 2, 3, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0x
    3, 2, 3, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 1x
    3, 2, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 2x
    3, 2, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 3x
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 4x
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 5x
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 6x
    2, 2, 2, 1, 2, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 7x
    2, 2, 2, 1, 1, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 8x
    3, 2, 2, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 9x
    2, 2, 2, 1, 1, 0, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // Ax
    2, 2, 2, 1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  // Bx
    2, 2, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Cx
    2, 2, 2, 1, 1, 3, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2,  // Dx
    1, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Ex
    1, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // Fx
};

// Readable form of a pattern: placeholder bytes as {word}.
std::string Spell(std::string_view pattern) {
    std::string s;
    for (char c : pattern) {
        auto b = static_cast<std::uint8_t>(c);
        if (b >= 1 && b <= 8) s += "{" + std::string(OperandWord(b)) + "}";
        else s += c;
    }
    return s;
}

std::vector<std::string> OneByteTexts(std::uint8_t opcode) {
    std::vector<std::string> v;
    for (const OneByteRecord& r : OneByteCmds)
        if (r.opcode == opcode) v.emplace_back(r.Text());
    return v;
}

std::vector<std::string> MultiByteSpellings(std::uint8_t opcode) {
    std::vector<std::string> v;
    for (const MultiByteRecord& r : MultiByteCmds)
        if (r.opcode == opcode) v.push_back(Spell(r.Pattern()));
    return v;
}

// The accumulator spelt "ACC" in every combination, first occurrence
// varying fastest: operands "A" and the A of "@A+DPTR"/"@A+PC".
std::vector<std::string> AccTwins(const std::string& canonical) {
    auto tab = canonical.find('\t');
    if (tab == std::string::npos) return {};
    std::vector<std::string> ops;
    std::string rest = canonical.substr(tab + 1);
    for (std::size_t p = 0;;) {
        auto comma = rest.find(',', p);
        ops.push_back(rest.substr(p, comma - p));
        if (comma == std::string::npos) break;
        p = comma + 1;
    }
    std::vector<std::size_t> slots;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (ops[i] == "A" || ops[i].starts_with("@A+")) slots.push_back(i);
    std::vector<std::string> out;
    for (unsigned mask = 1; mask < (1u << slots.size()); ++mask) {
        std::vector<std::string> o = ops;
        for (std::size_t k = 0; k < slots.size(); ++k)
            if (mask >> k & 1) o[slots[k]] = o[slots[k]] == "A" ? "ACC" : "@ACC+" + o[slots[k]].substr(3);
        std::string s = canonical.substr(0, tab + 1);
        for (std::size_t i = 0; i < o.size(); ++i) s += (i ? "," : "") + o[i];
        out.push_back(s);
    }
    return out;
}

}  // namespace

TEST(Tables, CountsAndEnds) {
    EXPECT_EQ(SfrTable.size(), 88u);
    EXPECT_EQ(BitTable.size(), 224u);
    EXPECT_EQ(OneByteCmds.size(), 278u);
    EXPECT_EQ(MultiByteCmds.size(), 124u);
    EXPECT_EQ(OneByteCmds.front().Text(), "NOP");
    EXPECT_EQ(OneByteCmds.back().Text(), "MOV\tR7,ACC");
    EXPECT_EQ(Spell(MultiByteCmds.front().Pattern()), "MOV\t{data8},A");
    EXPECT_EQ(Spell(MultiByteCmds.back().Pattern()), "DJNZ\t{data8},{rel8}");
    EXPECT_EQ(MultiByteCmds.back().opcode, 0xD5);
    EXPECT_EQ(SfrTable.front().Name(), "ACC");
    EXPECT_EQ(SfrTable.back().Name(), "ACON");
    EXPECT_EQ(BitTable.front().Name(), "B.0");
    EXPECT_EQ(BitTable.back().Name(), "T2CON.7");
    EXPECT_EQ(BitTable.back().addr, 0xCF);
}

TEST(Tables, EveryOpcodeHasTheTableOfItsLength) {
    int oneByteOpcodes = 0, multiByteOpcodes = 0;
    for (int op = 0; op < 256; ++op) {
        SCOPED_TRACE(ByteToHex2(static_cast<std::uint8_t>(op)));
        const OneByteRecord* one = OneByteByOpcode(static_cast<std::uint8_t>(op));
        const MultiByteRecord* multi = MultiByteByOpcode(static_cast<std::uint8_t>(op));
        int length = kIntelLength[op];
        if (length == 0) {
            EXPECT_EQ(one, nullptr);
            EXPECT_EQ(multi, nullptr);
        } else if (length == 1) {
            EXPECT_NE(one, nullptr);
            EXPECT_EQ(multi, nullptr);
            ++oneByteOpcodes;
        } else if ((op & 0x0F) == 0x01 && op != 0x01 && op != 0x11) {
            // AJMP/ACALL page forms: the page bits ride in the opcode.
            EXPECT_EQ(one, nullptr);
            EXPECT_EQ(multi, nullptr);
        } else {
            EXPECT_EQ(one, nullptr);
            ASSERT_NE(multi, nullptr);
            ++multiByteOpcodes;
            for (const MultiByteRecord& r : MultiByteCmds) {
                if (r.opcode != op) continue;
                EXPECT_EQ(PatternLength(r.Pattern()), length) << Spell(r.Pattern());
            }
        }
    }
    EXPECT_EQ(oneByteOpcodes, 140);
    EXPECT_EQ(multiByteOpcodes, 101);
    // The page forms of 01H and 11H are derived from the 11-bit address.
    EXPECT_EQ(MultiByteSpellings(0x01), (std::vector<std::string>{"AJMP\t{addr11}", "JMP\t{addr11}"}));
    EXPECT_EQ(MultiByteSpellings(0x11), (std::vector<std::string>{"ACALL\t{addr11}", "CALL\t{addr11}"}));
}

TEST(Tables, OneByteRecordsAreCanonicalThenAccTwinsThenGluedForms) {
    // Glued or bare spellings and where they stand among their opcode's records.
    const std::map<int, std::vector<std::string>> explicitOrder = {
        {0x03, {"RR\tA", "RRA", "RR", "RR\tACC"}},
        {0x04, {"INC\tA", "INCA", "INC\tACC"}},
        {0x13, {"RRC\tA", "RRCA", "RRC\tACC"}},
        {0x14, {"DEC\tA", "DECA", "DEC\tACC"}},
        {0x23, {"RL\tA", "RLA", "RL", "RL\tACC"}},
        {0x33, {"RLC\tA", "RLCA", "RLC\tACC"}},
        {0x84, {"DIV\tAB", "DIV\tA", "DIVA", "DIV"}},
        {0xA4, {"MUL\tAB", "MUL\tA", "MULA", "MUL"}},
        {0xB3, {"CPL\tC", "CPLC"}},
        {0xC3, {"CLR\tC", "CLRC"}},
        {0xC4, {"SWAP\tA", "SWAP\tACC", "SWAPA", "SWAP"}},
        {0xD3, {"SETB\tC", "SETBC"}},
        {0xD4, {"DA\tA", "DA\tACC", "DAA", "DA"}},
        {0xE4, {"CLR\tA", "CLR\tACC", "CLRA"}},
        {0xF4, {"CPL\tA", "CPL\tACC", "CPLA"}},
    };
    int twins = 0, glued = 0;
    int previous = -1;
    for (const OneByteRecord& r : OneByteCmds) {
        EXPECT_GE(r.opcode, previous) << "ascending opcode order";
        previous = r.opcode;
    }
    for (int op = 0; op < 256; ++op) {
        std::vector<std::string> texts = OneByteTexts(static_cast<std::uint8_t>(op));
        if (texts.empty()) continue;
        std::vector<std::string> acc = AccTwins(texts[0]);
        twins += static_cast<int>(acc.size());
        if (auto it = explicitOrder.find(op); it != explicitOrder.end()) {
            EXPECT_EQ(texts, it->second);
            glued += static_cast<int>(texts.size() - 1 - acc.size());
        } else {
            std::vector<std::string> expected{texts[0]};
            expected.insert(expected.end(), acc.begin(), acc.end());
            EXPECT_EQ(texts, expected) << "opcode " << ByteToHex2(static_cast<std::uint8_t>(op));
        }
    }
    EXPECT_EQ(twins, 115);
    EXPECT_EQ(glued, 23);
    EXPECT_EQ(OneByteTexts(0x83), (std::vector<std::string>{"MOVC\tA,@A+PC", "MOVC\tACC,@A+PC", "MOVC\tA,@ACC+PC",
                                                           "MOVC\tACC,@ACC+PC"}));
    EXPECT_EQ(OneByteTexts(0x73), (std::vector<std::string>{"JMP\t@A+DPTR", "JMP\t@ACC+DPTR"}));
    // The longest spelling fills 18 of the 19 bytes.
    std::size_t longest = 0;
    for (const OneByteRecord& r : OneByteCmds) longest = std::max(longest, r.Text().size());
    EXPECT_EQ(longest, 18u);
}

TEST(Tables, OpcodeLookupGivesTheCanonicalSpelling) {
    EXPECT_EQ(OneByteByOpcode(0x03)->Text(), "RR\tA");
    EXPECT_EQ(OneByteByOpcode(0x84)->Text(), "DIV\tAB");
    EXPECT_EQ(OneByteByOpcode(0x83)->Text(), "MOVC\tA,@A+PC");
    EXPECT_EQ(OneByteByOpcode(0xC4)->Text(), "SWAP\tA");
    EXPECT_EQ(Spell(MultiByteByOpcode(0xF5)->Pattern()), "MOV\t{data8},A");
    EXPECT_EQ(Spell(MultiByteByOpcode(0x85)->Pattern()), "MOV\t{data8},{data8}");
    EXPECT_EQ(OneByteByOpcode(0xA5), nullptr);
    EXPECT_EQ(MultiByteByOpcode(0xA5), nullptr);
    EXPECT_EQ(OneByteByOpcode(0x02), nullptr);
}

TEST(Tables, OpcodeAndAddressIndexesAgreeWithFirstMatchScans) {
    for (int b = 0; b < 256; ++b) {
        auto byte = static_cast<std::uint8_t>(b);
        const OneByteRecord* one = nullptr;
        for (const OneByteRecord& r : OneByteCmds)
            if (r.opcode == byte) { one = &r; break; }
        EXPECT_EQ(OneByteByOpcode(byte), one) << b;
        const MultiByteRecord* multi = nullptr;
        for (const MultiByteRecord& r : MultiByteCmds)
            if (r.opcode == byte) { multi = &r; break; }
        EXPECT_EQ(MultiByteByOpcode(byte), multi) << b;
        std::string sfr;
        for (const NameRecord& r : SfrTable)
            if (r.addr == byte) { sfr = r.Name(); break; }
        EXPECT_EQ(DecodData8(byte), sfr) << b;
        if (b >= 0x80) {
            std::string bit;
            for (const NameRecord& r : BitTable)
                if (r.addr == byte) { bit = r.Name(); break; }
            EXPECT_EQ(BitDecode(byte), bit.empty() ? sfr : bit) << b;
        }
    }
}

TEST(Tables, MultiByteAliasesAreAccTwinsAndJmpCall) {
    std::set<int> seen;
    int twins = 0;
    for (const MultiByteRecord& r : MultiByteCmds) {
        std::string s = Spell(r.Pattern());
        if (!seen.insert(r.opcode).second) {
            if (s.find("ACC") != std::string::npos) ++twins;
            continue;
        }
        EXPECT_EQ(s.find("ACC"), std::string::npos) << "first record of an opcode is canonical: " << s;
        EXPECT_EQ(s.find(' '), std::string::npos) << s;
        EXPECT_EQ(std::count(s.begin(), s.end(), '\t'), 1) << s;
    }
    EXPECT_EQ(seen.size(), 101u);
    EXPECT_EQ(twins, 21);
    // Spot checks of the record order (the encoder takes the first match).
    EXPECT_EQ(Spell(MultiByteCmds[2].Pattern()), "ANL\tC,/{bit}");
    EXPECT_EQ(Spell(MultiByteCmds[12].Pattern()), "MOV\t{data8},R0");
    EXPECT_EQ(MultiByteCmds[12].opcode, 0x88);
    EXPECT_EQ(Spell(MultiByteCmds[93].Pattern()), "MOV\t{data8},{data8}");
    EXPECT_EQ(Spell(MultiByteCmds[108].Pattern()), "CJNE\tR7,#{data8},{rel8}");
    EXPECT_EQ(MultiByteCmds[108].opcode, 0xBF);
    EXPECT_EQ(Spell(MultiByteCmds[122].Pattern()), "DJNZ\tR7,{rel8}");
}

TEST(Tables, ThirteenBytePatternsAreReadInFullAndNoFurther) {
    const MultiByteRecord& cjneAcc = MultiByteCmds[96];
    ASSERT_EQ(cjneAcc.opcode, 0xB4);
    EXPECT_EQ(cjneAcc.Pattern().size(), 13u);
    EXPECT_EQ(Spell(cjneAcc.Pattern()), "CJNE\tACC,#{data8},{rel8}");
    EXPECT_EQ(MultiByteCmds[99].Pattern().size(), 13u);  // CJNE @R0,#data8,rel8
    EXPECT_EQ(MultiByteCmds[101].Pattern().size(), 12u);  // CJNE R0,#data8,rel8
    int full = 0;
    for (const MultiByteRecord& r : MultiByteCmds) full += r.Pattern().size() == 13;
    EXPECT_EQ(full, 3);

    // A field without a terminator next to a non-zero byte.
    MultiByteRecord m{};
    std::memset(m.pattern, 'X', sizeof m.pattern);
    m.opcode = 'Y';
    EXPECT_EQ(m.Pattern(), std::string(13, 'X'));
    OneByteRecord o{};
    std::memset(o.text, 'X', sizeof o.text);
    o.opcode = 'Y';
    EXPECT_EQ(o.Text(), std::string(19, 'X'));
}

TEST(Tables, PatternLengthAndOperandWords) {
    EXPECT_EQ(PatternLength(""), 1);
    EXPECT_EQ(PatternLength("MOV\t\x04"), 3);
    EXPECT_EQ(PatternLength("\x03\x03"), 3);
    EXPECT_EQ(PatternLength("\x06\x07\x08"), 4);
    EXPECT_EQ(OperandWord(kAddr11), "addr11");
    EXPECT_EQ(OperandWord(kRel8), "rel8");
    EXPECT_EQ(OperandWord(kData8), "data8");
    EXPECT_EQ(OperandWord(kAddr16), "addr16");
    EXPECT_EQ(OperandWord(kBit), "bit");
    EXPECT_EQ(OperandWord(8), "bit");
    EXPECT_EQ(OperandWord(0), "");
    EXPECT_EQ(OperandWord('A'), "");
}

TEST(Tables, NameLookupsAreExactCaseSensitiveAndFirstMatch) {
    EXPECT_EQ(FindSfr("ACC"), 0xE0);
    EXPECT_EQ(FindSfr("acc"), std::nullopt);
    EXPECT_EQ(FindSfr("AC"), std::nullopt);
    EXPECT_EQ(FindSfr("ACC "), std::nullopt);
    EXPECT_EQ(FindSfr(""), std::nullopt);
    EXPECT_EQ(FindSfr("C1CAPM4"), 0x9E);
    EXPECT_EQ(FindBit("ACC.7"), 0xE7);
    EXPECT_EQ(FindBit("acc.7"), std::nullopt);
    EXPECT_EQ(FindBit("ACC"), std::nullopt);
    EXPECT_EQ(FindBit("AC"), 0xD6);
    EXPECT_EQ(FindBit("PSW.1"), 0xD1);
    EXPECT_EQ(FindBit("RXD#"), 0xB0);
    EXPECT_EQ(FindBit("RXD"), std::nullopt);
    EXPECT_EQ(FindBit("P3.INT0#"), 0xB2);
    EXPECT_EQ(FindBit("IE.5"), std::nullopt);
    EXPECT_EQ(FindBit("IP.7"), std::nullopt);
    EXPECT_EQ(FindBit("T2CON.7"), 0xCF);
    EXPECT_EQ(FindBit("CCON.CR"), 0xDE);
    // A name with a NUL inside never matches the zero padding.
    EXPECT_EQ(FindSfr(std::string_view("ACC\0", 4)), std::nullopt);
}

TEST(Tables, NoDuplicateNamesOrSfrAddresses) {
    std::set<std::string_view> sfrNames, bitNames;
    std::set<int> sfrAddresses;
    for (const NameRecord& r : SfrTable) {
        EXPECT_TRUE(sfrNames.insert(r.Name()).second) << r.Name();
        EXPECT_TRUE(sfrAddresses.insert(r.addr).second) << r.Name();
        EXPECT_GE(r.addr, 0x80);
    }
    for (const NameRecord& r : BitTable) {
        EXPECT_TRUE(bitNames.insert(r.Name()).second) << r.Name();
        // The padding after a name is zero.
        for (std::size_t i = r.len; i < sizeof r.name; ++i) EXPECT_EQ(r.name[i], 0) << r.Name();
    }
}

TEST(Tables, BitDecodeAndDecodData8) {
    EXPECT_EQ(BitDecode(0x00), "20H.0");
    EXPECT_EQ(BitDecode(0x2F), "25H.7");
    EXPECT_EQ(BitDecode(0x7F), "2FH.7");
    EXPECT_EQ(BitDecode(0x80), "P0.0");
    EXPECT_EQ(BitDecode(0x8F), "TCON.TF1");
    EXPECT_EQ(BitDecode(0x98), "RI");
    EXPECT_EQ(BitDecode(0x9A), "RB8");
    EXPECT_EQ(BitDecode(0xB0), "RXD#");
    EXPECT_EQ(BitDecode(0xB8), "PX0");
    EXPECT_EQ(BitDecode(0xBF), "CH1");
    EXPECT_EQ(BitDecode(0xD0), "P");
    EXPECT_EQ(BitDecode(0xD7), "CY");
    EXPECT_EQ(BitDecode(0xD8), "CCON.0");
    EXPECT_EQ(BitDecode(0xDD), "CCON.5");
    EXPECT_EQ(BitDecode(0xE0), "ACC.0");
    EXPECT_EQ(BitDecode(0xF0), "B.0");
    for (int b = 0; b < 256; ++b) EXPECT_FALSE(BitDecode(static_cast<std::uint8_t>(b)).empty()) << b;
    EXPECT_EQ(DecodData8(0xE0), "ACC");
    EXPECT_EQ(DecodData8(0x30), "");
    EXPECT_EQ(DecodData8(0x81), "SP");
    EXPECT_EQ(DecodData8(0xBF), "CH1");
}

TEST(Tables, HexDigits) {
    EXPECT_EQ(ByteToHex2(0x00), "00");
    EXPECT_EQ(ByteToHex2(0xAB), "AB");
    EXPECT_EQ(ByteToHex2(0xF0), "F0");
    for (int b = 0; b < 256; ++b) EXPECT_EQ(Hex2ToByte(ByteToHex2(static_cast<std::uint8_t>(b))), b);
    EXPECT_EQ(Hex2ToByte("ff"), 255);
    EXPECT_EQ(Hex2ToByte("aB"), 0xAB);
    EXPECT_EQ(Hex2ToByte("12xyz"), 0x12);
    EXPECT_EQ(Hex2ToByte("G0"), 256);
    EXPECT_EQ(Hex2ToByte(" 1"), 256);
    EXPECT_EQ(Hex2ToByte("\xC0" "0"), 256);  // Cyrillic А is no digit
    EXPECT_EQ(Hex2ToByte("0G"), 512);
    EXPECT_EQ(Hex2ToByte("1 "), 512);
    EXPECT_EQ(Hex2ToByte("A\xC0"), 512);
    EXPECT_EQ(Hex2ToByte("0"), 512);
    EXPECT_EQ(Hex2ToByte(""), 256);
    EXPECT_EQ(Hex2ToByte("GG"), 256);
}

TEST(Tables, CyrToLatMapsSeventeenLookAlikes) {
    const std::map<int, char> expected = {
        {0xC0, 'A'}, {0xC2, 'B'}, {0xC5, 'E'}, {0xCA, 'K'}, {0xCC, 'M'}, {0xCD, 'H'},
        {0xCE, 'O'}, {0xD0, 'P'}, {0xD1, 'C'}, {0xD2, 'T'}, {0xD5, 'X'}, {0xE0, 'a'},
        {0xE5, 'e'}, {0xEE, 'o'}, {0xF0, 'p'}, {0xF1, 'c'}, {0xF5, 'x'},
    };
    for (int b = 0; b < 256; ++b) {
        auto it = expected.find(b);
        EXPECT_EQ(CyrToLat[b], it == expected.end() ? b : static_cast<std::uint8_t>(it->second)) << b;
    }
    // "МОV" typed with Cyrillic М and О reads as MOV.
    std::string line = "\xCC\xCEV";
    for (char& c : line) c = static_cast<char>(CyrToLat[static_cast<std::uint8_t>(c)]);
    EXPECT_EQ(line, "MOV");
}
