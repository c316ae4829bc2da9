// The byte generators of the data directives, on their own.
#include "assembler/datadir.h"

#include <gtest/gtest.h>

#include "assembler/winlcd.h"
#include "core/cp1251.h"

using namespace z51;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Str(DataDirective d, std::string_view text) {
    LineData out;
    StringBytes(d, text, out);
    return out.Bytes();
}

// Decimal numbers and a few names; everything else is invalid with 0.
EvalResult FakeEval(const std::string& t) {
    if (t == "TEN") return {10, true};
    if (!t.empty() && t.find_first_not_of("0123456789") == std::string::npos) return {std::stoi(t), true};
    if (t == "0FFH") return {255, true};
    return {0, false};
}

}  // namespace

TEST(StringBytes, EndingsOfEachDirective) {
    EXPECT_EQ(Str(DataDirective::DB, "AB"), (Bytes{0x41, 0x42}));
    EXPECT_EQ(Str(DataDirective::DBZ, "AB"), (Bytes{0x41, 0x42, 0x00}));
    EXPECT_EQ(Str(DataDirective::DBE, "AB"), (Bytes{0x41, 0xC2}));
    EXPECT_EQ(Str(DataDirective::DBE, std::string_view("\xC1", 1)), (Bytes{0x41}));  // bit 7 inverted
    EXPECT_EQ(Str(DataDirective::STRCR, "AB"), (Bytes{0x41, 0x42, 0x0D}));
    EXPECT_EQ(Str(DataDirective::STRWCR, "AB"), (Bytes{0x41, 0x42, 0x0D}));
    EXPECT_EQ(Str(DataDirective::STRW, "AB"), (Bytes{0x41, 0x42}));
    EXPECT_EQ(Str(DataDirective::STR, "a b"), (Bytes{0x61, 0x20, 0x62}));
    EXPECT_EQ(Str(DataDirective::DB, ""), Bytes{});
    EXPECT_EQ(Str(DataDirective::DBE, ""), Bytes{});
    EXPECT_EQ(Str(DataDirective::DBZ, ""), (Bytes{0x00}));
}

TEST(StringBytes, LcdGoesThroughTheCharacterGenerator) {
    // "Привет" after the lookalike letters became Latin: П p и в e т.
    const std::string text = cp("Пpивeт");
    EXPECT_EQ(Str(DataDirective::LCD, text), (Bytes{0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF}));
    EXPECT_EQ(Str(DataDirective::LCD, "Hi!"), (Bytes{0x48, 0x69, 0x21}));
}

TEST(WinLCD, AsciiKeepsItsCodesAndCyrillicMapsIntoTheModulesRange) {
    for (int c = 0x20; c < 0x7B; ++c) EXPECT_EQ(WinLCD[c], c) << c;
    EXPECT_EQ(WinLCD[0x00], 0x20);
    EXPECT_EQ(WinLCD[0x7B], 0x5B);
    EXPECT_EQ(WinLCD[0xC1], 0xA0);  // Б
    EXPECT_EQ(WinLCD[0xDF], 0xB1);  // Я
    EXPECT_EQ(WinLCD[0xFF], 0xC7);  // я
    EXPECT_EQ(WinLCD[0xC0], 0x41);  // А looks like A
}

TEST(ScanQuoted, TextRunsToTheNextQuoteOrTheEnd) {
    const std::string_view line = "\tDB 'a;b' ; c";
    const QuotedText q = ScanQuoted(line, 4);
    EXPECT_EQ(q.text, "a;b");
    EXPECT_EQ(q.close, 8u);
    const QuotedText open = ScanQuoted("\tDB 'abc", 4);
    EXPECT_EQ(open.text, "abc");
    EXPECT_EQ(open.close, std::string_view::npos);
    EXPECT_EQ(ScanQuoted("DB ''", 3).text, "");
    EXPECT_EQ(ScanQuoted("DB '", 3).text, "");
    EXPECT_EQ(ScanQuoted("DB", 7).text, "");
}

