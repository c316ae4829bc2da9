// Listing prefix, symbol listing, the .Bin file (sizes, ranges, .IDENT
// date) and the .Hex file (width, line ends, skipped FFH records).

#include "assembler/listing.h"

#include <sys/stat.h>

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

using PaneRun = RecordingPane::Run;

class ListingTest : public LineFixture {};

TEST_F(ListingTest, PrefixOfALine) {
    st.LineNo = 7;
    st.LineAddr = 0x12;
    st.LineHandled = 1;
    st.LineByteCount = 2;
    st.LineBytes[0] = 0x80;
    st.LineBytes[1] = 0xFE;
    pane.AddLine("");
    PrintNumCodeStr(st, pane);
    ASSERT_EQ(pane.Lines().size(), 2u);
    EXPECT_EQ(pane.Lines()[1], (RecordingPane::Line{{clr::Maroon, "    7 "}, {clr::Teal, "0012 "}, {clr::Black, "80 FE    "}}));
}

TEST_F(ListingTest, PrefixShowsAtMostThreeBytesAndNoneForUnhandledLines) {
    st.LineNo = 1;
    st.LineAddr = 0x12345;  // only the low 16 bits are shown
    st.LineHandled = 1;
    st.LineByteCount = 5;
    PrintNumCodeStr(st, pane);
    EXPECT_EQ(pane.LineText(0), "    1 2345 00 00 00 ");  // line 1 opens the pane
    st.LineNo = 2;
    st.LineHandled = 0;
    PrintNumCodeStr(st, pane);
    EXPECT_EQ(pane.LineText(1), "    2 2345          ");
    st.LineNo = 123456;  // wider than five columns: in full
    PrintNumCodeStr(st, pane);
    EXPECT_EQ(pane.LineText(2), "123456 2345          ");
}

TEST_F(ListingTest, EchoColoursFieldsAndCommentTokens) {
    Asm("LOOP:\tmov\tA,#5 ; wait @PORT\\x1");
    pane.Clear();
    EchoLine(st, pane);
    ASSERT_EQ(pane.Lines().size(), 1u);
    EXPECT_EQ(pane.Lines()[0], (RecordingPane::Line{
                                   {clr::Red, "LOOP:"},
                                   {clr::Black, "\t"},
                                   {clr::Blue, "MOV"},
                                   {clr::Black, "\t"},
                                   {clr::Green, "A"},
                                   {clr::Black, ","},
                                   {clr::Fuchsia, "#5"},
                                   {clr::Black, " "},
                                   {clr::Navy, "; wait "},
                                   {clr::Purple, "@PORT\\x"},  // marked words
                                   {clr::Navy, "1"},
                               }));
    // A marked word at the end of the line is maroon; Cyrillic letters
    // extend a word like Latin ones (о and е have become Latin letters).
    Asm("\tNOP ;@конец");
    pane.Clear();
    EchoLine(st, pane);
    EXPECT_EQ(pane.Lines()[0].back(), (PaneRun{clr::Maroon, cp("@к") + "o" + cp("н") + "e" + cp("ц")}));
    // The third operand and the leading blanks.
    Asm("  \tCJNE A,#1,$");
    pane.Clear();
    EchoLine(st, pane);
    EXPECT_EQ(pane.Lines()[0].front(), (PaneRun{clr::Black, "  \t"}));
    EXPECT_EQ(pane.Lines()[0].back(), (PaneRun{clr::Red, "$"}));
}

TEST_F(ListingTest, PageHeaderEveryPageLengthLines) {
    st.PageLength = 10;
    st.TitleText = "ABCDEF";
    st.LineNo = 20;
    PrintNumCodeStr(st, pane);
    EXPECT_EQ(pane.LineText(0), "\tABCDEF");
    EXPECT_EQ(pane.Lines()[0][0].color, clr::Navy);
    EXPECT_EQ(pane.LineText(1), std::string(11, ' ') + "- 3 -");
    st.LineNo = 21;
    pane.Clear();
    PrintNumCodeStr(st, pane);
    EXPECT_EQ(pane.Lines().size(), 1u);
}

