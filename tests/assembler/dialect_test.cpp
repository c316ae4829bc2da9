// The classic Intel dialect beside the described syntax: sources written
// for it assemble unchanged, and what the described syntax already gave a
// meaning keeps it.
#include <gtest/gtest.h>

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

INSTANTIATE_TEST_SUITE_P(
    Dialect, AsWritten,
    ::testing::Values(
        // Blanks inside an expression belong to the operand; other text
        // after a blank still ends it.
        Written{"BlanksInsideExpressions",
                "X EQU 10 * 2\n\tDB X\n\tMOV A,#HIGH 1234H\n\tMOV A, #LOW (1234H) ; low\n"
                "\tCJNE A,#'A' + 1 , L\nL:\tDB 1 + 1, 2 * 3\n\tMOV A,#5 LOAD\n",
                {20, 0x74, 0x12, 0x74, 0x34, 0xB4, 0x42, 0x00, 2, 6, 0x74, 5}},
        // Every item of a DB list is stored, strings and numbers mixed.
        Written{"DataListsMixStringsAndNumbers",
                "\tDB 'Hello',0DH,0AH,0\n\tDB 1,'A',2\n\tDB 'ab' , 'c', 'd'+1, ' ', ',', ';'\n"
                "\tDB 1,'xy;z',2 ; two\n\tDB 0,'a'\n\t'ok',0\n",
                {'H', 'e', 'l', 'l', 'o', 0x0D, 0x0A, 0, 1, 'A', 2, 'a', 'b', 'c', 'E', ' ', ',', ';', 1, 'x', 'y',
                 ';', 'z', 2, 0, 'A', 'O', 'K', 0}},
        Written{"BlanksInsideMacroParameters", "PUT MACRO\n\tDB \\0,\\1\n\tENDM\n\tPUT 1 + 2, HIGH 0300H\n\tNOP\n", {3, 3, 0}}),
    [](const auto& info) { return std::string(info.param.what); });

// Intel's controls: the ones with an effect get it, the others are named
// in a purple notice; none is an unrecognised line.
TEST(Controls, TakeEffectOrAreNamedInANotice) {
    Assembly r;
    r.dir.Write("defs.inc", "LEDS\tDATA 90H\n");
    r.dir.Write("more.inc", "\tDB 0AAH\n");
    ASSERT_TRUE(r.Assemble(
        "$MOD51\n$TITLE('Demo (v1)')\n$PAGELENGTH(60) PAGEWIDTH(132) XREF\n$INCLUDE (defs.inc)\n"
        "$NOLIST\n\tDB 1 ; hidden\n$LIST\n\tMOV LEDS,#0\n$ic(more.inc) ; short form\n"
        "$LOOP\tSJMP $LOOP\n"))
        << r.Listing();
    EXPECT_EQ(r.Bin(), (Bytes{1, 0x75, 0x90, 0x00, 0xAA, 0x80, 0xFE}));
    EXPECT_EQ(r.ErrorCount(), 0);
    EXPECT_FALSE(r.Shows("hidden"));
    EXPECT_TRUE(r.Shows("MOV LEDS,#0"));
    EXPECT_EQ(r.st().TitleText, "Demo (v1)");
    EXPECT_EQ(r.st().PageLength, 60);
    std::vector<std::string> notices;
    for (const auto& line : r.pane.Lines())
        for (const auto& run : line)
            if (run.color == clr::Purple && Cp1251ToUtf8(run.text).starts_with("Управление"))
                notices.push_back(Cp1251ToUtf8(run.text));
    EXPECT_EQ(notices, (std::vector<std::string>{"Управление $MOD51 в строке выше не влияет на код и пропущено.",
                                                  "Управление $PAGEWIDTH XREF в строке выше не влияет на код и пропущено."}));
}

}  // namespace
}  // namespace z51::test
