// The classic Intel dialect beside the described syntax: sources written
// for it assemble unchanged, and what the described syntax already gave a
// meaning keeps it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

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
        // IF/ELSE/ENDIF nest, also in column 1, beside the .IFxx directives.
        Written{"IfElseEndifNested",
                "DEBUG EQU 1\nLEVEL EQU 2\n\tIF DEBUG\n\tDB 1\n\tIF LEVEL GT 1 ; deeper\n\tDB 2\n\tELSE\n\tDB 3\n"
                "\tENDIF\n\tELSE\n\tDB 4\n\tIF 1\n\tDB 5\n\tENDIF\n\tENDIF\n\tIF DEBUG EQ 0\n\tDB 6\n\tELSE\n"
                "\tDB 7\n\tENDIF\nIF 0\n\tDB 8\nELSE\n\tDB 9\nENDIF\n"
                ".IFTRUE 0+0\n\tIF 1\n\tDB 10\n\tENDIF\n.ENDIF\n\tIF 0\n.IFTRUE 1+0\n\tDB 11\n.ENDIF\n\tENDIF\n\tDB 12\n",
                {1, 2, 7, 9, 12}},
        // IFDEF: a name given a value on an earlier line, in every pass.
        Written{"IfdefAndIfndef",
                "DEBUG EQU 1\n\tIFDEF DEBUG\n\tDB 1\n\tENDIF\nIFNDEF LATER\n\tDB 2\nENDIF\nLATER:\tIFDEF LATER\n"
                "\tDB 3\n\tENDIF\nCNT EQU R7\n\tIFDEF CNT\n\tDB 4\n\tENDIF\n\tIFDEF NONE\n\tDB 5\n\tENDIF\n",
                {1, 2, 3, 4}},
        // Named parameters and LOCAL labels of Intel's macros; a body that
        // numbers its parameters keeps its words as they are outside.
        Written{"NamedParametersAndLocalLabels",
                "SEND MACRO CHAN, VAL\n\tLOCAL WAIT\n\tMOV A,#VAL ; VAL here stays\n\tMOV CHAN,A\n"
                "WAIT:\tDJNZ R7,WAIT\n\tDB 'VAL'\n\tENDM\n\tSEND P1, 5\n\tSEND P2,'A'\n"
                "COUNT EQU 7\nM2: MACRO COUNT\n\tDB \\0,COUNT\n\tENDM\n\tM2 1\n"
                "PUT MACRO N\n\tIF N GT 1\n\tDB N\n\tELSE\n\tDB 0\n\tENDIF\n\tENDM\n\tPUT 5\n\tPUT 1\n\tNOP\n",
                {0x74, 5, 0xF5, 0x90, 0xDF, 0xFE, 'V', 'A', 'L', 0x74, 'A', 0xF5, 0xA0, 0xDF, 0xFE, 'V', 'A', 'L',
                 1, 7, 5, 0, 0}},
        // Each segment has its own location counter; USING selects the
        // bank of AR0..AR7.
        Written{"SegmentsAndRegisterBanks",
                "\tDSEG AT 30H\nCOUNT:\tDS 1\nBUF:\tDS 4\n\tISEG AT 80H\nSTACK:\tDS 16\n\tBSEG AT 0\n"
                "FLAG1:\tDBIT 1\nFLAG2:\tDBIT 2\nFLAG3:\tDBIT 1\n\tXSEG AT 1000H\nXBUF:\tDS 300\nXEND:\tDS 1\n"
                "\tCSEG AT 0\n\tMOV COUNT,#1\n\tMOV R0,#BUF+3\n\tMOV SP,#STACK-1\n\tSETB FLAG3\n\tMOV DPTR,#XEND\n"
                "\tUSING 2\n\tPUSH AR3\n\tUSING 0\n\tMOV A,AR7\n\tDSEG\nNEXT:\tDS 1\n\tCSEG\n\tMOV A,#NEXT\n",
                {0x75, 0x30, 0x01, 0x78, 0x34, 0x75, 0x81, 0x7F, 0xD2, 0x03, 0x90, 0x11, 0x2C, 0xC0, 0x13, 0xE5, 0x07,
                 0x74, 0x35}},
        // DW and DEFL store every word of a list, high byte first.
        Written{"WordLists", "L:\tDW 1234H,L , 2 * 3\n\tDEFL 1,-1\n\tDW 5 ; one\n",
                {0x12, 0x34, 0x00, 0x00, 0x00, 0x06, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0x05}},
        // Segments and banks change only where lines are assembled.
        Written{"SegmentsAndBanksOnlyWhereAssembled",
                "\tIF 0\n\tDSEG AT 30H\n\tUSING 2\n\tENDIF\nTOX MACRO\n\tXSEG\n\tENDM\n\tMOV A,AR1\n\tNOP\n",
                {0xE5, 0x01, 0x00}},
        Written{"BlanksInsideMacroParameters", "PUT MACRO\n\tDB \\0,\\1\n\tENDM\n\tPUT 1 + 2, HIGH 0300H\n\tNOP\n", {3, 3, 0}}),
    [](const auto& info) { return std::string(info.param.what); });

