// ADD/ADDC/SUBB flag rules (exhaustively, against an independent formula),
// the bit address mapping and DA A.

#include <gtest/gtest.h>

#include "emulator/alu.h"
#include "tests/support/emulator.h"

namespace z51::test {
namespace {

using AluTest = EmuTest;

// Reference flags from the result bits: for a sum or difference r of a and
// v, the carry (borrow) into bit n is bit n of a ^ v ^ r.
struct Expect {
    std::uint8_t a;
    std::uint8_t psw;
};
constexpr std::uint8_t kOtherBits = psw::F0 | psw::RS0 | 0x02 | psw::P;  // must survive

Expect RefAdd(unsigned a, unsigned v, unsigned c, std::uint8_t psw0) {
    const unsigned r = a + v + c;
    const bool cy = r > 0xFF;
    const bool ac = ((a ^ v ^ r) & 0x10) != 0;
    const bool ov = (~(a ^ v) & (a ^ r) & 0x80) != 0;  // operands alike in sign, result not
    return {static_cast<std::uint8_t>(r),
            static_cast<std::uint8_t>((psw0 & kOtherBits) | (cy ? psw::CY : 0) | (ac ? psw::AC : 0) | (ov ? psw::OV : 0))};
}

Expect RefSub(unsigned a, unsigned v, unsigned c, std::uint8_t psw0) {
    const int r = static_cast<int>(a) - static_cast<int>(v) - static_cast<int>(c);
    const unsigned ru = static_cast<unsigned>(r) & 0xFF;
    const bool cy = r < 0;
    const bool ac = ((a ^ v ^ ru) & 0x10) != 0;
    const bool ov = ((a ^ v) & (a ^ ru) & 0x80) != 0;  // operands differ in sign, result takes v's sign
    return {static_cast<std::uint8_t>(ru),
            static_cast<std::uint8_t>((psw0 & kOtherBits) | (cy ? psw::CY : 0) | (ac ? psw::AC : 0) | (ov ? psw::OV : 0))};
}

TEST_F(AluTest, AddAddcSubbMatchReferenceForAllOperandsAndCarries) {
    int failures = 0;
    for (unsigned carry = 0; carry < 2; ++carry) {
        // Everything set except CY/AC/OV, so a helper that touches another bit shows.
        const std::uint8_t psw0 = static_cast<std::uint8_t>(kOtherBits | (carry ? psw::CY : 0) | psw::OV);
        for (unsigned a = 0; a < 256 && failures < 10; ++a) {
            for (unsigned v = 0; v < 256; ++v) {
                const auto check = [&](const char* what, Expect want) {
                    if (c.A() != want.a || c.PSW() != want.psw) {
                        ADD_FAILURE() << what << " a=" << a << " v=" << v << " cy=" << carry << ": A=" << int(c.A())
                                      << " PSW=" << std::hex << int(c.PSW()) << ", want A=" << std::dec << int(want.a)
                                      << " PSW=" << std::hex << int(want.psw);
                        ++failures;
                    }
                };
                c.A() = static_cast<std::uint8_t>(a), c.PSW() = psw0;
                mcuAdd(c, static_cast<std::uint8_t>(v));
                check("ADD", RefAdd(a, v, 0, psw0));
                c.A() = static_cast<std::uint8_t>(a), c.PSW() = psw0;
                mcuAddc(c, static_cast<std::uint8_t>(v));
                check("ADDC", RefAdd(a, v, carry, psw0));
                c.A() = static_cast<std::uint8_t>(a), c.PSW() = psw0;
                mcuSub(c, static_cast<std::uint8_t>(v));
                check("SUBB", RefSub(a, v, carry, psw0));
            }
        }
    }
}

struct FlagCase {
    const char* what;
    std::uint8_t a, v;
    bool cyIn;
    std::uint8_t wantA;
    bool cy, ac, ov;
};

TEST_F(AluTest, HandWorkedFlagTable) {
    const FlagCase cases[] = {
        {"ADD", 0x7F, 0x01, false, 0x80, false, true, true},
        {"ADD", 0xFF, 0x01, false, 0x00, true, true, false},
        {"ADD", 0x80, 0x80, false, 0x00, true, false, true},
        {"ADDC", 0x00, 0x0F, true, 0x10, false, true, false},
        {"SUBB", 0x00, 0x01, false, 0xFF, true, true, false},
        {"SUBB", 0x80, 0x01, false, 0x7F, false, true, true},
        {"SUBB", 0x35, 0x12, false, 0x23, false, false, false},
    };
    for (const FlagCase& k : cases) {
        c.A() = k.a;
        c.PSW() = k.cyIn ? psw::CY : 0;
        const std::string what = k.what;
        if (what == "ADD") mcuAdd(c, k.v);
        else if (what == "ADDC") mcuAddc(c, k.v);
        else mcuSub(c, k.v);
        SCOPED_TRACE(what + " " + std::to_string(k.a) + "," + std::to_string(k.v));
        EXPECT_EQ(c.A(), k.wantA);
        EXPECT_EQ((c.PSW() & psw::CY) != 0, k.cy);
        EXPECT_EQ((c.PSW() & psw::AC) != 0, k.ac);
        EXPECT_EQ((c.PSW() & psw::OV) != 0, k.ov);
    }
}

TEST_F(AluTest, BitAddressMapping) {
    struct { std::uint8_t bit, byte, mask; } map[] = {
        {0x00, 0x20, 0x01}, {0x07, 0x20, 0x80}, {0x08, 0x21, 0x01}, {0x7F, 0x2F, 0x80}, {0x8A, 0x88, 0x04},
        {0xD7, 0xD0, 0x80}, {0xE0, 0xE0, 0x01}, {0xF7, 0xF0, 0x80}, {0x80, 0x80, 0x01}, {0xFF, 0xF8, 0x80},
    };
    for (const auto& m : map) {
        SCOPED_TRACE(int(m.bit));
        c.dump.fill(0);
        mcuSetBit(c, m.bit, 1);
        EXPECT_EQ(c.dump[m.byte], m.mask);
        EXPECT_TRUE(mcuCheckBit(c, m.bit));
        int nonZero = 0;
        for (auto b : c.dump) nonZero += b != 0;
        EXPECT_EQ(nonZero, 1);
        c.dump[m.byte] = static_cast<std::uint8_t>(~m.mask);
        EXPECT_FALSE(mcuCheckBit(c, m.bit));
    }
    // Only a value of exactly 1 sets the bit.
    c.dump[0x20] = 0xFF;
    mcuSetBit(c, 0x03, 2);
    EXPECT_EQ(c.dump[0x20], 0xF7);
    mcuSetBit(c, 0x03, 0xFF);
    EXPECT_EQ(c.dump[0x20], 0xF7);
    mcuSetBit(c, 0x03, 1);
    EXPECT_EQ(c.dump[0x20], 0xFF);
}

TEST_F(AluTest, DecimalAdjustHandWorked) {
    c.A() = 0x9A, c.PSW() = 0;
    DecimalAdjust(c);
    EXPECT_EQ(c.A(), 0x00);
    EXPECT_TRUE(c.CY());

    // AC set: 0x08 + 0x08 = 0x10 with AC -> 16
    c.A() = 0x10, c.PSW() = psw::AC;
    DecimalAdjust(c);
    EXPECT_EQ(c.A(), 0x16);
    EXPECT_FALSE(c.CY());

    // CY in: 0x90 + 0x90 = 0x120 -> A 20 CY 1 -> DA gives 80, CY stays
    c.A() = 0x20, c.PSW() = psw::CY;
    DecimalAdjust(c);
    EXPECT_EQ(c.A(), 0x80);
    EXPECT_TRUE(c.CY());

    // DA never clears CY and leaves AC, OV and P alone.
    c.A() = 0x12, c.PSW() = psw::CY | psw::OV | psw::P;
    DecimalAdjust(c);
    EXPECT_EQ(c.A(), 0x72);
    EXPECT_EQ(c.PSW(), psw::CY | psw::OV | psw::P);
}

// ADD (or ADDC with a carry in) of two packed BCD numbers followed by DA A
// gives the BCD sum, with CY as the hundreds digit.
TEST_F(AluTest, DecimalAdjustAfterBcdAdditionForAllDigitPairs) {
    auto bcd = [](unsigned n) { return static_cast<std::uint8_t>((n / 10) << 4 | n % 10); };
    for (unsigned carry = 0; carry < 2; ++carry)
        for (unsigned x = 0; x < 100; ++x)
            for (unsigned y = 0; y < 100; ++y) {
                c.A() = bcd(x);
                c.PSW() = carry ? psw::CY : 0;
                mcuAddc(c, bcd(y));
                DecimalAdjust(c);
                const unsigned sum = x + y + carry;
                ASSERT_EQ(c.A(), bcd(sum % 100)) << x << "+" << y << "+" << carry;
                ASSERT_EQ(c.CY(), sum >= 100) << x << "+" << y << "+" << carry;
            }
}

}  // namespace
}  // namespace z51::test
