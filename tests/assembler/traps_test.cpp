// Sources written for other assemblers and by other people: what they hold
// assembles as written or is reported as an error, never as other bytes
// in silence.
#include <gtest/gtest.h>

#include <optional>

#include "assembler/evaluator.h"
#include "isa/tables.h"
#include "tests/support/assembly.h"

namespace z51::test {
namespace {

TEST_P(AsWritten, GivesTheBytesOfWhatIsWritten) {
    const Written& w = GetParam();
    Assembly r;
    ASSERT_TRUE(r.Assemble(w.source)) << r.Listing();
    EXPECT_EQ(r.ErrorCount(), 0);
    EXPECT_EQ(r.Bin(), w.bin) << r.Listing();
    ExpectSameBinAndHex(r);
}

INSTANTIATE_TEST_SUITE_P(
    Traps, AsWritten,
    ::testing::Values(
        Written{"EndmInColumnOne", "M1 MACRO\n\tNOP\nENDM\n\tM1\n\tDB 1,2,3\n", {0x00, 1, 2, 3}},
        Written{"OtherEndWordsInColumnOne",
                "\tMACRO M2\n\tINC A\n%ENDM\nM3: MACRO\n\tDEC A\nendmac ; done\n\tM2\n\tM3\n\tNOP\n",
                {0x04, 0x14, 0x00}},
        Written{"WordBeginningWithMacro",
                "L1:\tLCALL MACROS\nSTART\tLCALL MACRO1\nMACROS:\tRET\nMACRO1:\tRETI\n",
                {0x12, 0x00, 0x06, 0x12, 0x00, 0x07, 0x22, 0x32}},
        Written{"BitOfPortZero", "X BIT P0.1\nY\tBIT P0.7\n\tSETB X\n\tCLR Y\n", {0xD2, 0x81, 0xC2, 0x87}},
        Written{"SemicolonInQuotedParameter", "PR MACRO\n\tDB \\0\n\tDB \\1\n\tENDM\n\tPR 'a;b','c'\n\tNOP\n",
                {0x61, 0x3B, 0x62, 0x63, 0x00}},
        Written{"ParameterTextRescanned", "P2 MACRO\n\tDB \\0\n\tENDM\n\tP2 1\\1,7\n\tNOP\n", {17, 0x00}},
        Written{"BlanksAroundCommas",
                "\tMOV A ,#5\n\tCJNE R0, #07FH, L1\nL1:\tADD A, R2\n\tMOV 30H , #1\n\tCJNE A , #2 , L1\n",
                {0x74, 0x05, 0xB8, 0x7F, 0x00, 0x2A, 0x75, 0x30, 0x01, 0xB4, 0x02, 0xF9}},
        Written{"BlanksAroundCommasInDataAndParameters", "PUT MACRO\n\tDB \\0,\\1\n\tENDM\n\tDB 1, 2 ,3 , 4 ;x\n\tPUT 5 , 6\n\tNOP\n",
                {1, 2, 3, 4, 5, 6, 0x00}}),
    [](const auto& info) { return std::string(info.param.what); });

using TrapLines = LineFixture;

TEST_F(TrapLines, EveryBitTableNameDefinesItsBit) {
    for (const NameRecord& bit : BitTable) {
        const std::string name(bit.Name());
        Asm("FLAG BIT " + name);
        EXPECT_EQ(Error(), "") << name;
        Evaluate(st, "FLAG");
        EXPECT_EQ(st.ExprValue, *FindBit(name)) << name;
    }
}

// Whether the last text of the pane that holds `utf8` is red.
bool ShownInRed(const RecordingPane& pane, std::string_view utf8) {
    for (std::size_t i = pane.Lines().size(); i-- > 0;)
        for (const auto& run : pane.Lines()[i])
            if (Cp1251ToUtf8(run.text).find(utf8) != std::string::npos) return run.color == clr::Red;
    return false;
}

TEST(Traps, UnclosedMacroDefinitionIsAnErrorOfEachPass) {
    Assembly r;
    EXPECT_FALSE(r.Assemble("\tDB 1\nM1 MACRO\n\tNOP\n\tM1\n"));
    const char* msg = "Макроопределение M1 не закрыто директивой ENDM!";
    EXPECT_TRUE(r.FirstListing().find(std::string("--- ") + msg) != std::string::npos) << r.FirstListing();
    EXPECT_TRUE(ShownInRed(r.pane, msg)) << r.Listing();
    EXPECT_EQ(r.ErrorCount(), 1);
    EXPECT_EQ(r.st().ErrorLines[0], 2u);  // the header's line
    EXPECT_FALSE(FileExists(r.dir.File("prog.Bin")));
    EXPECT_FALSE(FileExists(r.dir.File("prog.Hex")));
    // An END swallowed by the definition does not excuse it; a definition
    // that begins after END loses nothing.
    Assembly end;
    EXPECT_FALSE(end.Assemble("M1 MACRO\n\tNOP\n\tEND\n"));
    Assembly after;
    EXPECT_TRUE(after.Assemble("\tNOP\n\tEND\nM2 MACRO\n\tNOP\n"));
}

TEST(Traps, CodePastTheTopOfProgramMemoryIsAnError) {
    for (const char* source : {"\tORG 0FFFEH\n\tDB 1,2,3,4\n", "\tORG 0FFFFH\n\tMOV DPTR,#1234H\n",
                               ":03FFFF00010203F9\n", "\tORG 10000H\n\tNOP\n", "\tORG -1\n\tNOP\n"}) {
        SCOPED_TRACE(source);
        Assembly r;
        EXPECT_FALSE(r.Assemble(source));
        EXPECT_EQ(r.ErrorCount(), 1);
        EXPECT_TRUE(ShownInRed(r.pane, "Код выходит за пределы памяти программ 0000..FFFFH!")) << r.Listing();
        EXPECT_EQ(r.Image(0, 2), (Bytes{0xFF, 0xFF}));  // nothing wraps round to address 0
        EXPECT_FALSE(FileExists(r.dir.File("prog.Bin")));
        EXPECT_FALSE(FileExists(r.dir.File("prog.Hex")));
    }
    // Up to FFFFH itself is program memory.
    Assembly top("\tORG 0FFFEH\n\tDB 1,2\n");
    ASSERT_TRUE(top.written);
    EXPECT_EQ(top.Bin().size(), 0x10000u);
    EXPECT_EQ(top.Image(0xFFFE, 2), (Bytes{1, 2}));
    ExpectSameBinAndHex(top);
}

TEST(Traps, LineNumbersGoOnPastSixtyFiveThousand) {
    std::string source;
    for (int n = 1; n <= 70000; ++n) source += n == 5 || n == 65540 || n == 69999 ? "\tFROB\n" : ";\n";
    Assembly r;
    EXPECT_FALSE(r.Assemble(source));
    const auto& lines = r.pane.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(r.pane.LineText(lines.size() - 1), "5 65540 69999 ");
    // Every source line is listed on a line of its own under its own number.
    std::vector<long> numbers;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string text = r.pane.LineText(i);
        if (text.size() > 11 && text.compare(5, 6, " 0000 ") == 0) numbers.push_back(std::stol(text.substr(0, 5)));
    }
    ASSERT_EQ(numbers.size(), 70000u);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (numbers[i] != static_cast<long>(i + 1)) FAIL() << "line " << i + 1 << " listed as " << numbers[i];
}

}  // namespace
}  // namespace z51::test