TEST_F(ListingTest, SymbolListingLayout) {
    const char* names[] = {"A1", "B2", "C3", "D4", "E5", "F6", "G7", "H8"};
    for (int i = 0; i < 8; ++i) {
        GetIndex_LBLEQU(st, names[i]);
        SaveIndex_LBLEQU(st, 0x10 * i);
    }
    GetIndex_LBLEQU(st, "NOVAL");  // listed although it never got a value
    st.RegAlias[3] = "CNT";
    SymbolListing(st, pane);
    ASSERT_EQ(pane.Lines().size(), 5u);
    EXPECT_EQ(Cp1251ToUtf8(pane.LineText(0)), "Таблица меток и приравниваний [9]:");
    EXPECT_EQ(pane.LineText(1),
              "A1     0000 | B2     0010 | C3     0020 | D4     0030 | E5     0040 | F6     0050 | G7     0060");
    EXPECT_EQ(pane.LineText(2), "H8     0070 | NOVAL  0000");
    EXPECT_EQ(Cp1251ToUtf8(pane.LineText(3)), "Объявления регистров R0..R7:");
    EXPECT_EQ(pane.LineText(4), "R3 : CNT");
}

TEST_F(ListingTest, SymbolListingWidensForLongNames) {
    GetIndex_LBLEQU(st, "A_RATHER_LONG_NAME");  // 18 characters: 80 div 26 + 1 = 4 per line
    SaveIndex_LBLEQU(st, -1);
    for (int i = 0; i < 4; ++i) GetIndex_LBLEQU(st, "N" + std::to_string(i));
    SymbolListing(st, pane);
    EXPECT_EQ(pane.LineText(1), "A_RATHER_LONG_NAME  FFFF | N0                  0000 | N1                  0000 | "
                                "N2                  0000");
    EXPECT_EQ(pane.LineText(2), "N3                  0000");
}

TEST(OutputNames, NextToTheSource) {
    EXPECT_EQ(OutputName("dir/PROG.A51", "Bin"), "dir/PROG.Bin");
    EXPECT_EQ(OutputName("dir/prog", "Hex"), "dir/prog.Hex");
    EXPECT_EQ(OutputName("my.dir/prog", "Bin"), "my.dir/prog.Bin");
    EXPECT_EQ(OutputName("a.b.asm", "Bin"), "a.b.Bin");
}

TEST(IdentDates, TemplateDayFirst) {
    std::tm tm{};
    auto t = ParseIdentDate("24.12.2025 18:30");
    ASSERT_TRUE(t.has_value());
    localtime_r(&*t, &tm);
    EXPECT_EQ(tm.tm_mday, 24);
    EXPECT_EQ(tm.tm_mon, 11);
    EXPECT_EQ(tm.tm_year, 125);
    EXPECT_EQ(tm.tm_hour, 18);
    EXPECT_EQ(tm.tm_min, 30);
    EXPECT_TRUE(ParseIdentDate("1.2.2020 7:05:09").has_value());
    EXPECT_TRUE(ParseIdentDate("01.02.2020").has_value());
    for (const char* bad : {"", "31.02.2020 10:00", "12/24/2025", "24.12.2025 25:00", "24.12.2025 10:00 x",
                            "24.13.2025", "24.12.2025 10"})
        EXPECT_FALSE(ParseIdentDate(bad).has_value()) << bad;
}

// Output files of whole assemblies.
TEST(OutputFiles, BinFromZeroToTheHighestAddress) {
    Assembly a("\tORG 0FFFH\n\tNOP\n");
    ASSERT_TRUE(a.written);
    Bytes bin = a.Bin();
    ASSERT_EQ(bin.size(), 4096u);
    EXPECT_EQ(bin[0], 0xFF);
    EXPECT_EQ(bin[4095], 0x00);
    EXPECT_NE(a.Listing().find("Объём Bin-файла (FileSize): 4096"), std::string::npos);
}

TEST(OutputFiles, EpromSizeAndOrgRange) {
    Assembly eprom("\t.2764\n\tNOP\n");
    EXPECT_EQ(eprom.Bin().size(), 8192u);
    Assembly range("\tORG_MIN 100H\n\tORG_MAX 103H\n\tORG 100H\n\tMOV A,#1\n\tNOP\n\tNOP\n");
    EXPECT_EQ(range.Bin(), (Bytes{0x74, 0x01, 0x00, 0x00}));
    // Without ORG_MAX the final pass limits the range to 800H, and says so
    // when code lies beyond.
    Assembly low("\tORG_MIN 7FEH\n\tORG 7FEH\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n");
    EXPECT_EQ(low.Bin(), (Bytes{0x00, 0x00, 0x00}));
    EXPECT_NE(low.Listing().find("Код выше адреса ORG_MAX не вошёл в Bin-файл: 0800H"), std::string::npos);
    EXPECT_EQ(range.Listing().find("ORG_MAX не вошёл"), std::string::npos);
}

