#include "core/cp1251.h"

#include <gtest/gtest.h>

using namespace z51;

TEST(Cp1251, RoundTripsEveryAssignedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned in the code page
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8To1251(Cp1251ToUtf8(one)), one) << b;
    }
}

TEST(Cp1251, KnownLetters) {
    EXPECT_EQ(cp("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(cp("ё…№"), "\xB8\x85\xB9");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF"), "Ая");
}

TEST(Cp1251, BadUtf8AndMissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8To1251("a\xFF" "b"), "a?b");
    EXPECT_EQ(Utf8To1251("\xD0"), "?");          // truncated sequence
    EXPECT_EQ(Utf8To1251("日"), "?");            // not in the code page
}
