#include "assembler/floatconst.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

using namespace z51;

namespace {
std::uint32_t Bits2(std::string_view text) { return std::bit_cast<std::uint32_t>(ValFloat2(text).value()); }
std::uint64_t Bits3(std::string_view text) { return std::bit_cast<std::uint64_t>(ValFloat3(text).value()); }
}  // namespace

TEST(ValFloat2, KnownBitPatterns) {
    EXPECT_EQ(Bits2("2.5"), 0x40200000u);
    EXPECT_EQ(Bits2("-1"), 0xBF800000u);
    EXPECT_EQ(Bits2("0.1"), 0x3DCCCCCDu);
    EXPECT_EQ(Bits2("1"), 0x3F800000u);
    EXPECT_EQ(Bits2("100"), 0x42C80000u);
}

TEST(ValFloat2, SecondDotRestartsTheWeights) {
    // 1.2.3 reads as 1 + 0.2 + 0.3.
    EXPECT_FLOAT_EQ(ValFloat2("1.2.3").value(), 1.5f);
}

TEST(ValFloat2, OnlyDigitsDotsAndALeadingMinusCount) {
    EXPECT_EQ(ValFloat2("1E3").value(), 13.0f);  // no exponent notation
    EXPECT_EQ(ValFloat2("2-5").value(), 25.0f);  // a sign only counts first
    EXPECT_EQ(ValFloat2("+7").value(), 7.0f);
    EXPECT_EQ(Bits2(""), 0u);
    EXPECT_EQ(Bits2("ABC"), 0u);
    EXPECT_EQ(Bits2("-0"), 0x80000000u);
}

TEST(ValFloat2, OverflowFails) {
    EXPECT_FALSE(ValFloat2(std::string(39, '9')).has_value());
    EXPECT_TRUE(ValFloat2(std::string(38, '9')).has_value());
    EXPECT_FALSE(ValFloat3(std::string(400, '9')).has_value());
}

TEST(ValFloat2, TinyWeightsAddNothing) {
    std::string text = "1." + std::string(60, '0') + "9";
    EXPECT_EQ(ValFloat2(text).value(), 1.0f);
}

TEST(ValFloat3, FractionWeightsAreBinary32) {
    // The weight of the first fraction digit is the binary32 nearest 0.1.
    EXPECT_EQ(ValFloat3("0.1").value(), static_cast<double>(std::bit_cast<float>(0x3DCCCCCDu)));
    // so 2.5 is 2 + 5 * 0.100000001490116..., not 2.5 itself.
    EXPECT_EQ(ValFloat3("2.5").value(), 2.0 + 5.0 * static_cast<double>(std::bit_cast<float>(0x3DCCCCCDu)));
    EXPECT_EQ(ValFloat3("2").value(), 2.0);
    EXPECT_EQ(Bits3("-1"), 0xBFF0000000000000ull);
    // Integers keep binary64 precision.
    EXPECT_EQ(ValFloat3("16777217").value(), 16777217.0);
    EXPECT_EQ(ValFloat2("16777217").value(), 16777216.0f);
}

TEST(PackedBytes, MostSignificantFirst) {
    const auto f2 = Flt2Bytes(2.5f);
    EXPECT_EQ((std::vector<std::uint8_t>(f2.begin(), f2.end())), (std::vector<std::uint8_t>{0x40, 0x20, 0x00, 0x00}));
    const auto f3 = Flt3Bytes(-1.0);
    EXPECT_EQ((std::vector<std::uint8_t>(f3.begin(), f3.end())),
              (std::vector<std::uint8_t>{0xBF, 0xF0, 0x00, 0x00, 0x00, 0x00}));
}

TEST(PackedBytes, Flt3WithTwoZeroBytesRestoresTheDouble) {
    // A binary64 value whose low 16 bits are zero survives the six bytes.
    const double v = ValFloat3("-1234").value();
    const auto b = Flt3Bytes(v);
    std::uint64_t bits = 0;
    for (std::uint8_t x : b) bits = bits << 8 | x;
    bits <<= 16;
    EXPECT_EQ(std::bit_cast<double>(bits), v);
    EXPECT_EQ(v, -1234.0);
    const auto b25 = Flt3Bytes(ValFloat3("2.5").value());
    EXPECT_EQ(b25[0], 0x40);  // sign and exponent lead
    EXPECT_EQ(b25[1], 0x04);
}
