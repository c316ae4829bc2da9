// Data directives in whole sources: the bytes in the code image, the
// addresses that follow, the listing fields and the errors.
#include <gtest/gtest.h>

#include "tests/support/assembly.h"

using namespace z51::test;

TEST(DataDirectives, StringsAndTheirEndings) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "\tDB 'AB'\n"       // 0
        "\tDBZ 'AB'\n"      // 2
        "\tDBE 'AB'\n"      // 5
        "\tSTRCR 'AB'\n"    // 7
        "\tSTRW 'AB'\n"     // 10
        "\tSTRWCR 'a b'\n"  // 12
        "\tSTR 'x,y'\n"     // 16
        "\tDB ''\n"         // 19, nothing
        "\tDBZ ''\n"        // 19
        "\tDB 0EEH\n"));    // 20
    EXPECT_EQ(r.Image(0, 21), (Bytes{0x41, 0x42, 0x41, 0x42, 0x00, 0x41, 0xC2, 0x41, 0x42, 0x0D, 0x41,
                                    0x42, 0x61, 0x20, 0x62, 0x0D, 0x78, 0x2C, 0x79, 0x00, 0xEE}));
}

TEST(DataDirectives, SemicolonInsideQuotesIsData) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tDB 'a;b' ; the comment\n\tDB ';'\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{0x61, 0x3B, 0x62, 0x3B, 0xFF}));
    // The comment starts after the closing quote, behind the blanks.
    const z51::FieldSpanSet& f = r.State().FieldSpans;  // of the last line
    EXPECT_EQ(f.Operand1Span.start, 5);
    EXPECT_EQ(f.Operand1Span.end, 7);
}

TEST(DataDirectives, QuotedTextSpansAndComment) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tDB 'a;b' ; c\n"));
    const z51::FieldSpanSet& f = r.State().FieldSpans;
    EXPECT_EQ(f.Operand1Span.start, 5);
    EXPECT_EQ(f.Operand1Span.end, 9);
    EXPECT_EQ(f.TrailGap.start, 10);
    EXPECT_EQ(f.CommentStart, 11);
    EXPECT_EQ(r.State().Operand1, "'a;b'");
}

TEST(DataDirectives, LcdTextThroughTheCharacterGenerator) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tLCD 'Привет'\n\tLCD 'Ok 1'\n"));
    EXPECT_EQ(r.Image(0, 10), (Bytes{0xA8, 0x70, 0xB8, 0xB3, 0x65, 0xBF, 0x4F, 0x6B, 0x20, 0x31}));
}

TEST(DataDirectives, StringWithoutClosingQuoteRunsToTheEnd) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tDB 'ab c\n\tDB 1\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{0x61, 0x62, 0x20, 0x63, 0x01}));
}

TEST(DataDirectives, NumericListsEndAtABlankWithNoCommaBesideIt) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tDB 1,2,0FFH\n\tDB 1, 2\n\tDB $,'A'+1\n\tDB 3;x\n\tDB 4 5\n"));
    EXPECT_EQ(r.Image(0, 10), (Bytes{0x01, 0x02, 0xFF, 0x01, 0x02, 0x05, 0x42, 0x03, 0x04, 0xFF}));
    // An operand that begins with a quote is a string; a comma after the
    // closing quote goes on with the list, anything else there is a
    // comment (DBZ ends a string with zero).
    Assembly s;
    ASSERT_TRUE(s.Assemble("\tDB 'A',0\n\tDBZ 'A'\n\tDB 'B'+1\n"));
    EXPECT_EQ(s.Image(0, 6), (Bytes{0x41, 0x00, 0x41, 0x00, 0x42, 0xFF}));
}

TEST(DataDirectives, BareByteList) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\t1,2,3,4\n\t10H,20H ; two\n"));
    EXPECT_EQ(r.Image(0, 7), (Bytes{1, 2, 3, 4, 0x10, 0x20, 0xFF}));
}

TEST(DataDirectives, InvalidListItemIsReported) {
    Assembly r;
    EXPECT_FALSE(r.Assemble("\tDB 1,NOWHERE,3\n"));
    EXPECT_TRUE(r.Shows("Строка выше с директивами ассемблера не опознана!"));
    Assembly bare;
    EXPECT_FALSE(bare.Assemble("\t1,NOWHERE,3\n"));
    EXPECT_TRUE(bare.Shows("Аргумент должен иметь числовое значение!"));
}

