#include "disassembler/encoder_choice.h"

#include <gtest/gtest.h>

using namespace z51;

// The record the encoder picks for a text, as the label disassembly checks it.
TEST(EncoderChoice, NamesThatChangeTheRecord) {
    EXPECT_EQ(PickRecord("INC\tACC", false), (EncoderPick{true, 0x04}));
    EXPECT_EQ(PickRecord("INC\t0E0H", false), (EncoderPick{false, 0x05}));
    EXPECT_EQ(PickRecord("MOV\tR0,ACC", false), (EncoderPick{true, 0xF8}));
    EXPECT_EQ(PickRecord("MOV\tACC,#012H", false), (EncoderPick{false, 0x74}));
    // "A" is no reserved word: MOV A,ACC fits MOV {data8},ACC first.
    EXPECT_EQ(PickRecord("MOV\tA,ACC", false), (EncoderPick{false, 0xF5}));
    EXPECT_EQ(PickRecord("MOV\tACC,A", false), (EncoderPick{false, 0xF5}));
    EXPECT_EQ(PickRecord("MOV\tC,RI", false), (EncoderPick{false, 0xA2}));
    EXPECT_EQ(PickRecord("RR\tANYTHING", false), (EncoderPick{true, 0x03}));  // a bare spelling takes any operand
    EXPECT_FALSE(PickRecord("FOO\tA", false).has_value());
    EXPECT_TRUE(EncodesAs("PUSH\tACC", false, 0xC0));
    EXPECT_FALSE(EncodesAs("DEC\tACC", false, 0x15));
    // An indirect operand is no direct address: MOV {data8},A does not take
    // @R2, as the assembler does not.
    EXPECT_FALSE(PickRecord("MOV\t@R2,A", false).has_value());
    EXPECT_FALSE(PickRecord("INC\t@DPTR", false).has_value());
}

TEST(EncoderChoice, AbsentOperandsReadAsR0) {
    // The encoder reads a missing second operand as R0: "MOV A," is MOV A,R0.
    EXPECT_EQ(PickRecord("MOV\tA,", false), (EncoderPick{false, 0xE5}));
    EXPECT_EQ(PickRecord("MOV\tA,", true), (EncoderPick{true, 0xE8}));
    EXPECT_FALSE(EncodesAs("MOV\tA,", false, 0xE5));  // the two readings disagree
}
