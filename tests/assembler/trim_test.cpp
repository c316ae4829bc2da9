#include "assembler/trim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "core/file_error.h"
#include "core/fileio.h"
#include "tests/support/test_files.h"

using namespace z51;

TEST(TrimLine, TheFourKindsOfLine) {
    EXPECT_EQ(TrimLine("LOOP: MOV A,#1"), "LOOP: MOV A,#1");
    EXPECT_EQ(TrimLine("    MOV A,#1 ; set"), "\tMOV A,#1 ; set");
    EXPECT_EQ(TrimLine("; comment"), "; comment");
    EXPECT_EQ(TrimLine(""), "");
}

TEST(TrimLine, BlanksAndControlCharactersGoAtBothEnds) {
    EXPECT_EQ(TrimLine(" \t  NOP \t\x1a"), "\tNOP");
    EXPECT_EQ(TrimLine(" \t \r"), "");
    EXPECT_EQ(TrimLine("   ;x"), ";x");
    EXPECT_EQ(TrimLine("  START:NOP"), "START:NOP");
    // Code page 1251 letters are not blanks.
    EXPECT_EQ(TrimLine("\xCC\xCE\xC2 A,B\xFF"), "\t\xCC\xCE\xC2 A,B\xFF");
}

TEST(TrimLine, DeclarationsWhateverBlanksStandBeforeTheKeyword) {
    EXPECT_EQ(TrimLine("NAME EQU 5"), "NAME EQU 5");
    EXPECT_EQ(TrimLine("  NAME \tequ 5"), "NAME \tequ 5");
    EXPECT_EQ(TrimLine("FLAG\tBIT PSW.3"), "FLAG\tBIT PSW.3");
    EXPECT_EQ(TrimLine("X SET 1"), "X SET 1");
    EXPECT_EQ(TrimLine("P DATA 30H"), "P DATA 30H");
    EXPECT_EQ(TrimLine("DELAY MACRO"), "DELAY MACRO");
    EXPECT_EQ(TrimLine("CNT EQU;odd"), "CNT EQU;odd");
    // The keyword must be the whole second word.
    EXPECT_EQ(TrimLine("MOV EQUAL,A"), "\tMOV EQUAL,A");
    EXPECT_EQ(TrimLine("SETB C"), "\tSETB C");
    EXPECT_EQ(TrimLine("MOV A,B ; X EQU 5"), "\tMOV A,B ; X EQU 5");
}

TEST(TrimLine, OnlyAColonInTheFirstWordMakesALabel) {
    EXPECT_EQ(TrimLine("MOV A,#':'"), "\tMOV A,#':'");
    EXPECT_EQ(TrimLine("MOV A,#1 ; note: x"), "\tMOV A,#1 ; note: x");
    EXPECT_EQ(TrimLine("DB 'a:b'"), "\tDB 'a:b'");
    EXPECT_EQ(TrimLine(":03003000020003C8"), ":03003000020003C8");  // an Intel HEX record line
}

TEST(TrimLine, ColumnOneDirectivesStayInColumnOne) {
    for (const char* l : {"$INCLUDE reg51.inc", ".INCLUDE x.inc", "%include x", ".IFTRUE 1", ".IFZ X", ".IFNZ X",
                          ".IFFALSE 0", ".ENDIF", ".ENDM", ".COMMENT %", "$NOMOD51", "$NO_LIST", ".IDENT /1.1.2000/",
                          ".GLOBAL X", ".ARGCHK Y", "$NOLIST", "$TITLE('Demo')", "$INCLUDE (REG52.INC)", "$MOD51 DEBUG"})
        EXPECT_EQ(TrimLine(std::string("  ") + l), l);
    EXPECT_EQ(TrimLine("$TT Title"), "\t$TT Title");  // the title directive, no control
    EXPECT_EQ(TrimLine("ENDM"), "\tENDM");
    EXPECT_EQ(TrimLine("%"), "\t%");
}

