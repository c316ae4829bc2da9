// The driver: both passes, the end reports, error recording and the
// summary, FetchLine with include files and macro bodies, and the order of
// passes when the user is quicker than the timer.

#include "core/file_error.h"
#include "tests/support/assembly.h"

namespace z51::test {
namespace {

TEST(Driver, FirstPassShowsListingAndTheEndLine) {
    Assembly a("; comment\nSTART:\tNOP\n");
    std::string first = a.FirstListing();
    EXPECT_EQ(first,
              "    1 0000          ; comment\n"
              "    2 0000 00       START:\tNOP\n"
              "Компиляция завершена: 08.12.2026 10:20:30.");
    ASSERT_TRUE(a.written);
    EXPECT_EQ(a.Listing(),
              "    1 0000          ; comment\n"
              "    2 0000 00       START:\tNOP\n"
              "Таблица меток и приравниваний [1]:\n"
              "START  0000\n"
              "Объём Bin-файла (FileSize): 1");
}

TEST(Driver, ForwardReferencesResolveInTheFinalPass) {
    Assembly a("\tSJMP LATER\n\tNOP\nLATER:\tNOP\n");
    EXPECT_EQ(a.FirstListing().find("---"), std::string::npos);
    ASSERT_TRUE(a.written);
    EXPECT_EQ(a.Image(0, 4), (Bytes{0x80, 0x01, 0x00, 0x00}));
}

TEST(Driver, FirstPassRunsNineLinesPerTick) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = dir.File("p.a51");
    std::string src;
    for (int i = 0; i < 20; ++i) src += "\tNOP\n";
    WriteFileAtomic(ws->SourceName, src);
    RecordingPane pane;
    Assembler as(*ws, pane);
    as.Prohod1();
    EXPECT_TRUE(as.FirstPassRunning());
    EXPECT_TRUE(as.Tick());
    EXPECT_EQ(as.State().LineNo, 9);
    EXPECT_TRUE(as.Tick());
    EXPECT_EQ(as.State().LineNo, 18);
    EXPECT_FALSE(as.Tick());  // lines 19 and 20, then the end of the source
    EXPECT_EQ(as.State().LineNo, 20);
    EXPECT_FALSE(as.FirstPassRunning());
    EXPECT_FALSE(as.Tick());
}

TEST(Driver, ProhodResetsTheStateAndTheImage) {
    Assembly a("\tHEXWIDTH 8\n\tHEXCR 0\nX\tEQU\tR2\n\tNOP\n");
    EXPECT_EQ(a.ws->HexWidth, 8);
    a.as->Prohod1();
    AsmState& s = a.st();
    EXPECT_EQ(s.PassNo, 1);
    EXPECT_EQ(s.HexWidth, 16);
    EXPECT_EQ(s.HexCR, 1);
    EXPECT_EQ(s.RegAlias[2], "");
    EXPECT_EQ(s.Symbols.Occupied(), 0);
    EXPECT_EQ(a.ws->CodeImage[0], 0xFF);
}

TEST(Driver, MissingSourceRaisesAndStopsARunningPass) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = dir.File("p.a51");
    WriteFileAtomic(ws->SourceName, std::string(100, '\n'));
    RecordingPane pane;
    Assembler as(*ws, pane);
    as.Prohod1();
    ASSERT_TRUE(as.Tick());
    ws->SourceName = dir.File("missing.a51");
    EXPECT_THROW(as.Prohod1(), FileError);
    EXPECT_FALSE(as.FirstPassRunning());
    EXPECT_FALSE(as.Tick());
}

TEST(Driver, FinalPassFinishesARunningFirstPassFirst) {
    TempDir dir;
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = dir.File("p.a51");
    std::string src = "\tLJMP LAST\n";
    for (int i = 0; i < 30; ++i) src += "\tNOP\n";
    src += "LAST:\tNOP\n";
    WriteFileAtomic(ws->SourceName, src);
    RecordingPane pane;
    Assembler as(*ws, pane);
    as.Prohod1();
    as.Tick();
    EXPECT_TRUE(as.FinalPass());  // LAST is known: the first pass ran to its end
    EXPECT_FALSE(as.FirstPassRunning());
    EXPECT_EQ(ws->CodeImage[2], 33);
}

TEST(Driver, RepeatedFinalPassesGiveTheSameListing) {
    Assembly a("\tMOV A,#1\nL:\tSJMP L\n");
    std::string once = a.Listing();
    int pass = a.st().PassNo;
    a.pane.Clear();
    EXPECT_TRUE(a.as->FinalPass());
    EXPECT_EQ(a.Listing(), once);
    EXPECT_EQ(a.st().PassNo, pass + 1);
}

TEST(Driver, PassNumberNeverFallsBackToTheFirstPass) {
    Assembly a("\tNOP\n");
    a.st().PassNo = 255;
    a.as->FinalPass();
    EXPECT_EQ(a.st().PassNo, 2);
}