TEST(OutputFiles, EmptyAndImpossibleRanges) {
    Assembly nothing("; no code at all\n");
    ASSERT_TRUE(nothing.written);
    EXPECT_TRUE(nothing.Bin().empty());
    EXPECT_EQ(nothing.Hex(), ":00000001FF\r\n");

    Assembly reversed("\tORG_MIN 200H\n\tORG_MAX 100H\n\tNOP\n");
    EXPECT_TRUE(reversed.Bin().empty());
    EXPECT_NE(reversed.Listing().find("Адрес ORG_MAX меньше ORG_MIN: Bin-файл пуст"), std::string::npos);

    Assembly big("\t.27999\n\tNOP\n");
    EXPECT_EQ(big.Bin().size(), 65536u);
    EXPECT_NE(big.Listing().find("Bin-файл ограничен"), std::string::npos);
}

TEST(OutputFiles, IdentDateBecomesTheBinFileTime) {
    Assembly a(".IDENT /24.12.2025 18:30/\n\tNOP\n");
    ASSERT_TRUE(a.written);
    struct stat sb {};
    ASSERT_EQ(::stat(a.dir.File("prog.Bin").c_str(), &sb), 0);
    EXPECT_EQ(sb.st_mtime, *ParseIdentDate("24.12.2025 18:30"));

    Assembly bad(".IDENT /yesterday/\n\tNOP\n");
    ASSERT_TRUE(bad.written);  // reported, the file is kept
    std::string listing = bad.Listing();
    EXPECT_NE(listing.find("Некорректно расписана дата и время для команды .IDENT [/yesterday/]!\n"
                           "Шаблон задания даты и времени файла .IDENT /dd.mm.ГГГГ hh:mm[:ss]/"),
              std::string::npos);
    EXPECT_EQ(bad.Bin(), Bytes{0x00});
}

TEST(OutputFiles, HexWidthLineEndsAndSkippedFillerRecords) {
    std::string src = "\tHEXWIDTH 32\n\tORG 0\n";
    for (int i = 0; i < 40; ++i) src += "\tNOP\n";
    src += "\tORG 100H\n\tMOV A,#1\n";
    Assembly a(src);
    ASSERT_TRUE(a.written);
    std::string hex = a.Hex();
    EXPECT_EQ(hex.substr(0, 9), ":20000000");  // 32 bytes per record
    EXPECT_NE(hex.find("\r\n:200020000000000000000000FFFF"), std::string::npos);
    EXPECT_EQ(hex.find(":20004000"), std::string::npos);  // the FFH gap has no record
    EXPECT_NE(hex.find(":0201000074"), std::string::npos);
    EXPECT_TRUE(hex.ends_with(":00000001FF\r\n"));

    Assembly lf("\tHEXCR 0\n\tNOP\n");
    EXPECT_EQ(lf.Hex(), ":0100000000FF\n:00000001FF");

    Assembly zero("\tHEXWIDTH 0\n\tMOV A,#1\n");  // taken as one byte per record
    EXPECT_EQ(zero.Hex(), ":01000000748B\r\n:0100010001FD\r\n:00000001FF\r\n");
}

TEST(OutputFiles, AFailedWriteKeepsTheOldFileAndIsReported) {
    Assembly a("\tMOV A,#1\n");
    ASSERT_TRUE(a.written);
    Bytes before = a.Bin();
    WriteFileAtomic(a.ws->SourceName, cp("\tMOV A,#2\n"));
    AtomicFile::failAfterBytesForTest = 1;
    bool ok = a.as->FinalPass();
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_FALSE(ok);
    EXPECT_EQ(a.as->LastOutcome(), Assembler::Outcome::Failed);
    EXPECT_EQ(a.Bin(), before);
    const auto& last = a.pane.Lines().back();
    EXPECT_EQ(last[0].color, clr::Red);
    EXPECT_NE(a.pane.LineText(a.pane.Lines().size() - 1).find("prog.Bin"), std::string::npos);
    // No temporary file is left beside it.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(a.dir.Path())) files += e.is_regular_file();
    EXPECT_EQ(files, 3);  // source, .Bin, .Hex
}

}  // namespace
}  // namespace z51::test