TEST(TrimLine, LongLines) {
    const std::string word(70000, 'A');
    EXPECT_EQ(TrimLine(word), "\t" + word);
    EXPECT_EQ(TrimLine(word + ":"), word + ":");
}

TEST(TrimFileName, ExtensionReplaced) {
    EXPECT_EQ(TrimFileName("PROG.A51"), "PROG.Trm");
    EXPECT_EQ(TrimFileName("/x/prog.asm"), "/x/prog.Trm");
    EXPECT_EQ(TrimFileName("/x.d/prog"), "/x.d/prog.Trm");
    EXPECT_EQ(TrimFileName("a.s"), "a.Trm");
    EXPECT_EQ(TrimFileName("/x/.hidden"), "/x/.hidden.Trm");
    EXPECT_EQ(TrimFileName("/x/PROG.Trm"), "/x/PROG.Trm.Trm");  // never the source itself
}

TEST(TrimSource, WritesTheTrmFileAndThePane) {
    z51::test::TempDir t;
    const std::string src = t.Write("PROG.A51", "LOOP: MOV A,#1\n   MOV A,#1 ; set\r\n; comment\n\nX  EQU 3");
    auto ws = std::make_unique<Workspace>();
    RecordingPane pane;
    pane.AddLine("old");
    TrimSource(pane, *ws, src);
    EXPECT_EQ(ws->SourceName, src);
    EXPECT_EQ(ReadTextFile(t.File("PROG.Trm")), "LOOP: MOV A,#1\r\n\tMOV A,#1 ; set\r\n; comment\r\n\r\nX  EQU 3\r\n");
    ASSERT_EQ(pane.Lines().size(), 5u);
    EXPECT_EQ(pane.LineText(1), "\tMOV A,#1 ; set");
    EXPECT_EQ(pane.Lines()[1][0].color, clr::Black);
}

TEST(TrimSource, FailuresLeaveTheEarlierTrmInPlace) {
    z51::test::TempDir t;
    const std::string src = t.Write("P.A51", "NOP\nNOP\nNOP\n");
    t.Write("P.Trm", "earlier");
    auto ws = std::make_unique<Workspace>();
    RecordingPane pane;
    AtomicFile::failAfterBytesForTest = 6;
    EXPECT_THROW(TrimSource(pane, *ws, src), FileError);
    AtomicFile::failAfterBytesForTest = -1;
    EXPECT_EQ(ReadTextFile(t.File("P.Trm")), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.dir), std::filesystem::directory_iterator{}), 2);

    EXPECT_THROW(TrimSource(pane, *ws, t.File("missing.A51")), FileError);
    EXPECT_FALSE(FileExists(t.File("missing.Trm")));
}

TEST(TrimCli, RewritesTheFileAndPrintsTheLines) {
    z51::test::TempDir t;
    const std::string src = t.Write("c.asm", "L: NOP\n NOP\n");
    const std::string cmd = std::string(ZANVEK_CLI) + " trim " + src + " > " + t.File("out.txt");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadTextFile(t.File("c.Trm")), "L: NOP\r\n\tNOP\r\n");
    EXPECT_EQ(ReadTextFile(t.File("out.txt")), "L: NOP\n\tNOP\n");
    // A source that already has the output's name stays as it is.
    const std::string trm = t.Write("PROG.Trm", " NOP\n");
    ASSERT_EQ(std::system((std::string(ZANVEK_CLI) + " trim " + trm + " > " + t.File("out.txt")).c_str()), 0);
    EXPECT_EQ(ReadTextFile(trm), " NOP\n");
    EXPECT_EQ(ReadTextFile(t.File("PROG.Trm.Trm")), "\tNOP\r\n");
    const std::string bad = std::string(ZANVEK_CLI) + " trim " + t.File("none.asm") + " 2> " + t.File("err.txt");
    EXPECT_EQ(WEXITSTATUS(std::system(bad.c_str())), 2);
    EXPECT_NE(ReadTextFile(t.File("err.txt")).find("none.asm"), std::string::npos);
}
