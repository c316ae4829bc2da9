#include "isa/tables.h"

#include <algorithm>

#include "isa/hex.h"

namespace z51 {
namespace {

// Record builders, run at compile time: a name or pattern that does not fit
// its field, or an unknown placeholder word, stops the build.

template <std::size_t K>
consteval NameRecord N(const char (&name)[K], std::uint8_t addr) {
    static_assert(K >= 2 && K - 1 <= 8, "a name has 1 to 8 characters");
    NameRecord r{};
    r.len = static_cast<std::uint8_t>(K - 1);
    for (std::size_t i = 0; i + 1 < K; ++i) r.name[i] = name[i];
    r.addr = addr;
    return r;
}

consteval std::uint8_t PlaceholderCode(std::string_view word) {
    if (word == "addr11") return kAddr11;
    if (word == "rel8") return kRel8;
    if (word == "data8") return kData8;
    if (word == "addr16") return kAddr16;
    if (word == "bit") return kBit;
    throw "unknown placeholder word";
}

// A pattern is written with its placeholders spelt out ("MOV\t{data8},A");
// each {word} becomes its one-byte code. 13 bytes at most; a pattern of
// exactly 13 bytes keeps no terminating zero.
template <std::size_t K>
consteval MultiByteRecord P(const char (&spelling)[K], std::uint8_t opcode) {
    MultiByteRecord r{};
    std::string_view s(spelling, K - 1);
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (n == sizeof r.pattern) throw "pattern longer than 13 bytes";
        if (s[i] == '{') {
            std::size_t close = s.find('}', i);
            if (close == std::string_view::npos) throw "unclosed placeholder";
            r.pattern[n++] = static_cast<char>(PlaceholderCode(s.substr(i + 1, close - i - 1)));
            i = close;
        } else {
            r.pattern[n++] = s[i];
        }
    }
    r.opcode = opcode;
    return r;
}

// clang-format off

// Special function registers: name, direct address.
constexpr NameRecord kSfr[] = {
//    name          address
    N("ACC",       0xE0),
    N("PSW",       0xD0),
    N("B",         0xF0),
    N("IP",        0xB8),
    N("P3",        0xB0),
    N("IE",        0xA8),
    N("P2",        0xA0),
    N("SBUF",      0x99),
    N("SCON",      0x98),
    N("P1",        0x90),
    N("P0",        0x80),
    N("TH1",       0x8D),
    N("TH0",       0x8C),
    N("TL1",       0x8B),
    N("TL0",       0x8A),
    N("TMOD",      0x89),
    N("TCON",      0x88),
    N("DPH",       0x83),
    N("DPL",       0x82),
    N("PCON",      0x87),
    N("SP",        0x81),
    N("P4",        0xC0),
    N("P5",        0xF8),
    N("CH",        0xF9),
    N("CCAP0H",    0xFA),
    N("CCAP1H",    0xFB),
    N("CCAP2H",    0xFC),
    N("CCAP3H",    0xFD),
    N("CCAP4H",    0xFE),
    N("SEPSTAT",   0xF7),
    N("CL",        0xE9),
    N("C1CON",     0xE8),
    N("CCAP0L",    0xEA),
    N("CCAP1L",    0xEB),
    N("CCAP2L",    0xEC),
    N("CCAP3L",    0xED),
    N("CCAP4L",    0xEE),
    N("AD6",       0xE4),
    N("AD5",       0xD4),
    N("AD4",       0xC4),
    N("AD3",       0xB4),
    N("AD2",       0xA4),
    N("AD1",       0x94),
    N("AD0",       0x84),
    N("SEPDAT",    0xE7),
    N("CCON",      0xD8),
    N("CMOD",      0xD9),
    N("CCAPM0",    0xDA),
    N("CCAPM1",    0xDB),
    N("CCAPM2",    0xDC),
    N("CCAPM3",    0xDD),
    N("CCAPM4",    0xDE),
    N("SEPCON",    0xD7),
    N("T2CON",     0xC8),
    N("T2MOD",     0xC9),
    N("RCAP2L",    0xCA),
    N("RCAP2H",    0xCB),
    N("TL2",       0xCC),
    N("TH2",       0xCD),
    N("EXICON",    0xC6),
    N("ACMP",      0xC7),
    N("SADEN",     0xB9),
    N("C1CAP0H",   0xBA),
    N("C1CAP1H",   0xBB),
    N("C1CAP2H",   0xBC),
    N("C1CAP3H",   0xBD),
    N("C1CAP4H",   0xBE),
    N("CH1",       0xBF),
    N("IPAH",      0xB5),
    N("IPA",       0xB6),
    N("IPH",       0xB7),
    N("SADDR",     0xA9),
    N("C1CAP0L",   0xAA),
    N("C1CAP1L",   0xAB),
    N("C1CAP2L",   0xAC),
    N("C1CAP3L",   0xAD),
    N("C1CAP4L",   0xAE),
    N("CL1",       0xAF),
    N("OSCR",      0xA5),
    N("WDTRST",    0xA6),
    N("IEA",       0xA7),
    N("C1CAPM0",   0x9A),
    N("C1CAPM1",   0x9B),
    N("C1CAPM2",   0x9C),
    N("C1CAPM3",   0x9D),
    N("C1CAPM4",   0x9E),
    N("C1MOD",     0x9F),
    N("ACON",      0x97),
};

// Addressable bits outside the bit-addressable RAM: name, bit address.
// Port 3 alternate functions carry a trailing "#".
constexpr NameRecord kBits[] = {
//    name          bit address
    N("B.0",       0xF0),
    N("B.1",       0xF1),
    N("B.2",       0xF2),
    N("B.3",       0xF3),
    N("B.4",       0xF4),
    N("B.5",       0xF5),
    N("B.6",       0xF6),
    N("B.7",       0xF7),
    N("ACC.0",     0xE0),
    N("ACC.1",     0xE1),
    N("ACC.2",     0xE2),
    N("ACC.3",     0xE3),
    N("ACC.4",     0xE4),
    N("ACC.5",     0xE5),
    N("ACC.6",     0xE6),
    N("ACC.7",     0xE7),
    N("CY",        0xD7),
    N("PSW.CY",    0xD7),
    N("AC",        0xD6),
    N("PSW.AC",    0xD6),
    N("F0",        0xD5),
    N("PSW.F0",    0xD5),
    N("RS1",       0xD4),
    N("PSW.RS1",   0xD4),
    N("RS0",       0xD3),
    N("PSW.RS0",   0xD3),
    N("OV",        0xD2),
    N("PSW.OV",    0xD2),
    N("P",         0xD0),
    N("PSW.P",     0xD0),
    N("PSW.0",     0xD0),
    N("PSW.1",     0xD1),
    N("PSW.2",     0xD2),
    N("PSW.3",     0xD3),
    N("PSW.4",     0xD4),
    N("PSW.5",     0xD5),
    N("PSW.6",     0xD6),
    N("PSW.7",     0xD7),
    N("PPC",       0xBE),
    N("IP.PPC",    0xBE),
    N("PT2",       0xBD),
    N("IP.PT2",    0xBD),
    N("PS",        0xBC),
    N("IP.PS",     0xBC),
    N("PT1",       0xBB),
    N("IP.PT1",    0xBB),
    N("PX1",       0xBA),
    N("IP.PX1",    0xBA),
    N("PT0",       0xB9),
    N("IP.PT0",    0xB9),
    N("PX0",       0xB8),
    N("IP.PX0",    0xB8),
    N("IP.0",      0xB8),
    N("IP.1",      0xB9),
    N("IP.2",      0xBA),
    N("IP.3",      0xBB),
    N("IP.4",      0xBC),
    N("RXD#",      0xB0),
    N("P3.RXD#",   0xB0),
    N("P3.0",      0xB0),
    N("P3.1",      0xB1),
    N("TXD#",      0xB1),
    N("P3.TXD#",   0xB1),
    N("P3.2",      0xB2),
    N("INT0#",     0xB2),
    N("P3.INT0#",  0xB2),
    N("P3.3",      0xB3),
    N("INT1#",     0xB3),
    N("P3.INT1#",  0xB3),
    N("P3.4",      0xB4),
    N("T0#",       0xB4),
    N("P3.T0#",    0xB4),
    N("P3.5",      0xB5),
    N("T1#",       0xB5),
    N("P3.T1#",    0xB5),
    N("P3.6",      0xB6),
    N("WR#",       0xB6),
    N("P3.WR#",    0xB6),
    N("P3.7",      0xB7),
    N("RD#",       0xB7),
    N("P3.RD#",    0xB7),
    N("IE.0",      0xA8),
    N("IE.1",      0xA9),
    N("IE.2",      0xAA),
    N("IE.3",      0xAB),
    N("IE.4",      0xAC),
    N("IE.7",      0xAF),
    N("EA",        0xAF),
    N("IE.EA",     0xAF),
    N("EC",        0xAE),
    N("IE.EC",     0xAE),
    N("ET2",       0xAD),
    N("IE.ET2",    0xAD),
    N("ES",        0xAC),
    N("IE.ES",     0xAC),
    N("ET1",       0xAB),
    N("IE.ET1",    0xAB),
    N("EX1",       0xAA),
    N("IE.EX1",    0xAA),
    N("ET0",       0xA9),
    N("IE.ET0",    0xA9),
    N("EX0",       0xA8),
    N("IE.EX0",    0xA8),
    N("P2.0",      0xA0),
    N("P2.1",      0xA1),
    N("P2.2",      0xA2),
    N("P2.3",      0xA3),
    N("P2.4",      0xA4),
    N("P2.5",      0xA5),
    N("P2.6",      0xA6),
    N("P2.7",      0xA7),
    N("SM0",       0x9F),
    N("SCON.SM0",  0x9F),
    N("SM1",       0x9E),
    N("SCON.SM1",  0x9E),
    N("SM2",       0x9D),
    N("SCON.SM2",  0x9D),
    N("REN",       0x9C),
    N("SCON.REN",  0x9C),
    N("TB8",       0x9B),
    N("SCON.TB8",  0x9B),
    N("RB8",       0x9A),
    N("SCON.RB8",  0x9A),
    N("TI",        0x99),
    N("SCON.TI",   0x99),
    N("RI",        0x98),
    N("SCON.RI",   0x98),
    N("SCON.0",    0x98),
    N("SCON.1",    0x99),
    N("SCON.2",    0x9A),
    N("SCON.3",    0x9B),
    N("SCON.4",    0x9C),
    N("SCON.5",    0x9D),
    N("SCON.6",    0x9E),
    N("SCON.7",    0x9F),
    N("P1.0",      0x90),
    N("P1.1",      0x91),
    N("P1.2",      0x92),
    N("P1.3",      0x93),
    N("P1.4",      0x94),
    N("P1.5",      0x95),
    N("P1.6",      0x96),
    N("P1.7",      0x97),
    N("TCON.TF1",  0x8F),
    N("TF1",       0x8F),
    N("TCON.TR1",  0x8E),
    N("TR1",       0x8E),
    N("TCON.TF0",  0x8D),
    N("TF0",       0x8D),
    N("TCON.TR0",  0x8C),
    N("TR0",       0x8C),
    N("TCON.IE1",  0x8B),
    N("IE1",       0x8B),
    N("TCON.IT1",  0x8A),
    N("IT1",       0x8A),
    N("TCON.IE0",  0x89),
    N("IE0",       0x89),
    N("TCON.IT0",  0x88),
    N("IT0",       0x88),
    N("TCON.0",    0x88),
    N("TCON.1",    0x89),
    N("TCON.2",    0x8A),
    N("TCON.3",    0x8B),
    N("TCON.4",    0x8C),
    N("TCON.5",    0x8D),
    N("TCON.6",    0x8E),
    N("TCON.7",    0x8F),
    N("P0.0",      0x80),
    N("P0.1",      0x81),
    N("P0.2",      0x82),
    N("P0.3",      0x83),
    N("P0.4",      0x84),
    N("P0.5",      0x85),
    N("P0.6",      0x86),
    N("P0.7",      0x87),
    N("P4.0",      0xC0),
    N("P4.1",      0xC1),
    N("P4.2",      0xC2),
    N("P4.3",      0xC3),
    N("P4.4",      0xC4),
    N("P4.5",      0xC5),
    N("P4.6",      0xC6),
    N("P4.7",      0xC7),
    N("P5.0",      0xF8),
    N("P5.1",      0xF9),
    N("P5.2",      0xFA),
    N("P5.3",      0xFB),
    N("P5.4",      0xFC),
    N("P5.5",      0xFD),
    N("P5.6",      0xFE),
    N("P5.7",      0xFF),
    N("C1CON.0",   0xE8),
    N("C1CON.1",   0xE9),
    N("C1CON.2",   0xEA),
    N("C1CON.3",   0xEB),
    N("C1CON.4",   0xEC),
    N("C1CON.5",   0xED),
    N("C1CON.6",   0xEE),
    N("C1CON.7",   0xEF),
    N("CCON.0",    0xD8),
    N("CCF0",      0xD8),
    N("CCON.1",    0xD9),
    N("CCF1",      0xD9),
    N("CCON.2",    0xDA),
    N("CCF2",      0xDA),
    N("CCON.3",    0xDB),
    N("CCF3",      0xDB),
    N("CCON.4",    0xDC),
    N("CCF4",      0xDC),
    N("CCON.5",    0xDD),
    N("CCON.6",    0xDE),
    N("CCON.CR",   0xDE),
    N("CR",        0xDE),
    N("CCON.7",    0xDF),
    N("CCON.CF",   0xDF),
    N("CF",        0xDF),
    N("T2CON.0",   0xC8),
    N("T2CON.1",   0xC9),
    N("T2CON.2",   0xCA),
    N("T2CON.3",   0xCB),
    N("T2CON.4",   0xCC),
    N("T2CON.5",   0xCD),
    N("T2CON.6",   0xCE),
    N("T2CON.7",   0xCF),
};

// One-byte instructions in ascending opcode order. The first record of an
// opcode is its canonical spelling; the records after it are aliases:
// the accumulator spelt ACC in every combination, and the glued or bare
// forms ("RRA", "RR", "DIVA" ...).
constexpr OneByteRecord kOneByte[] = {
//    text                     opcode
    {"NOP",                   0x00},
    {"RR\tA",                 0x03},
    {"RRA",                   0x03},
    {"RR",                    0x03},
    {"RR\tACC",               0x03},
    {"INC\tA",                0x04},
    {"INCA",                  0x04},
    {"INC\tACC",              0x04},
    {"INC\t@R0",              0x06},
    {"INC\t@R1",              0x07},
    {"INC\tR0",               0x08},
    {"INC\tR1",               0x09},
    {"INC\tR2",               0x0A},
    {"INC\tR3",               0x0B},
    {"INC\tR4",               0x0C},
    {"INC\tR5",               0x0D},
    {"INC\tR6",               0x0E},
    {"INC\tR7",               0x0F},
    {"RRC\tA",                0x13},
    {"RRCA",                  0x13},
    {"RRC\tACC",              0x13},
    {"DEC\tA",                0x14},
    {"DECA",                  0x14},
    {"DEC\tACC",              0x14},
    {"DEC\t@R0",              0x16},
    {"DEC\t@R1",              0x17},
    {"DEC\tR0",               0x18},
    {"DEC\tR1",               0x19},
    {"DEC\tR2",               0x1A},
    {"DEC\tR3",               0x1B},
    {"DEC\tR4",               0x1C},
    {"DEC\tR5",               0x1D},
    {"DEC\tR6",               0x1E},
    {"DEC\tR7",               0x1F},
    {"RET",                   0x22},
    {"RL\tA",                 0x23},
    {"RLA",                   0x23},
    {"RL",                    0x23},
    {"RL\tACC",               0x23},
    {"ADD\tA,@R0",            0x26},
    {"ADD\tACC,@R0",          0x26},
    {"ADD\tA,@R1",            0x27},
    {"ADD\tACC,@R1",          0x27},
    {"ADD\tA,R0",             0x28},
    {"ADD\tACC,R0",           0x28},
    {"ADD\tA,R1",             0x29},
    {"ADD\tACC,R1",           0x29},
    {"ADD\tA,R2",             0x2A},
    {"ADD\tACC,R2",           0x2A},
    {"ADD\tA,R3",             0x2B},
    {"ADD\tACC,R3",           0x2B},
    {"ADD\tA,R4",             0x2C},
    {"ADD\tACC,R4",           0x2C},
    {"ADD\tA,R5",             0x2D},
    {"ADD\tACC,R5",           0x2D},
    {"ADD\tA,R6",             0x2E},
    {"ADD\tACC,R6",           0x2E},
    {"ADD\tA,R7",             0x2F},
    {"ADD\tACC,R7",           0x2F},
    {"RETI",                  0x32},
    {"RLC\tA",                0x33},
    {"RLCA",                  0x33},
    {"RLC\tACC",              0x33},
    {"ADDC\tA,@R0",           0x36},
    {"ADDC\tACC,@R0",         0x36},
    {"ADDC\tA,@R1",           0x37},
    {"ADDC\tACC,@R1",         0x37},
    {"ADDC\tA,R0",            0x38},
    {"ADDC\tACC,R0",          0x38},
    {"ADDC\tA,R1",            0x39},
    {"ADDC\tACC,R1",          0x39},
    {"ADDC\tA,R2",            0x3A},
    {"ADDC\tACC,R2",          0x3A},
    {"ADDC\tA,R3",            0x3B},
    {"ADDC\tACC,R3",          0x3B},
    {"ADDC\tA,R4",            0x3C},
    {"ADDC\tACC,R4",          0x3C},
    {"ADDC\tA,R5",            0x3D},
    {"ADDC\tACC,R5",          0x3D},
    {"ADDC\tA,R6",            0x3E},
    {"ADDC\tACC,R6",          0x3E},
    {"ADDC\tA,R7",            0x3F},
    {"ADDC\tACC,R7",          0x3F},
    {"ORL\tA,@R0",            0x46},
    {"ORL\tACC,@R0",          0x46},
    {"ORL\tA,@R1",            0x47},
    {"ORL\tACC,@R1",          0x47},
    {"ORL\tA,R0",             0x48},
    {"ORL\tACC,R0",           0x48},
    {"ORL\tA,R1",             0x49},
    {"ORL\tACC,R1",           0x49},
    {"ORL\tA,R2",             0x4A},
    {"ORL\tACC,R2",           0x4A},
    {"ORL\tA,R3",             0x4B},
    {"ORL\tACC,R3",           0x4B},
    {"ORL\tA,R4",             0x4C},
    {"ORL\tACC,R4",           0x4C},
    {"ORL\tA,R5",             0x4D},
    {"ORL\tACC,R5",           0x4D},
    {"ORL\tA,R6",             0x4E},
    {"ORL\tACC,R6",           0x4E},
    {"ORL\tA,R7",             0x4F},
    {"ORL\tACC,R7",           0x4F},
    {"ANL\tA,@R0",            0x56},
    {"ANL\tACC,@R0",          0x56},
    {"ANL\tA,@R1",            0x57},
    {"ANL\tACC,@R1",          0x57},
    {"ANL\tA,R0",             0x58},
    {"ANL\tACC,R0",           0x58},
    {"ANL\tA,R1",             0x59},
    {"ANL\tACC,R1",           0x59},
    {"ANL\tA,R2",             0x5A},
    {"ANL\tACC,R2",           0x5A},
    {"ANL\tA,R3",             0x5B},
    {"ANL\tACC,R3",           0x5B},
    {"ANL\tA,R4",             0x5C},
    {"ANL\tACC,R4",           0x5C},
    {"ANL\tA,R5",             0x5D},
    {"ANL\tACC,R5",           0x5D},
    {"ANL\tA,R6",             0x5E},
    {"ANL\tACC,R6",           0x5E},
    {"ANL\tA,R7",             0x5F},
    {"ANL\tACC,R7",           0x5F},
    {"XRL\tA,@R0",            0x66},
    {"XRL\tACC,@R0",          0x66},
    {"XRL\tA,@R1",            0x67},
    {"XRL\tACC,@R1",          0x67},
    {"XRL\tA,R0",             0x68},
    {"XRL\tACC,R0",           0x68},
    {"XRL\tA,R1",             0x69},
    {"XRL\tACC,R1",           0x69},
    {"XRL\tA,R2",             0x6A},
    {"XRL\tACC,R2",           0x6A},
    {"XRL\tA,R3",             0x6B},
    {"XRL\tACC,R3",           0x6B},
    {"XRL\tA,R4",             0x6C},
    {"XRL\tACC,R4",           0x6C},
    {"XRL\tA,R5",             0x6D},
    {"XRL\tACC,R5",           0x6D},
    {"XRL\tA,R6",             0x6E},
    {"XRL\tACC,R6",           0x6E},
    {"XRL\tA,R7",             0x6F},
    {"XRL\tACC,R7",           0x6F},
    {"JMP\t@A+DPTR",          0x73},
    {"JMP\t@ACC+DPTR",        0x73},
    {"MOVC\tA,@A+PC",         0x83},
    {"MOVC\tACC,@A+PC",       0x83},
    {"MOVC\tA,@ACC+PC",       0x83},
    {"MOVC\tACC,@ACC+PC",     0x83},
    {"DIV\tAB",               0x84},
    {"DIV\tA",                0x84},
    {"DIVA",                  0x84},
    {"DIV",                   0x84},
    {"MOVC\tA,@A+DPTR",       0x93},
    {"MOVC\tACC,@A+DPTR",     0x93},
    {"MOVC\tA,@ACC+DPTR",     0x93},
    {"MOVC\tACC,@ACC+DPTR",   0x93},
    {"SUBB\tA,@R0",           0x96},
    {"SUBB\tACC,@R0",         0x96},
    {"SUBB\tA,@R1",           0x97},
    {"SUBB\tACC,@R1",         0x97},
    {"SUBB\tA,R0",            0x98},
    {"SUBB\tACC,R0",          0x98},
    {"SUBB\tA,R1",            0x99},
    {"SUBB\tACC,R1",          0x99},
    {"SUBB\tA,R2",            0x9A},
    {"SUBB\tACC,R2",          0x9A},
    {"SUBB\tA,R3",            0x9B},
    {"SUBB\tACC,R3",          0x9B},
    {"SUBB\tA,R4",            0x9C},
    {"SUBB\tACC,R4",          0x9C},
    {"SUBB\tA,R5",            0x9D},
    {"SUBB\tACC,R5",          0x9D},
    {"SUBB\tA,R6",            0x9E},
    {"SUBB\tACC,R6",          0x9E},
    {"SUBB\tA,R7",            0x9F},
    {"SUBB\tACC,R7",          0x9F},
    {"INC\tDPTR",             0xA3},
    {"MUL\tAB",               0xA4},
    {"MUL\tA",                0xA4},
    {"MULA",                  0xA4},
    {"MUL",                   0xA4},
    {"CPL\tC",                0xB3},
    {"CPLC",                  0xB3},
    {"CLR\tC",                0xC3},
    {"CLRC",                  0xC3},
    {"SWAP\tA",               0xC4},
    {"SWAP\tACC",             0xC4},
    {"SWAPA",                 0xC4},
    {"SWAP",                  0xC4},
    {"XCH\tA,@R0",            0xC6},
    {"XCH\tACC,@R0",          0xC6},
    {"XCH\tA,@R1",            0xC7},
    {"XCH\tACC,@R1",          0xC7},
    {"XCH\tA,R0",             0xC8},
    {"XCH\tACC,R0",           0xC8},
    {"XCH\tA,R1",             0xC9},
    {"XCH\tACC,R1",           0xC9},
    {"XCH\tA,R2",             0xCA},
    {"XCH\tACC,R2",           0xCA},
    {"XCH\tA,R3",             0xCB},
    {"XCH\tACC,R3",           0xCB},
    {"XCH\tA,R4",             0xCC},
    {"XCH\tACC,R4",           0xCC},
    {"XCH\tA,R5",             0xCD},
    {"XCH\tACC,R5",           0xCD},
    {"XCH\tA,R6",             0xCE},
    {"XCH\tACC,R6",           0xCE},
    {"XCH\tA,R7",             0xCF},
    {"XCH\tACC,R7",           0xCF},
    {"SETB\tC",               0xD3},
    {"SETBC",                 0xD3},
    {"DA\tA",                 0xD4},
    {"DA\tACC",               0xD4},
    {"DAA",                   0xD4},
    {"DA",                    0xD4},
    {"XCHD\tA,@R0",           0xD6},
    {"XCHD\tACC,@R0",         0xD6},
    {"XCHD\tA,@R1",           0xD7},
    {"XCHD\tACC,@R1",         0xD7},
    {"MOVX\tA,@DPTR",         0xE0},
    {"MOVX\tACC,@DPTR",       0xE0},
    {"MOVX\tA,@R0",           0xE2},
    {"MOVX\tACC,@R0",         0xE2},
    {"MOVX\tA,@R1",           0xE3},
    {"MOVX\tACC,@R1",         0xE3},
    {"CLR\tA",                0xE4},
    {"CLR\tACC",              0xE4},
    {"CLRA",                  0xE4},
    {"MOV\tA,@R0",            0xE6},
    {"MOV\tACC,@R0",          0xE6},
    {"MOV\tA,@R1",            0xE7},
    {"MOV\tACC,@R1",          0xE7},
    {"MOV\tA,R0",             0xE8},
    {"MOV\tACC,R0",           0xE8},
    {"MOV\tA,R1",             0xE9},
    {"MOV\tACC,R1",           0xE9},
    {"MOV\tA,R2",             0xEA},
    {"MOV\tACC,R2",           0xEA},
    {"MOV\tA,R3",             0xEB},
    {"MOV\tACC,R3",           0xEB},
    {"MOV\tA,R4",             0xEC},
    {"MOV\tACC,R4",           0xEC},
    {"MOV\tA,R5",             0xED},
    {"MOV\tACC,R5",           0xED},
    {"MOV\tA,R6",             0xEE},
    {"MOV\tACC,R6",           0xEE},
    {"MOV\tA,R7",             0xEF},
    {"MOV\tACC,R7",           0xEF},
    {"MOVX\t@DPTR,A",         0xF0},
    {"MOVX\t@DPTR,ACC",       0xF0},
    {"MOVX\t@R0,A",           0xF2},
    {"MOVX\t@R0,ACC",         0xF2},
    {"MOVX\t@R1,A",           0xF3},
    {"MOVX\t@R1,ACC",         0xF3},
    {"CPL\tA",                0xF4},
    {"CPL\tACC",              0xF4},
    {"CPLA",                  0xF4},
    {"MOV\t@R0,A",            0xF6},
    {"MOV\t@R0,ACC",          0xF6},
    {"MOV\t@R1,A",            0xF7},
    {"MOV\t@R1,ACC",          0xF7},
    {"MOV\tR0,A",             0xF8},
    {"MOV\tR0,ACC",           0xF8},
    {"MOV\tR1,A",             0xF9},
    {"MOV\tR1,ACC",           0xF9},
    {"MOV\tR2,A",             0xFA},
    {"MOV\tR2,ACC",           0xFA},
    {"MOV\tR3,A",             0xFB},
    {"MOV\tR3,ACC",           0xFB},
    {"MOV\tR4,A",             0xFC},
    {"MOV\tR4,ACC",           0xFC},
    {"MOV\tR5,A",             0xFD},
    {"MOV\tR5,ACC",           0xFD},
    {"MOV\tR6,A",             0xFE},
    {"MOV\tR6,ACC",           0xFE},
    {"MOV\tR7,A",             0xFF},
    {"MOV\tR7,ACC",           0xFF},
};

// Two- and three-byte instructions, not in opcode order: the encoder takes
// the first pattern that matches the source, so the order is data. The
// page forms 21H..E1H of AJMP and 31H..F1H of ACALL are not listed: they
// come from 01H and 11H, whose opcode takes bits 10-8 of the address in
// bits 7-5.
constexpr MultiByteRecord kMultiByte[] = {
//    pattern                         opcode     record
    P("MOV\t{data8},A",               0xF5),  // 1
    P("MOV\t{data8},ACC",             0xF5),  // 2
    P("ANL\tC,/{bit}",                0xB0),  // 3
    P("ORL\tC,/{bit}",                0xA0),  // 4
    P("MOV\tA,#{data8}",              0x74),  // 5
    P("MOV\tACC,#{data8}",            0x74),  // 6
    P("MOV\tDPTR,#{addr16}",          0x90),  // 7
    P("MOV\tA,{data8}",               0xE5),  // 8
    P("MOV\tACC,{data8}",             0xE5),  // 9
    P("MOV\tC,{bit}",                 0xA2),  // 10
    P("MOV\t{data8},@R0",             0x86),  // 11
    P("MOV\t{data8},@R1",             0x87),  // 12
    P("MOV\t{data8},R0",              0x88),  // 13
    P("MOV\t{data8},R1",              0x89),  // 14
    P("MOV\t{data8},R2",              0x8A),  // 15
    P("MOV\t{data8},R3",              0x8B),  // 16
    P("MOV\t{data8},R4",              0x8C),  // 17
    P("MOV\t{data8},R5",              0x8D),  // 18
    P("MOV\t{data8},R6",              0x8E),  // 19
    P("MOV\t{data8},R7",              0x8F),  // 20
    P("AJMP\t{addr11}",               0x01),  // 21
    P("JMP\t{addr11}",                0x01),  // 22
    P("LJMP\t{addr16}",               0x02),  // 23
    P("INC\t{data8}",                 0x05),  // 24
    P("JBC\t{bit},{rel8}",            0x10),  // 25
    P("ACALL\t{addr11}",              0x11),  // 26
    P("CALL\t{addr11}",               0x11),  // 27
    P("LCALL\t{addr16}",              0x12),  // 28
    P("DEC\t{data8}",                 0x15),  // 29
    P("JB\t{bit},{rel8}",             0x20),  // 30
    P("ADD\tA,#{data8}",              0x24),  // 31
    P("ADD\tACC,#{data8}",            0x24),  // 32
    P("ADD\tA,{data8}",               0x25),  // 33
    P("ADD\tACC,{data8}",             0x25),  // 34
    P("JNB\t{bit},{rel8}",            0x30),  // 35
    P("ADDC\tA,#{data8}",             0x34),  // 36
    P("ADDC\tACC,#{data8}",           0x34),  // 37
    P("ADDC\tA,{data8}",              0x35),  // 38
    P("ADDC\tACC,{data8}",            0x35),  // 39
    P("JC\t{rel8}",                   0x40),  // 40
    P("ORL\tA,#{data8}",              0x44),  // 41
    P("ORL\tACC,#{data8}",            0x44),  // 42
    P("ORL\t{data8},A",               0x42),  // 43
    P("ORL\t{data8},ACC",             0x42),  // 44
    P("ORL\t{data8},#{data8}",        0x43),  // 45
    P("ORL\tA,{data8}",               0x45),  // 46
    P("ORL\tACC,{data8}",             0x45),  // 47
    P("JNC\t{rel8}",                  0x50),  // 48
    P("ANL\tA,#{data8}",              0x54),  // 49
    P("ANL\tACC,#{data8}",            0x54),  // 50
    P("ANL\t{data8},A",               0x52),  // 51
    P("ANL\t{data8},ACC",             0x52),  // 52
    P("ANL\t{data8},#{data8}",        0x53),  // 53
    P("ANL\tA,{data8}",               0x55),  // 54
    P("ANL\tACC,{data8}",             0x55),  // 55
    P("JZ\t{rel8}",                   0x60),  // 56
    P("XRL\tA,#{data8}",              0x64),  // 57
    P("XRL\tACC,#{data8}",            0x64),  // 58
    P("XRL\t{data8},A",               0x62),  // 59
    P("XRL\t{data8},ACC",             0x62),  // 60
    P("XRL\t{data8},#{data8}",        0x63),  // 61
    P("XRL\tA,{data8}",               0x65),  // 62
    P("XRL\tACC,{data8}",             0x65),  // 63
    P("JNZ\t{rel8}",                  0x70),  // 64
    P("ORL\tC,{bit}",                 0x72),  // 65
    P("MOV\t@R0,#{data8}",            0x76),  // 66
    P("MOV\t@R1,#{data8}",            0x77),  // 67
    P("MOV\tR0,#{data8}",             0x78),  // 68
    P("MOV\tR1,#{data8}",             0x79),  // 69
    P("MOV\tR2,#{data8}",             0x7A),  // 70
    P("MOV\tR3,#{data8}",             0x7B),  // 71
    P("MOV\tR4,#{data8}",             0x7C),  // 72
    P("MOV\tR5,#{data8}",             0x7D),  // 73
    P("MOV\tR6,#{data8}",             0x7E),  // 74
    P("MOV\tR7,#{data8}",             0x7F),  // 75
    P("MOV\t{data8},#{data8}",        0x75),  // 76
    P("SJMP\t{rel8}",                 0x80),  // 77
    P("ANL\tC,{bit}",                 0x82),  // 78
    P("SUBB\tA,#{data8}",             0x94),  // 79
    P("SUBB\tACC,#{data8}",           0x94),  // 80
    P("SUBB\tA,{data8}",              0x95),  // 81
    P("SUBB\tACC,{data8}",            0x95),  // 82
    P("MOV\t@R0,{data8}",             0xA6),  // 83
    P("MOV\t@R1,{data8}",             0xA7),  // 84
    P("MOV\tR0,{data8}",              0xA8),  // 85
    P("MOV\tR1,{data8}",              0xA9),  // 86
    P("MOV\tR2,{data8}",              0xAA),  // 87
    P("MOV\tR3,{data8}",              0xAB),  // 88
    P("MOV\tR4,{data8}",              0xAC),  // 89
    P("MOV\tR5,{data8}",              0xAD),  // 90
    P("MOV\tR6,{data8}",              0xAE),  // 91
    P("MOV\tR7,{data8}",              0xAF),  // 92
    P("MOV\t{bit},C",                 0x92),  // 93
    P("MOV\t{data8},{data8}",         0x85),  // 94
    P("CPL\t{bit}",                   0xB2),  // 95
    P("CJNE\tA,#{data8},{rel8}",      0xB4),  // 96
    P("CJNE\tACC,#{data8},{rel8}",    0xB4),  // 97
    P("CJNE\tA,{data8},{rel8}",       0xB5),  // 98
    P("CJNE\tACC,{data8},{rel8}",     0xB5),  // 99
    P("CJNE\t@R0,#{data8},{rel8}",    0xB6),  // 100
    P("CJNE\t@R1,#{data8},{rel8}",    0xB7),  // 101
    P("CJNE\tR0,#{data8},{rel8}",     0xB8),  // 102
    P("CJNE\tR1,#{data8},{rel8}",     0xB9),  // 103
    P("CJNE\tR2,#{data8},{rel8}",     0xBA),  // 104
    P("CJNE\tR3,#{data8},{rel8}",     0xBB),  // 105
    P("CJNE\tR4,#{data8},{rel8}",     0xBC),  // 106
    P("CJNE\tR5,#{data8},{rel8}",     0xBD),  // 107
    P("CJNE\tR6,#{data8},{rel8}",     0xBE),  // 108
    P("CJNE\tR7,#{data8},{rel8}",     0xBF),  // 109
    P("PUSH\t{data8}",                0xC0),  // 110
    P("CLR\t{bit}",                   0xC2),  // 111
    P("XCH\tA,{data8}",               0xC5),  // 112
    P("XCH\tACC,{data8}",             0xC5),  // 113
    P("POP\t{data8}",                 0xD0),  // 114
    P("SETB\t{bit}",                  0xD2),  // 115
    P("DJNZ\tR0,{rel8}",              0xD8),  // 116
    P("DJNZ\tR1,{rel8}",              0xD9),  // 117
    P("DJNZ\tR2,{rel8}",              0xDA),  // 118
    P("DJNZ\tR3,{rel8}",              0xDB),  // 119
    P("DJNZ\tR4,{rel8}",              0xDC),  // 120
    P("DJNZ\tR5,{rel8}",              0xDD),  // 121
    P("DJNZ\tR6,{rel8}",              0xDE),  // 122
    P("DJNZ\tR7,{rel8}",              0xDF),  // 123
    P("DJNZ\t{data8},{rel8}",         0xD5),  // 124
};

// clang-format on

static_assert(std::size(kSfr) == kSfrCount);
static_assert(std::size(kBits) == kBitCount);
static_assert(std::size(kOneByte) == kOneByteCount);
static_assert(std::size(kMultiByte) == kMultiByteCount);

consteval bool SameName(const NameRecord& a, const NameRecord& b) {
    return std::string_view(a.name, a.len) == std::string_view(b.name, b.len);
}

consteval bool SfrNamesAndAddressesUnique() {
    for (std::size_t i = 0; i < std::size(kSfr); ++i)
        for (std::size_t j = i + 1; j < std::size(kSfr); ++j)
            if (SameName(kSfr[i], kSfr[j]) || kSfr[i].addr == kSfr[j].addr) return false;
    return true;
}
static_assert(SfrNamesAndAddressesUnique());

consteval bool BitNamesUnique() {
    for (std::size_t i = 0; i < std::size(kBits); ++i)
        for (std::size_t j = i + 1; j < std::size(kBits); ++j)
            if (SameName(kBits[i], kBits[j])) return false;
    return true;
}
static_assert(BitNamesUnique());

// SFRs and the bits in them live at direct addresses 80H..FFH.
consteval bool AllAtOrAbove80() {
    for (const NameRecord& r : kSfr)
        if (r.addr < 0x80) return false;
    for (const NameRecord& r : kBits)
        if (r.addr < 0x80) return false;
    return true;
}
static_assert(AllAtOrAbove80());

consteval bool OneByteAscending() {
    for (std::size_t i = 1; i < std::size(kOneByte); ++i)
        if (kOneByte[i].opcode < kOneByte[i - 1].opcode) return false;
    return true;
}
static_assert(OneByteAscending());

// A record whose first byte is zero would end a scan of its table early.
consteval bool NoEmptyRecord() {
    for (const OneByteRecord& r : kOneByte)
        if (r.text[0] == 0) return false;
    for (const MultiByteRecord& r : kMultiByte)
        if (r.pattern[0] == 0) return false;
    return true;
}
static_assert(NoEmptyRecord());

// Index of the first record per key byte, -1 when none. Built by the same
// first-match rule as a scan, so it returns exactly what a scan returns.
using ByteIndex = std::array<std::int16_t, 256>;

template <typename Record, std::size_t K, typename Key>
consteval ByteIndex FirstByKey(const Record (&table)[K], Key key) {
    ByteIndex idx{};
    idx.fill(-1);
    for (std::size_t i = K; i-- > 0;) idx[key(table[i])] = static_cast<std::int16_t>(i);
    return idx;
}

constexpr ByteIndex kOneByteByOpcode = FirstByKey(kOneByte, [](const OneByteRecord& r) { return r.opcode; });
constexpr ByteIndex kMultiByteByOpcode = FirstByKey(kMultiByte, [](const MultiByteRecord& r) { return r.opcode; });
constexpr ByteIndex kSfrByAddress = FirstByKey(kSfr, [](const NameRecord& r) { return r.addr; });
constexpr ByteIndex kBitByAddress = FirstByKey(kBits, [](const NameRecord& r) { return r.addr; });

std::optional<std::uint8_t> FindName(std::span<const NameRecord> table, std::string_view name) {
    for (const NameRecord& r : table)
        if (r.Name() == name) return r.addr;
    return std::nullopt;
}

// Cyrillic capitals and small letters of code page 1251 that look like
// Latin ones. Н looks like H, not N.
consteval std::array<std::uint8_t, 256> MakeCyrToLat() {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<std::uint8_t>(i);
    constexpr std::uint8_t kPairs[][2] = {
        {0xC0, 'A'}, {0xC2, 'B'}, {0xC5, 'E'}, {0xCA, 'K'}, {0xCC, 'M'}, {0xCD, 'H'},
        {0xCE, 'O'}, {0xD0, 'P'}, {0xD1, 'C'}, {0xD2, 'T'}, {0xD5, 'X'}, {0xE0, 'a'},
        {0xE5, 'e'}, {0xEE, 'o'}, {0xF0, 'p'}, {0xF1, 'c'}, {0xF5, 'x'},
    };
    static_assert(std::size(kPairs) == 17);
    for (const auto& p : kPairs) t[p[0]] = p[1];
    return t;
}

}  // namespace