TEST(ByteList, ItemsEndAtCommasAndTheListAtABlank) {
    LineData out;
    ByteListScan s = ByteListBytes("\tDB 1,2,0ffh ; x", 4, FakeEval, out);
    EXPECT_EQ(out.Bytes(), (Bytes{1, 2, 0xFF}));
    EXPECT_TRUE(s.allValid);
    EXPECT_EQ(s.stop, 12u);

    LineData two;
    ByteListBytes("DB 1, 2 ,3 , 4 5", 3, FakeEval, two);  // only a blank with no comma beside it ends the list
    EXPECT_EQ(two.Bytes(), (Bytes{1, 2, 3, 4}));

    LineData bad;
    s = ByteListBytes("1,X,3", 0, FakeEval, bad);
    EXPECT_EQ(bad.Bytes(), (Bytes{1, 0, 3}));  // the invalid item still stores its byte
    EXPECT_FALSE(s.allValid);

    LineData trailing;  // a trailing comma adds nothing more
    ByteListBytes("ten,", 0, FakeEval, trailing);
    EXPECT_EQ(trailing.Bytes(), (Bytes{10}));
}

TEST(LineData, KeepsTheFirst256BytesAndMarksTheRest) {
    LineData out;
    StringBytes(DataDirective::DBZ, std::string(256, 'x'), out);
    EXPECT_EQ(out.Bytes().size(), 256u);
    EXPECT_TRUE(out.Overflowed());
    LineData exact;
    StringBytes(DataDirective::DB, std::string(256, 'x'), exact);
    EXPECT_FALSE(exact.Overflowed());
}

TEST(SingleValues, ByteOrders) {
    LineData w, l, r, d;
    WordBytes(0x1234, w);
    EXPECT_EQ(w.Bytes(), (Bytes{0x12, 0x34}));
    LintBytes(305419896, l);
    EXPECT_EQ(l.Bytes(), (Bytes{0x78, 0x56, 0x34, 0x12}));
    RelByte(0x0110, 0x0100, r);
    RelByte(0x0100, 0x0100, r);
    EXPECT_EQ(r.Bytes(), (Bytes{0x0F, 0xFF}));
    DsBytes(3, d);
    EXPECT_EQ(d.Bytes(), (Bytes{0, 0, 0}));
    LineData d256, d300;
    DsBytes(256, d256);
    DsBytes(300, d300);
    EXPECT_TRUE(d256.Bytes().empty());
    EXPECT_EQ(d300.Bytes(), Bytes(44, 0));
}

TEST(ParseLint, PlainSigned32BitDecimalOnly) {
    EXPECT_EQ(ParseLint("305419896"), 305419896);
    EXPECT_EQ(ParseLint("-1"), -1);
    EXPECT_EQ(ParseLint("+5"), 5);
    EXPECT_EQ(ParseLint("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseLint("2147483647"), INT32_MAX);
    for (const char* bad : {"2147483648", "-2147483649", "", "-", "12H", "$10", "X", "1 ", "99999999999999999999999"})
        EXPECT_FALSE(ParseLint(bad).has_value()) << bad;
}

TEST(FindDataDirective, ExactWordsOnly) {
    EXPECT_EQ(FindDataDirective("DB"), DataDirective::DB);
    EXPECT_EQ(FindDataDirective("STRWCR"), DataDirective::STRWCR);
    EXPECT_FALSE(FindDataDirective("db").has_value());
    EXPECT_FALSE(FindDataDirective("DBX").has_value());
    EXPECT_TRUE(IsStringDirective(DataDirective::DB, "'A'"));
    EXPECT_FALSE(IsStringDirective(DataDirective::DB, "1,2"));
    EXPECT_TRUE(IsStringDirective(DataDirective::STR, "ABC"));
    EXPECT_FALSE(IsStringDirective(DataDirective::DW, "'A'"));
}