TEST(Driver, ErrorsOfTheFinalPassAreListedAndStopTheOutput) {
    Assembly a("\tNOP\n\tFROB\n\tSJMP NOWHERE\n");
    EXPECT_FALSE(a.written);
    EXPECT_EQ(a.as->LastOutcome(), Assembler::Outcome::SourceErrors);
    EXPECT_FALSE(FileExists(a.dir.File("prog.Bin")));
    std::string first = a.FirstListing();
    EXPECT_NE(first.find("    2 0001          \tFROB\n--- Строка выше с директивами ассемблера не опознана!"),
              std::string::npos);
    EXPECT_EQ(first.find("NOWHERE\n---"), std::string::npos);  // silent in the first pass
    EXPECT_NE(first.find("Выявлено ошибок: 1 в строках:\n2 \n"), std::string::npos);
    std::string final = a.Listing();
    EXPECT_NE(final.find("NOWHERE\nМетка для относительной адресации с таким именем не найдена!\n"),
              std::string::npos);
    EXPECT_TRUE(final.ends_with("Выявлены ошибки [2] в строках:\n2 3 "));
    EXPECT_EQ(a.pane.Lines().back()[0].color, clr::Navy);
}

TEST(Driver, EquatesAndOriginsWithoutAValueAreErrorsOfTheFinalPass) {
    // Forward references are fine; a name that never gets a value is not.
    Assembly fine("X\tEQU\tY\nY\tEQU\t5\n\tORG\tLATER\nLATER:\tNOP\n");
    EXPECT_TRUE(fine.written);
    EXPECT_EQ(fine.FirstListing().find("---"), std::string::npos);

    for (const char* line : {"X\tEQU\tMISSPELT\n", "F\tBIT\tMISSPELT\n", "\tORG\tMISSPELT\n"}) {
        Assembly bad(std::string(line) + "\tNOP\n");
        EXPECT_FALSE(bad.written) << line;
        EXPECT_NE(bad.Listing().find("Аргумент должен иметь числовое значение!"), std::string::npos) << line;
        EXPECT_EQ(bad.FirstListing().find("---"), std::string::npos) << line;
    }
}