constinit const std::span<const NameRecord, kSfrCount> SfrTable{kSfr};
constinit const std::span<const NameRecord, kBitCount> BitTable{kBits};
constinit const std::span<const OneByteRecord, kOneByteCount> OneByteCmds{kOneByte};
constinit const std::span<const MultiByteRecord, kMultiByteCount> MultiByteCmds{kMultiByte};

constinit const std::array<std::uint8_t, 256> CyrToLat = MakeCyrToLat();

std::string_view OneByteRecord::Text() const {
    return {text, static_cast<std::size_t>(std::find(text, text + sizeof text, '\0') - text)};
}

std::string_view MultiByteRecord::Pattern() const {
    return {pattern, static_cast<std::size_t>(std::find(pattern, pattern + sizeof pattern, '\0') - pattern)};
}

std::optional<std::uint8_t> FindSfr(std::string_view name) { return FindName(SfrTable, name); }
std::optional<std::uint8_t> FindBit(std::string_view name) { return FindName(BitTable, name); }

const OneByteRecord* OneByteByOpcode(std::uint8_t opcode) {
    int i = kOneByteByOpcode[opcode];
    return i < 0 ? nullptr : &kOneByte[i];
}

const MultiByteRecord* MultiByteByOpcode(std::uint8_t opcode) {
    int i = kMultiByteByOpcode[opcode];
    return i < 0 ? nullptr : &kMultiByte[i];
}

