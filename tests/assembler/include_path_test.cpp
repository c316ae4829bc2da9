#include <gtest/gtest.h>

#include <unistd.h>

#include "assembler/include.h"
#include "tests/support/test_files.h"

using namespace z51;

TEST(SourceFolder, EverythingBeforeTheLastSeparator) {
    EXPECT_EQ(SourceFolder("/prj/src/main.asm"), "/prj/src");
    EXPECT_EQ(SourceFolder("C:\\prj\\src\\main.asm"), "C:/prj/src");
    EXPECT_EQ(SourceFolder("src/main.asm"), "src");
    EXPECT_EQ(SourceFolder("main.asm"), ".");
    EXPECT_EQ(SourceFolder("/main.asm"), "");
}

TEST(SetPath, TheThreeFormsWithEitherSeparator) {
    const std::string dir = SourceFolder("/prj/src/main.asm");
    EXPECT_EQ(SetPath(dir, "\\lib\\io.inc"), "/prj/src/lib/io.inc");
    EXPECT_EQ(SetPath(dir, "/lib/io.inc"), "/prj/src/lib/io.inc");
    EXPECT_EQ(SetPath(dir, "..\\io.inc"), "/prj/io.inc");
    EXPECT_EQ(SetPath(dir, "../io.inc"), "/prj/io.inc");
    EXPECT_EQ(SetPath(dir, "io.inc"), "io.inc");  // relative to the working folder
    EXPECT_EQ(SetPath(dir, "lib\\io.inc"), "lib/io.inc");
}

TEST(SetPath, ClimbingAndTheCurrentFolder) {
    EXPECT_EQ(SetPath("/prj/src", "../../io.inc"), "/io.inc");
    EXPECT_EQ(SetPath("/prj", "../../io.inc"), "/io.inc");  // the root has no parent
    EXPECT_EQ(SetPath(".", "../io.inc"), "../io.inc");
    EXPECT_EQ(SetPath("..", "../io.inc"), "../../io.inc");
    EXPECT_EQ(SetPath("src", "../io.inc"), "./io.inc");
    EXPECT_EQ(SetPath("/prj/src", "./io.inc"), "/prj/src/io.inc");
    EXPECT_EQ(SetPath("/prj/src", ".\\lib\\io.inc"), "/prj/src/lib/io.inc");
}

TEST(SetPath, NamesThatLeadNowhereGiveAnEmptyPath) {
    EXPECT_EQ(SetPath("/prj/src", ""), "");
    EXPECT_EQ(SetPath("/prj/src", ".."), "");
    EXPECT_EQ(SetPath("/prj/src", "../"), "");
    EXPECT_EQ(SetPath("/prj/src", "..\\.hidden"), "");
    EXPECT_EQ(SetPath("/prj/src", ".inc"), "");
}

TEST(FindIncludeFile, FallsBackToAnotherLetterCaseInTheSameFolder) {
    z51::test::TempDir t;
    const std::string real = t.Write("lib/reg51.inc", "X EQU 1\n");
    EXPECT_EQ(FindIncludeFile(real), real);
    EXPECT_EQ(FindIncludeFile(t.File("lib/REG51.INC")), real);
    EXPECT_EQ(FindIncludeFile(t.File("lib/Reg51.Inc")), real);
    // Only the file name's case is forgiven, and only for files.
    EXPECT_EQ(FindIncludeFile(t.File("LIB/reg51.inc")), t.File("LIB/reg51.inc"));
    EXPECT_EQ(FindIncludeFile(t.File("lib/reg52.inc")), t.File("lib/reg52.inc"));
    std::filesystem::create_directories(t.dir / "lib" / "SUB");
    EXPECT_EQ(FindIncludeFile(t.File("lib/sub")), t.File("lib/sub"));
    EXPECT_EQ(FindIncludeFile(""), "");
}

TEST(FindIncludeFile, ExactSpellingWinsWhenBothExist) {
    z51::test::TempDir t;
    const std::string lower = t.Write("io.inc", "");
    const std::string upper = t.Write("IO.INC", "");
    EXPECT_EQ(FindIncludeFile(lower), lower);
    EXPECT_EQ(FindIncludeFile(upper), upper);
    EXPECT_EQ(FindIncludeFile(t.File("Io.inc")), upper);  // first in name order
}

TEST(FindIncludeFile, BareNamesSearchTheWorkingFolder) {
    z51::test::TempDir t;
    t.Write("defs.inc", "");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(t.dir);
    const std::string found = FindIncludeFile("DEFS.INC");
    std::filesystem::current_path(old);
    EXPECT_EQ(found, "defs.inc");
}
