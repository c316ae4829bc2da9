// Include files in whole sources: the path forms, the letter-case
// fallback, nesting, END inside an include and the open failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/assembly.h"

using namespace z51::test;

TEST(IncludeFiles, BelowTheSourceFolderAndAbove) {
    Assembly r;
    r.dir.Write("prj/src/lib/io.inc", "\tDB 1\n");
    r.dir.Write("prj/io.inc", "\tDB 2\n");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\lib\\io.inc\n%INCLUDE ../io.inc\n.INCLUDE /lib/io.inc ; again\n\tDB 3\n",
                           "prj/src/main.a51"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{1, 2, 1, 3, 0xFF}));
}

TEST(IncludeFiles, PlainNameIsRelativeToTheWorkingFolder) {
    Assembly r;
    r.dir.Write("work/io.inc", "\tDB 4\n");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(r.dir.dir / "work");
    const bool ok = r.Assemble("$INCLUDE io.inc\n\tEND\n", "src/main.a51");
    std::filesystem::current_path(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(r.Image(0, 1), Bytes{4});
}

TEST(IncludeFiles, LetterCaseFallback) {
    Assembly r;
    r.dir.Write("reg51.inc", "LED\tEQU 90H\n");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\REG51.INC\n\tDB LED\n"));
    EXPECT_EQ(r.Image(0, 1), Bytes{0x90});
}

TEST(IncludeFiles, EquatesOfIncludeFilesAndTheirListing) {
    Assembly r;
    r.dir.Write("defs.inc", "$NOMOD51\nPORT\tDATA 90H\nCNT\tSET 3\nTMP\tREG R2\nCOUNT\tEQU 7\n");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\defs.inc\n\tDB PORT,CNT,COUNT\n\tMOV TMP,#1\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{0x90, 3, 7, 0x7A, 0x01}));
    // The include file switched the listing off; it resumes after it.
    EXPECT_FALSE(r.Shows("DATA 90H"));
    EXPECT_TRUE(r.Shows("DB PORT,CNT,COUNT"));
}

TEST(IncludeFiles, IncludeInsideIncludeGoesOnAfterTheInnerFile) {
    Assembly r;
    r.dir.Write("outer.inc", "\tDB 1\n$INCLUDE \\inner.inc\n\tDB 3\n");
    r.dir.Write("inner.inc", "\tDB 2");  // no line end at the end
    ASSERT_TRUE(r.Assemble("$INCLUDE \\outer.inc\n\tDB 4\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{1, 2, 3, 4, 0xFF}));
}

TEST(IncludeFiles, AFileThatIsOpenAlreadyIsNotIncludedAgain) {
    Assembly r;
    r.dir.Write("self.inc", "\tDB 1\n$INCLUDE \\self.inc\n\tDB 2\n");
    r.dir.Write("ping.inc", "\tDB 3\n$INCLUDE \\pong.inc\n");
    r.dir.Write("pong.inc", "$INCLUDE \\ping.inc\n\tDB 4\n");
    r.dir.Write("back.inc", "$INCLUDE \\prog.a51\n");
    EXPECT_FALSE(r.Assemble("$INCLUDE \\self.inc\n$INCLUDE \\ping.inc\n$INCLUDE \\back.inc\n\tDB 5\n"));
    EXPECT_EQ(r.Image(0, 6), (Bytes{1, 2, 3, 4, 5, 0xFF}));
    EXPECT_EQ(r.ErrorCount(), 3);
    // ping.inc is open while pong.inc, included by its last line, is read.
    for (const char* name : {"self.inc", "ping.inc", "prog.a51"})
        EXPECT_TRUE(r.Shows("$INCLUDE по кругу: файл " + r.dir.File(name) + " уже открыт!")) << r.Listing();
}

TEST(IncludeFiles, NestingDepthIsLimitedWhileFilesOneAfterAnotherAreNot) {
    // d0.inc includes d1.inc and so on: the 17th level is refused.
    Assembly deep;
    for (int i = 0; i < 20; ++i)
        deep.dir.Write("d" + std::to_string(i) + ".inc",
                       "$INCLUDE \\d" + std::to_string(i + 1) + ".inc\n\tDB " + std::to_string(i) + "\n");
    EXPECT_FALSE(deep.Assemble("$INCLUDE \\d0.inc\n\tNOP\n"));
    EXPECT_EQ(deep.ErrorCount(), 1);
    EXPECT_TRUE(deep.Shows("Слишком много вложенных $INCLUDE: не более 16 уровней!"));
    EXPECT_EQ(deep.Image(0, 3), (Bytes{15, 14, 13}));

    // A header that includes 100 files one after another.
    Assembly flat;
    std::string header;
    for (int i = 0; i < 100; ++i) {
        flat.dir.Write("f" + std::to_string(i) + ".inc", "\tDB " + std::to_string(i) + "\n");
        header += "$INCLUDE \\f" + std::to_string(i) + ".inc\n";
    }
    flat.dir.Write("all.inc", header);
    ASSERT_TRUE(flat.Assemble("$INCLUDE \\all.inc\n\tNOP\n")) << flat.Listing();
    Bytes expected;
    for (int i = 0; i < 100; ++i) expected.push_back(static_cast<std::uint8_t>(i));
    expected.push_back(0x00);
    EXPECT_EQ(flat.Bin(), expected);
}

TEST(IncludeFiles, AtMostSoManyIncludeFilesInOnePass) {
    Assembly r;
    r.dir.Write("one.inc", "\tDB 1\n");
    std::string source;
    for (int i = 0; i < 4097; ++i) source += "$INCLUDE \\one.inc\n";
    EXPECT_FALSE(r.Assemble(source + "\tNOP\n"));
    EXPECT_EQ(r.ErrorCount(), 1);
    EXPECT_TRUE(r.Shows("Слишком много $INCLUDE за проход: не более 4096 файлов!"));
    EXPECT_EQ(r.st().HighAddr, 4096);  // 4096 bytes and the NOP
}

TEST(IncludeFiles, EndInsideAnIncludeEndsNothing) {
    Assembly r;
    r.dir.Write("part.inc", "\tDB 1\n\tEND\n\tDB 2\n");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\part.inc\n\tDB 3\n\tEND\n\tDB 4\n"));
    EXPECT_EQ(r.Image(0, 4), (Bytes{1, 2, 3, 0xFF}));
}

TEST(IncludeFiles, EmptyIncludeFileGivesNothing) {
    Assembly r;
    r.dir.Write("empty.inc", "");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\empty.inc\n\tDB 5\n"));
    EXPECT_EQ(r.Image(0, 2), (Bytes{5, 0xFF}));
}

TEST(IncludeFiles, MissingFileIsReportedAndAssemblyGoesOn) {
    Assembly r;
    EXPECT_FALSE(r.Assemble("$INCLUDE \\nowhere.inc\n\tDB 5\n"));
    const std::string expected =
        "Ошибка открытия файла " + (r.dir.dir / "nowhere.inc").string() + " . Неправильно указан путь?";
    EXPECT_TRUE(r.Shows(expected)) << r.Listing();
    EXPECT_EQ(r.ErrorCount(), 1);
    EXPECT_EQ(r.Image(0, 1), Bytes{5});
    EXPECT_FALSE(z51::FileExists(r.dir.File("prog.Bin")));
}

TEST(IncludeFiles, EmptyPathFailsWithTheOpenMessage) {
    Assembly r;
    EXPECT_FALSE(r.Assemble("$INCLUDE ..\\.hidden\n"));
    EXPECT_TRUE(r.Shows("Ошибка открытия файла  . Неправильно указан путь?"));
}

TEST(IncludeFiles, IgnoredInsideASkippedBlock) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(".IFTRUE NOTHING\n$INCLUDE \\nowhere.inc\n.ENDIF\n\tDB 1\n"));
    EXPECT_EQ(r.Image(0, 1), Bytes{1});
}

TEST(IncludeFiles, LastLineIncludeIsNotRead) {
    Assembly r;
    r.dir.Write("late.inc", "\tDB 9\n");
    ASSERT_TRUE(r.Assemble("\tDB 1\n$INCLUDE \\late.inc\n"));
    EXPECT_EQ(r.Image(0, 2), (Bytes{1, 0xFF}));
}

TEST(IncludeFiles, TheLastLineOfAnIncludeFileBelongsToIt) {
    Assembly r;
    r.dir.Write("regs.inc", "$NOMOD51\nONE\tEQU 1\nPORT\tDATA 90H");
    r.dir.Write("stop.inc", "\tDB 2\n\tEND\n");
    ASSERT_TRUE(r.Assemble("$INCLUDE \\regs.inc\n\tDB ONE,PORT\n$INCLUDE \\stop.inc\n\tDB 3\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{1, 0x90, 2, 3, 0xFF}));
    EXPECT_FALSE(r.Shows("DATA 90H"));  // not listed: the file switched the listing off
    EXPECT_TRUE(r.Shows("DB ONE,PORT"));
}
