// Macros: definition in both header forms, replay with parameters, prefix
// calls, duplicates, the 65-slot table and calls before the definition.
#include "assembler/macro.h"

#include <gtest/gtest.h>

#include "tests/support/assembly.h"

using namespace z51::test;

TEST(MacroPieces, SlotNameAndParameters) {
    EXPECT_EQ(z51::MacroSlotName("\nDELAY MACRO\n\tNOP"), "DELAY");
    EXPECT_EQ(z51::MacroSlotName(""), "");
    auto p = z51::SplitMacroParams("\tDELAY 10,r2,,x ; c", 7);
    EXPECT_EQ(p[0], "10");
    EXPECT_EQ(p[1], "r2");  // parameters keep their case
    EXPECT_EQ(p[2], "");
    EXPECT_EQ(p[3], "x");
    EXPECT_EQ(p[4], "");
    p = z51::SplitMacroParams("M 0,1,2,3,4,5,6,7,8,9,10,11", 2);
    EXPECT_EQ(p[9], "9");  // at most ten
    EXPECT_EQ(z51::SplitMacroParams("M 1;2", 2)[0], "1");
    // Blanks and ";" between quotes belong to the parameter.
    p = z51::SplitMacroParams("PR 'a;b','c d' x;y", 3);
    EXPECT_EQ(p[0], "'a;b'");
    EXPECT_EQ(p[1], "'c d'");
    EXPECT_EQ(p[2], "");
}

TEST(MacroPieces, ExactNameBeforePrefix) {
    std::array<std::string, 65> t;
    t[0] = "\nDELAY MACRO";
    t[1] = "\nDEL MACRO";
    t[3] = "\nLOST MACRO";  // behind an empty slot
    EXPECT_EQ(z51::FindMacroCall(t, "DELAY"), 0);
    EXPECT_EQ(z51::FindMacroCall(t, "DE"), 0);
    EXPECT_EQ(z51::FindMacroCall(t, "DEL"), 1);
    EXPECT_EQ(z51::FindMacroCall(t, "DELAYS"), -1);
    EXPECT_EQ(z51::FindMacroCall(t, "LOST"), -1);
    EXPECT_EQ(z51::FindMacroCall(t, ""), -1);
}

TEST(Macros, DefinitionAndReplayWithParameters) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "DELAY: MACRO A,B\n"
        "\tMOV R0,#\\0\n"
        "\tMOV R1,#\\1\n"
        "\tENDM\n"
        "\tDELAY 10,20\n"
        "\tNOP\n"
        "\tEND\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{0x78, 10, 0x79, 20, 0x00}));
    EXPECT_TRUE(r.Shows("DELAY 10,20 ; вставка MACRO № 0"));
    EXPECT_EQ(r.State().MacroTable[0], "\nDELAY MACRO\n\tMOV R0,#\\0\n\tMOV R1,#\\1");
    EXPECT_TRUE(r.State().MacroTable[1].empty());
}

TEST(Macros, HeaderFormMacroName) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "\tMACRO PUT\n"
        "\tDB \\0\n"
        ".ENDM\n"
        "\tPUT 5\n"
        "\tPUT\n"  // no operands: the previous parameters
        "\tPUT 6 ; comment\n"
        "\tEND\n"));  // a call on the last line would end the pass unexpanded
    EXPECT_EQ(r.Image(0, 4), (Bytes{5, 5, 6, 0xFF}));
    EXPECT_EQ(r.State().MacroTable[0], "\nPUT MACRO\n\tDB \\0");
    EXPECT_TRUE(r.Shows("PUT 6 ; comment ; вставка MACRO № 0"));
}

TEST(Macros, BodyLinesAssembleOnlyWhenCalled) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("M1 MACRO\n\tDB 1\n\tENDMAC\n\tDB 2\n"));
    EXPECT_EQ(r.Image(0, 2), (Bytes{2, 0xFF}));
}

TEST(Macros, PrefixCallAndInstructionsFirst) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "DELAY: MACRO\n\tDB 11H\n\t%ENDM\n"
        "NOPS: MACRO\n\tDB 22H\n\tENDM\n"
        "\tDEL\n"      // the beginning of DELAY calls it
        "\tNOP\n"));   // an instruction is never a macro call
    EXPECT_EQ(r.Image(0, 3), (Bytes{0x11, 0x00, 0xFF}));
}