TEST(Driver, ErrorSummaryWrapsAndErrorLinesHoldsAtMost257) {
    std::string src;
    for (int i = 0; i < 300; ++i) src += "\tFROB\n";
    Assembly a(src);
    AsmState& s = a.st();
    EXPECT_EQ(s.ErrorCount, 300);
    EXPECT_EQ(s.ErrorLines[256], 257);
    RecordingPane p;
    ErrorSummary(s, p, 79);
    // Each line grows until it is longer than 79 characters.
    EXPECT_EQ(p.LineText(0), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 ");
    for (std::size_t i = 0; i + 1 < p.Lines().size(); ++i) EXPECT_GT(p.LineText(i).size(), 79u);
    EXPECT_TRUE(p.LineText(p.Lines().size() - 1).ends_with("257 "));
}

TEST(Driver, ALineWithAMessageAndNoRecognitionCountsTwice) {
    // X DATA in the main file: a second code label X (duplicate) and an
    // unrecognised word.
    Assembly a("X:\tNOP\nX\tDATA\t30H\n");
    EXPECT_EQ(a.st().ErrorCount, 3);  // line 1 sees the address of line 2 as well
    EXPECT_EQ(a.st().ErrorLines[0], 1);
    EXPECT_EQ(a.st().ErrorLines[1], 2);
    EXPECT_EQ(a.st().ErrorLines[2], 2);
    Assembly b("\tHEXCR\n");
    EXPECT_EQ(b.st().ErrorCount, 1);
}

TEST(Driver, ErrorsInLinesThatAreNotListedCarryTheLastListedNumber) {
    Assembly a("\tNOP\n$NOMOD51 \n\tFROB\n\tNOP\n");
    EXPECT_EQ(a.st().ErrorLines[0], 2);
}

TEST(Driver, LinesThatAreNotListedStillStoreTheirBytes) {
    Assembly a("$NOMOD51 \n\tMOV A,#1\n\tNOP\n");
    ASSERT_TRUE(a.written);
    EXPECT_EQ(a.Image(0, 3), (Bytes{0x74, 0x01, 0x00}));
    EXPECT_EQ(a.Bin(), (Bytes{0x74, 0x01, 0x00}));
    EXPECT_EQ(a.Listing().find("MOV"), std::string::npos);
}

TEST(Driver, CodeBeyondTheImageKeepsWhatFitsAndNeverWraps) {
    Assembly a("\tORG 0FFFFH\n\tMOV DPTR,#1234H\n");
    EXPECT_EQ(a.ws->CodeImage[0xFFFF], 0x90);
    EXPECT_EQ(a.ws->CodeImage[0], 0xFF);
    EXPECT_FALSE(a.written);
}

// FetchLine: include files and macro bodies as the directive handlers
// leave them.
class FetchTest : public ::testing::Test {
protected:
    void Start(std::string_view source) {
        ws->SourceName = dir.File("p.a51");
        WriteFileAtomic(ws->SourceName, cp(source));
        as.Prohod1();
    }
    std::string Next() {
        as.State().NextAddr = 0;
        EXPECT_TRUE(as.Tick() || true);
        return Cp1251ToUtf8(as.State().AsmLine);
    }
    TempDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    RecordingPane pane;
    Assembler as{*ws, pane};
};

TEST_F(FetchTest, IncludeFileLinesComeFirstAndItsEndRestoresListing) {
    Start("\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n\tNOP\n");
    AsmState& s = as.State();
    s.IncludeFile.OpenText("\tMOV A,#1\n\tMOV A,#2\n");
    s.IncludeActive = 1;
    s.ListingOn = 0;
    as.Tick();
    EXPECT_EQ(s.IncludeActive, 0);
    EXPECT_EQ(s.ListingOn, 1);
    EXPECT_EQ(s.NextAddr, 4 + 7);  // two included lines, then seven source lines
}

TEST(Driver, AnEmptyIncludeFileNeverBringsTheDirectiveBack) {
    TempDir dir;
    WriteFileAtomic(dir.File("empty.inc"), "");
    WriteFileAtomic(dir.File("one.inc"), "\tINC A");
    auto ws = std::make_unique<Workspace>();
    ws->SourceName = dir.File("p.a51");
    WriteFileAtomic(ws->SourceName, "$INCLUDE \\empty.inc\n\tNOP\n$INCLUDE \\one.inc\n\tNOP\n");
    RecordingPane pane;
    Assembler as(*ws, pane);
    as.Prohod1();
    as.RunFirstPass();
    ASSERT_TRUE(as.FinalPass()) << pane.Text();
    EXPECT_EQ(pane.LineText(0), "    1 0000          $INCLUDE \\empty.inc");
    EXPECT_EQ(pane.LineText(1), "    2 0000 00       \tNOP");
    EXPECT_EQ(pane.LineText(2), "    3 0001          $INCLUDE \\one.inc");
    EXPECT_EQ(pane.LineText(3), "    4 0001 04       \tINC A");  // the last line belongs to the file
    EXPECT_EQ(pane.LineText(4), "    5 0002 00       \tNOP");
}

TEST_F(FetchTest, AnIncludeFileAtItsEndGivesTheNextSourceLine) {
    Start("\tNOP\n\tNOP\n");
    AsmState& s = as.State();
    s.IncludeFile.OpenText("");
    s.IncludeActive = 1;
    s.AsmLine = "\tINC A";  // the directive line must not come again
    as.Tick();
    EXPECT_EQ(s.IncludeActive, 0);
    EXPECT_EQ(s.NextAddr, 2);  // the two NOPs
}

TEST_F(FetchTest, MacroBodyLinesWithParameters) {
    Start(std::string(20, '\n'));
    AsmState& s = as.State();
    s.MacroText = "\nDELAY MACRO\n\tMOV R7,#\\0\n\tMOV R6,#\\1\n\tMOV A,#\\9";
    s.MacroPos = 2;
    s.MacroState = MacroMode::Replaying;
    s.MacroParams[0] = "10";
    s.MacroParams[1] = "20";
    s.MacroParams[9] = "3";
    s.Symbols.Clear();
    as.Tick();
    EXPECT_EQ(s.MacroState, MacroMode::None);
    EXPECT_EQ(ws->CodeImage[0], 0xFF);  // the first pass stores nothing
    EXPECT_EQ(s.NextAddr, 6);
    EXPECT_EQ(s.ErrorCount, 0);
}

TEST_F(FetchTest, ParametersThatExpandIntoEachOtherStopAtTheLongestLine) {
    // \0 holds itself; \2 and \3 hold each other behind two thousand
    // empty parameters each (much work for every character the line gains).
    for (const char* line : {"\tDB \\0\\1", "\tDB \\2"}) {
        SCOPED_TRACE(line);
        Start(std::string(20, '\n'));
        AsmState& s = as.State();
        s.MacroText = std::string("\nM MACRO\n") + line;
        s.MacroPos = 2;
        s.MacroState = MacroMode::Replaying;
        s.MacroParams[0] = "x\\0";
        s.MacroParams[1] = "";
        std::string empties;
        for (int i = 0; i < 2000; ++i) empties += "\\1";
        s.MacroParams[2] = "x" + empties + "\\3";
        s.MacroParams[3] = "y" + empties + "\\2";
        as.Tick();  // must end
        EXPECT_EQ(s.MacroState, MacroMode::None);
        EXPECT_EQ(s.ErrorCount, 1);
        EXPECT_LE(s.AsmLine.size(), z51::kMaxLineLength);
    }
}

TEST_F(FetchTest, AnIncludeLeftOpenAtTheEndOfAPassIsDropped) {
    Start("\tNOP\n");
    AsmState& s = as.State();
    as.Tick();  // line 1, then the end
    EXPECT_FALSE(as.FirstPassRunning());
    s.IncludeFile.OpenText("\tNOP\n");
    s.IncludeActive = 1;
    EXPECT_TRUE(as.FinalPass());
    EXPECT_EQ(s.NextAddr, 1);
}

}  // namespace
}  // namespace z51::test