// Intel's controls: the ones with an effect get it, the others are named
// in a purple notice; none is an unrecognised line.
TEST(Controls, TakeEffectOrAreNamedInANotice) {
    Assembly r;
    r.dir.Write("defs.inc", "LEDS\tDATA 90H\n");
    r.dir.Write("more.inc", "\tDB 0AAH\n");
    ASSERT_TRUE(r.Assemble(
        "$MOD51\n$TITLE('Demo (v1)')\n$PAGELENGTH(60) PAGEWIDTH(132), XREF\n$INCLUDE (defs.inc)\n"
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

// DS in DSEG names data addresses; it wrote zero bytes into program
// memory at those addresses, over any code placed there.
TEST(Segments, DataPutsNothingIntoProgramMemory) {
    Assembly r("\tCSEG AT 30H\n\tNOP\n\tNOP\n\tDSEG AT 30H\nVAR:\tDS 2\n\tCSEG\n\tINC VAR\n");
    ASSERT_TRUE(r.written) << r.Listing();
    EXPECT_EQ(r.Image(0x30, 5), (Bytes{0x00, 0x00, 0x05, 0x30, 0xFF}));
}

// examples/lcdterm.a51 gives the bytes that as31 gives for the same program
// in its own syntax. Both texts are made from one description by a script,
// and as31's output was made once by hand (tests/assembler/fixtures/classic).
TEST(ClassicExample, GivesTheBytesAs31GivesForTheSameProgram) {
    namespace fs = std::filesystem;
    const fs::path fixtures = fs::path(ZANVEK_SOURCE_DIR) / "tests" / "assembler" / "fixtures" / "classic";
    const std::string example = ReadAll((fs::path(ZANVEK_SOURCE_DIR) / "examples" / "lcdterm.a51").string());
    // The example is the description without its own ";;" lines.
    std::string described;
    std::istringstream lines(ReadAll((fixtures / "lcdterm.desc").string()));
    for (std::string line; std::getline(lines, line);)
        if (!line.starts_with(";;")) described += line + "\n";
    EXPECT_EQ(example, described);

    Assembly r;
    ASSERT_TRUE(r.Assemble(example)) << r.Listing();
    const std::optional<Bytes> as31 = HexImage(ReadAll((fixtures / "lcdterm_as31.hex").string()));
    ASSERT_TRUE(as31.has_value());
    const Bytes bin = r.Bin();
    ASSERT_GT(bin.size(), 600u);
    EXPECT_EQ(Bytes(as31->begin(), as31->begin() + static_cast<std::ptrdiff_t>(bin.size())), bin);
    EXPECT_TRUE(std::all_of(as31->begin() + static_cast<std::ptrdiff_t>(bin.size()), as31->end(),
                            [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(Macros, LocalLabelsAreDefinedByTheExpansionsOnly) {
    Assembly r("W MACRO\n\tLOCAL AGAIN\nAGAIN:\tDJNZ R7,AGAIN\n\tENDM\n\tNOP\n\tW\n\tW\n\tNOP\n");
    ASSERT_TRUE(r.written) << r.Listing();
    const SymbolTable& t = r.st().Symbols;
    EXPECT_EQ(t.Find("AGAIN"), LabelCapacity);
    EXPECT_EQ(t.LabelValues[static_cast<std::size_t>(t.Find("AGAIN??0001"))], 1);
    EXPECT_EQ(t.LabelValues[static_cast<std::size_t>(t.Find("AGAIN??0002"))], 3);
}

TEST(DialectMistakes, AreErrorsOfTheirLines) {
    const struct {
        const char* source;
        const char* error;
        std::uint32_t line;
    } cases[] = {
        {"\tNOP\n\tELSE\n", "Директива ELSE без IF!", 2},
        {"\tENDIF\n", "Директива ENDIF без IF!", 1},
        {"\tIF 1\n\tELSE\n\tELSE\n\tENDIF\n", "Второй ELSE в одном блоке IF!", 3},
        {"\tNOP\n\tIF 1\n\tNOP\n", "Блок IF в строке 2 не закрыт директивой ENDIF!", 2},
        {"\tIF LATER\n\tDB 1\n\tENDIF\n", "Аргумент должен иметь числовое значение!", 1},
        {"\tIFDEF\n\tENDIF\n", "Аргумент должен иметь числовое значение!", 1},
        {"\tLOCAL X\n", "Директива LOCAL вне макроопределения!", 1},
        {"\tISEG AT 80H\n\tNOP\n", "В сегментах ISEG, BSEG и XSEG нет кода: там только DS и DBIT!", 2},
        {"\tDSEG AT 30H\nF:\tDBIT 1\n", "Директива DBIT допустима только в сегменте BSEG!", 2},
        {"\tBSEG AT 7FH\n\tDBIT 2\n", "Выход за пределы сегмента!", 2},
        {"\tISEG AT 0F0H\n\tDS 17\n", "Выход за пределы сегмента!", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        Assembly r;
        EXPECT_FALSE(r.Assemble(c.source));
        EXPECT_EQ(r.ErrorCount(), 1);
        EXPECT_TRUE(r.Shows(c.error)) << r.Listing();
        EXPECT_EQ(r.st().ErrorLines[0], c.line);
    }
    // Without an open block, ENDIF in column 1 is the label it always was.
    Assembly label("ENDIF\tNOP\n\tSJMP ENDIF\n");
    EXPECT_TRUE(label.written) << label.Listing();
    EXPECT_EQ(label.Bin(), (Bytes{0x00, 0x80, 0xFD}));
}

}  // namespace
}  // namespace z51::test