TEST(Macros, DuplicateDefinitionKeepsTheFirstBody) {
    for (const char* header : {"TWICE:", "TWICE"}) {
        SCOPED_TRACE(header);
        Assembly r;
        const std::string h = header;
        ASSERT_TRUE(r.Assemble(h + " MACRO\n\tDB 1\n\tENDM\n" + h + " MACRO\n\tDB 2\n\tENDM\n\tTWICE\n\tEND\n"));
        EXPECT_EQ(r.Image(0, 2), (Bytes{1, 0xFF}));  // the second body is neither recorded nor assembled
        EXPECT_TRUE(r.State().MacroTable[1].empty());
        // Every final pass finds the definitions of the first pass.
        ASSERT_TRUE(r.FinalPassAgain());
        ASSERT_TRUE(r.FinalPassAgain());
        EXPECT_TRUE(r.State().MacroTable[1].empty());
    }
}

TEST(Macros, ANameThatBeginsAnotherIsItsOwnMacro) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("DELAY MACRO\n\tDB 1\n\tENDM\nDEL MACRO\n\tDB 2\n\tENDM\n\tDEL\n\tDELAY\n\tDELA\n\tEND\n"));
    EXPECT_EQ(r.Image(0, 4), (Bytes{2, 1, 1, 0xFF}));
}

TEST(Macros, TableOverflowAtSixtyFiveSlots) {
    std::string src;
    for (int i = 0; i < 65; ++i) src += "MAC" + std::to_string(i) + " MACRO\n\tDB " + std::to_string(i) + "\n\tENDM\n";
    src += "EXTRA MACRO\n\tDB 0AAH\n\tENDM\n\tMAC64\n\tEND\n";
    Assembly r;
    ASSERT_TRUE(r.Assemble(src));
    // The 66th header is refused; its body is assembled in place.
    EXPECT_EQ(r.Image(0, 2), (Bytes{0xAA, 64}));
    EXPECT_TRUE(r.Shows("[Попытка вставки макроса EXTRA] Переполнение массива макросов для строки ниже:"));
    const auto& lines = r.pane.Lines();
    bool purple = false;
    for (const auto& line : lines)
        for (const auto& run : line)
            if (z51::Cp1251ToUtf8(run.text).find("Переполнение массива макросов") != std::string::npos)
                purple = run.color == z51::clr::Purple;
    EXPECT_TRUE(purple);
}

TEST(Macros, CallBeforeDefinitionWorksInTheFinalPassOnly) {
    Assembly r;
    r.FirstPass("\tLATE 7\nLATE: MACRO\n\tDB \\0\n\tENDM\n");
    EXPECT_EQ(r.ErrorCount(), 1);
    EXPECT_NE(r.FirstListing().find("Строка выше с директивами ассемблера не опознана!"), std::string::npos);
    ASSERT_TRUE(r.FinalPassAgain());
    EXPECT_EQ(r.Image(0, 2), (Bytes{7, 0xFF}));
}

TEST(Macros, CallsDoNotNest) {
    Assembly r;
    EXPECT_FALSE(r.Assemble("INNER: MACRO\n\tDB 1\n\tENDM\nOUTER: MACRO\n\tINNER\n\tDB 2\n\tENDM\n\tOUTER\n\tEND\n"));
    EXPECT_EQ(r.ErrorCount(), 1);  // INNER inside the replay is not recognised
    EXPECT_EQ(r.Image(0, 2), (Bytes{2, 0xFF}));
}

TEST(Macros, EndmWithoutDefinitionIsIgnored) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(".ENDM\n\tENDM\n\tDB 1\n"));
    EXPECT_EQ(r.Image(0, 2), (Bytes{1, 0xFF}));
    for (const auto& slot : r.State().MacroTable) EXPECT_TRUE(slot.empty());
}

TEST(Macros, LabelsInsideTheBodyAreDefinedWhileRecording) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("\tORG 10H\nM: MACRO\nINSIDE:\tNOP\n\tENDM\n\tDB INSIDE\n"));
    EXPECT_EQ(r.Image(0x10, 1), Bytes{0x10});
}

TEST(Macros, ConditionalBlocksChooseTheDefinition) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "DEBUG\tEQU 0\n"
        ".IFTRUE DEBUG\n"
        "TRACE: MACRO\n\tDB 0DDH\n\tENDM\n"
        ".ENDIF\n"
        ".IFZ    DEBUG\n"
        "TRACE: MACRO\n\tDB 11H\n\tENDM\n"
        ".ENDIF\n"
        "\tTRACE\n"
        ".IFTRUE DEBUG\n"
        "\tTRACE\n"  // a skipped call replays nothing
        ".ENDIF\n"
        "\tDB 22H\n"));
    EXPECT_EQ(r.Image(0, 3), (Bytes{0x11, 0x22, 0xFF}));
    EXPECT_TRUE(r.State().MacroTable[1].empty());
}