TEST(DataDirectives, WordsAndSingleBytes) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "\tDW 1234H\n"     // 0
        "\tDEFL TABLE\n"   // 2
        "\tDEF8 .LO.TABLE\n"  // 4
        "\tDW -2\n"        // 5
        "TABLE:\tDB 0\n"));  // 7
    EXPECT_EQ(r.Image(0, 8), (Bytes{0x12, 0x34, 0x00, 0x07, 0x07, 0xFF, 0xFE, 0x00}));
}

TEST(DataDirectives, UnresolvedOperandIsReportedInTheFinalPassOnly) {
    Assembly r;
    r.FirstPass("\tDW LATER\n\tDEF8 LATER\n\tDB 1,LATER\n\t2,LATER\nLATER:\tDB 1\n");
    EXPECT_EQ(r.ErrorCount(), 0);
    Assembly bad;
    EXPECT_FALSE(bad.Assemble("\tDW NOWHERE\n\tREL NOWHERE\n\tDS NOWHERE\n"));
    EXPECT_EQ(bad.ErrorCount(), 3);
    EXPECT_TRUE(bad.Shows("Аргумент должен иметь числовое значение!"));
}

TEST(DataDirectives, LintIsAPlainDecimalAndKeepsItsLastValue) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tLINT 305419896\n\tLINT SYMBOL\n\tLINT -1\n\tLINT 12H\n"));
    EXPECT_EQ(r.Image(0, 16), (Bytes{0x78, 0x56, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                    0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(r.State().LintValue, -1);
}

TEST(DataDirectives, PackedFloats) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "\tFLT2 2.5\n"    // 0
        "\tFLT2 -1\n"     // 4
        "\tFLT2 0.1\n"    // 8
        "\tFLT2 1.2.3\n"  // 12
        "\tFLT3 -1\n"     // 16
        "\tFLT3 0\n"));   // 22
    EXPECT_EQ(r.Image(0, 16), (Bytes{0x40, 0x20, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00, 0x3D, 0xCC, 0xCC, 0xCD, 0x3F,
                                    0xC0, 0x00, 0x00}));
    EXPECT_EQ(r.Image(16, 13), (Bytes{0xBF, 0xF0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF}));
}

TEST(DataDirectives, FloatOverflowKeepsThePreviousValue) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tFLT2 2.5\n\tFLT2 " + std::string(40, '9') + "\n"));
    EXPECT_EQ(r.Image(4, 4), (Bytes{0x40, 0x20, 0x00, 0x00}));
}

TEST(DataDirectives, RelAndDs) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "\tORG 0100H\n"
        "\tREL 0110H\n"  // 0100: 0F
        "\tREL 0100H\n"  // 0101: FE
        "\tDS 3\n"       // 0102..0104
        "\tDS 256\n"     // nothing
        "\tDS 300\n"     // 0105..0130: 44 bytes
        "\tDB 77H\n"));  // 0131
    EXPECT_EQ(r.Image(0x100, 5), (Bytes{0x0F, 0xFE, 0, 0, 0}));
    EXPECT_EQ(r.Image(0x105, 44), Bytes(44, 0));
    EXPECT_EQ(r.Image(0x131, 1), Bytes{0x77});
}

TEST(DataDirectives, LinesOver256BytesKeepTheFirst256AndReportIt) {
    Assembly r;
    const std::string longText(300, 'z');
    EXPECT_FALSE(r.Assemble("\tDB '" + longText + "'\n\tDB 1\n"));
    EXPECT_TRUE(r.Shows("Данные строки превышают 256 байт!"));
    EXPECT_EQ(r.Image(0, 256), Bytes(256, 'z'));
    EXPECT_EQ(r.Image(256, 1), Bytes{0x01});  // the next line follows the kept bytes

    std::string list = "\tDB 0";
    for (int i = 1; i < 260; ++i) list += ",1";
    Assembly l;
    EXPECT_FALSE(l.Assemble(list + "\n"));
    EXPECT_TRUE(l.Shows("Данные строки превышают 256 байт!"));
    Assembly exact;
    EXPECT_TRUE(exact.Assemble("\tDBZ '" + std::string(255, 'q') + "'\n"));
}

TEST(DataDirectives, ListingShowsAtMostThreeBytes) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tDB 'ABCD'\n"));
    EXPECT_TRUE(r.Shows("    1 0000 41 42 43 "));
}
