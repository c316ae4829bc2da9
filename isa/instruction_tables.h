#pragma once
// The two instruction tables as constant data that the compiler sees, so
// that the opcode map (isa/opcode_map.h) is built from them at compile
// time. Everything else reads them through OneByteCmds and MultiByteCmds
// (isa/tables.h).

#include <array>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "isa/tables.h"

namespace z51 {
namespace detail {

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

// string_view::find for the compile-time builds: GCC 12 does not take the
// library's pointer-returning search as a constant expression when the
// undefined-behaviour sanitizer instruments it.
constexpr std::size_t FindChar(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] == c) return i;
    return std::string_view::npos;
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
            std::size_t close = FindChar(s, '}', i);
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

// One-byte instructions in ascending opcode order. The first record of an
// opcode is its canonical spelling; the records after it are aliases:
// the accumulator spelt ACC in every combination, and the glued or bare
// forms ("RRA", "RR", "DIVA" ...).
inline constexpr OneByteRecord kOneByteRecords[] = {
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
inline constexpr MultiByteRecord kMultiByteRecords[] = {
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

static_assert(std::size(kOneByteRecords) == kOneByteCount);
static_assert(std::size(kMultiByteRecords) == kMultiByteCount);

}  // namespace detail
}  // namespace z51
