// Conditional assembly and comment blocks.
#include <gtest/gtest.h>

#include "tests/support/assembly.h"

using namespace z51::test;

TEST(Conditional, FalseBlocksAreSkipped) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "ZERO\tEQU 0\nONE\tEQU 1\nTWO\tEQU 2\n"
        ".IFTRUE ZERO\n\tDB 1\n.ENDIF\n"     // skipped
        ".IFTRUE ONE\n\tDB 2\n.ENDIF\n"      // kept
        ".IFNZ   ZERO\n\tDB 3\n.ENDIF\n"     // skipped
        ".IFZ    ZERO\n\tDB 4\n.ENDIF\n"     // kept
        ".IFZ    ONE\n\tDB 5\n.ENDIF\n"      // skipped
        ".IFFALSE TWO\n\tDB 6\n.ENDIF\n"     // kept: only 1 is true for .IFFALSE
        ".IFFALSE ONE\n\tDB 7\n.ENDIF\n"     // skipped
        ".IFZ    UNDEFINED\n\tDB 8\n.ENDIF\n"  // skipped: no value
        "\tDB 9\n"));
    EXPECT_EQ(r.Image(0, 5), (Bytes{2, 4, 6, 9, 0xFF}));
    EXPECT_EQ(r.ErrorCount(), 0);
}

TEST(Conditional, SkippedLinesGiveNoBytesNoValuesAndNoErrors) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        ".IFTRUE NOTHING\n"
        "HERE:\tDB 1,2,3\n"
        "X\tEQU 55H\n"
        "\tEND\n"
        "\tBOGUS LINE\n"
        ".ENDIF\n"
        "\tDB 7\n"));
    EXPECT_EQ(r.Image(0, 2), (Bytes{7, 0xFF}));
    for (const char* name : {"HERE", "X"}) {
        const std::int32_t i = r.State().Symbols.Find(name);
        if (i != z51::LabelCapacity) {
            EXPECT_EQ(r.State().Symbols.LabelDefined[i], 0) << name;
        }
    }
}

TEST(Conditional, AnIfInsideASkippedBlockDecidesAnew) {
    Assembly r;
    ASSERT_TRUE(r.Assemble("ON\tEQU 1\n.IFTRUE OFF\n\tDB 1\n.IFTRUE  ON\n\tDB 2\n.ENDIF\n\tDB 3\n"));
    EXPECT_EQ(r.Image(0, 3), (Bytes{2, 3, 0xFF}));
}

TEST(Conditional, TheExpressionFollowsTheWordAndEndsAtTheComment) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        "DEBUG\tEQU 1\n"
        ".IFNZ DEBUG\n\tDB 1\n.ENDIF\n"
        ".IFTRUE DEBUG ; only while debugging\n\tDB 2\n.ENDIF\n"
        ".IFZ DEBUG-1\n\tDB 3\n.ENDIF ; end\n"));
    EXPECT_EQ(r.Image(0, 4), (Bytes{1, 2, 3, 0xFF}));
    EXPECT_TRUE(r.Shows(".IFTRUE DEBUG ; only while debugging")) << r.Listing();
}

TEST(Conditional, ListingShowsDirectiveAndExpression) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(".IFTRUE   1+1\n.ENDIF\n"));
    // The last line (.ENDIF) names its directive; the first shows its operand.
    EXPECT_EQ(r.State().Mnemonic, ".ENDIF");
    bool blueIf = false, greenExpr = false;
    for (const auto& run : r.pane.Lines()[0]) {
        blueIf |= run.color == z51::clr::Blue && run.text == ".IFTRUE";
        greenExpr |= run.color == z51::clr::Green && run.text == "1+1";
    }
    EXPECT_TRUE(blueIf);
    EXPECT_TRUE(greenExpr);
}

TEST(CommentBlocks, BothFormsSwallowTheirLines) {
    Assembly r;
    ASSERT_TRUE(r.Assemble(
        ".COMMENT %\n"
        "\tDB 1\n"
        "garbage that is no statement\n"
        "%\n"
        "\tDB 2\n"
        "\tCOMMENT %\n"
        "\tDB 3\n"
        "\t%\n"
        "\tDB 4\n"));
    EXPECT_EQ(r.Image(0, 3), (Bytes{2, 4, 0xFF}));
    EXPECT_EQ(r.ErrorCount(), 0);
}
