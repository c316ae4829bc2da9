// The instruction text of the panel, the trace and the plain disassembly.

#include <gtest/gtest.h>

#include "isa/opcode_map.h"

namespace z51 {
namespace {

std::string Text(std::uint16_t pc, std::uint8_t op, std::uint8_t b1 = 0, std::uint8_t b2 = 0) {
    return DecodeInstruction(pc, {op, b1, b2}).Text();
}

TEST(Decode, CanonicalSpellingsAndOperands) {
    EXPECT_EQ(Text(0, 0x00), "NOP");
    EXPECT_EQ(Text(0, 0xFF), "MOV\tR7,A");
    EXPECT_EQ(Text(0, 0x03), "RR\tA");
    EXPECT_EQ(Text(0, 0x84), "DIV\tAB");
    EXPECT_EQ(Text(0, 0x83), "MOVC\tA,@A+PC");
    EXPECT_EQ(Text(0, 0x74, 0x12), "MOV\tA,#012H");
    EXPECT_EQ(Text(0, 0xF5, 0xE0), "MOV\t0E0H,A");
    EXPECT_EQ(Text(0, 0x75, 0x30, 0xFF), "MOV\t030H,#0FFH");
    EXPECT_EQ(Text(0, 0x90, 0x12, 0x34), "MOV\tDPTR,#01234H");
    EXPECT_EQ(Text(0, 0x02, 0x12, 0x34), "LJMP\t01234H");
    EXPECT_EQ(Text(0, 0xD2, 0xD7), "SETB\tCY");
    EXPECT_EQ(Text(0, 0xB0, 0x07), "ANL\tC,/20H.7");
    EXPECT_EQ(Text(0, 0x92, 0x91), "MOV\tP1.1,C");
}

TEST(Decode, MovDirectDirectShowsDestinationFirst) {
    EXPECT_EQ(Text(0, 0x85, 0x30, 0x40), "MOV\t040H,030H");
}

TEST(Decode, RelativeOperandsShowTheirTargets) {
    EXPECT_EQ(Text(0x0010, 0x80, 0xFE), "SJMP\t00010H");
    EXPECT_EQ(Text(0x0100, 0xD8, 0x05), "DJNZ\tR0,00107H");
    EXPECT_EQ(Text(0x0100, 0xD5, 0x30, 0xFD), "DJNZ\t030H,00100H");
    EXPECT_EQ(Text(0x0100, 0x20, 0xE7, 0x10), "JB\tACC.7,00113H");
    EXPECT_EQ(Text(0x0100, 0xB4, 0x10, 0x80), "CJNE\tA,#010H,00083H");
    EXPECT_EQ(Text(0x0000, 0x80, 0x80), "SJMP\t0FF82H");
}

TEST(Decode, AjmpAcallTargetsInThePageOfPcPlus2) {
    EXPECT_EQ(Text(0x0000, 0x61, 0x12), "AJMP\t00312H");
    EXPECT_EQ(Text(0x0900, 0x31, 0x23), "ACALL\t00923H");
    EXPECT_EQ(Text(0x07FE, 0x01, 0x10), "AJMP\t00810H");
    EXPECT_EQ(Text(0xF000, 0xE1, 0xFF), "AJMP\t0F7FFH");
}

TEST(Decode, A5IsAByteOfData) {
    const auto d = DecodeInstruction(0, {0xA5, 0, 0});
    EXPECT_EQ(d.mnemonic, "DB");
    EXPECT_EQ(d.operands, "165");
    EXPECT_EQ(d.length, 1);
}

}  // namespace
}  // namespace z51