// Every byte 1..8 of a pattern is an operand field of one byte; addr16
// takes a second one.
int PatternLength(std::string_view pattern) {
    int length = 1;
    for (char c : pattern) {
        auto b = static_cast<std::uint8_t>(c);
        if (b >= 1 && b <= 8) ++length;
        if (b == kAddr16) ++length;
    }
    return length;
}

std::string_view OperandWord(std::uint8_t code) {
    switch (code) {
        case kAddr11: return "addr11";
        case kRel8: return "rel8";
        case kData8: return "data8";
        case kAddr16: return "addr16";
        default: return code >= kBit && code <= 8 ? "bit" : "";
    }
}

std::string BitDecode(std::uint8_t bitAddress) {
    // Bits 00H..7FH are the bits of RAM bytes 20H..2FH, eight to a byte.
    if (bitAddress <= 0x7F) {
        std::string s = ByteToHex2(static_cast<std::uint8_t>(0x20 + (bitAddress >> 3)));
        s += "H.";
        s += static_cast<char>('0' + (bitAddress & 7));
        return s;
    }
    if (int i = kBitByAddress[bitAddress]; i >= 0) return std::string(kBits[i].Name());
    return DecodData8(bitAddress);
}

std::string DecodData8(std::uint8_t address) {
    int i = kSfrByAddress[address];
    return i < 0 ? std::string() : std::string(kSfr[i].Name());
}

}  // namespace z51
