// The line parser: field cutting, labels, column-1 directives, HEX record
// lines, comment blocks and every non-data directive.

#include "isa/intel_hex.h"
#include "tests/support/assembly.h"

namespace z51::test {
namespace {

class ParserTest : public LineFixture {
protected:
    std::string Cols(const Span& s) { return std::string(Columns(st.AsmLine, s.start, s.end)); }
    std::int32_t Symbol(std::string_view name) {
        FindIndex_LBLEQU(st, name);
        if (st.FoundIndex >= LabelCapacity) return -99999;
        return st.Symbols.LabelValues[static_cast<std::size_t>(st.FoundIndex)];
    }
};

TEST_F(ParserTest, FieldsOfAnInstructionLine) {
    Asm("LOOP:  DJNZ\tR7,LOOP ; x;y");
    const FieldSpanSet& f = st.FieldSpans;
    EXPECT_EQ(Cols(f.LabelSpan), "LOOP:");
    EXPECT_EQ(Cols(f.LabelGap), "  ");
    EXPECT_EQ(st.Mnemonic, "DJNZ");
    EXPECT_EQ(Cols(f.MnemonicGap), "\t");
    EXPECT_EQ(st.Operand1, "R7");
    EXPECT_EQ(Cols(f.Separator1), ",");
    EXPECT_EQ(st.Operand2, "LOOP");
    EXPECT_EQ(Cols(f.TrailGap), " ");
    EXPECT_EQ(f.CommentStart, 21);  // the first ";"
    EXPECT_EQ(st.LineHandled, 1);
}

TEST_F(ParserTest, OperandSeparators) {
    Asm("\tCJNE A,#5,LOOP");
    EXPECT_EQ(st.Operand1 + "|" + st.Operand2 + "|" + st.Operand3, "A|#5|LOOP");
    Asm("\tCJNE A, #5,LOOP");
    EXPECT_EQ(st.Operand1 + "|" + st.Operand2 + "|" + st.Operand3, "A|#5|LOOP");
    EXPECT_EQ(Cols(st.FieldSpans.Separator1), ", ");
    Asm("\tCJNE A,#5, LOOP");  // blanks beside a comma belong to the separator
    EXPECT_EQ(st.Operand3, "LOOP");
    EXPECT_EQ(Cols(st.FieldSpans.Separator2), ", ");
    Asm("\tCJNE R0 , #7 , L1 ; c");
    EXPECT_EQ(st.Operand1 + "|" + st.Operand2 + "|" + st.Operand3, "R0|#7|L1");
    EXPECT_EQ(Cols(st.FieldSpans.Separator1) + "|" + Cols(st.FieldSpans.Separator2), " , | , ");
    Asm("\tMOV A ,#1");
    EXPECT_EQ(st.Operand1 + "|" + st.Operand2, "A|#1");
    EXPECT_EQ(st.FieldSpans.TrailGap.start, 0);
    Asm("\tMOV A #1");  // a blank with no comma beside it ends the list
    EXPECT_EQ(st.Operand1 + "|" + st.Operand2, "A|");
    EXPECT_EQ(Cols(st.FieldSpans.TrailGap), " #1");  // still shown in the listing
    Asm("\tmov a,#'x'");
    EXPECT_EQ(st.Mnemonic, "MOV");
    EXPECT_EQ(st.Operand2, "#'X'");  // operands are upper-cased
    EXPECT_EQ(st.AsmLine, "\tMOV a,#'x'");  // the mnemonic is upper-cased in the line
}

TEST_F(ParserTest, LabelsInColumnOneAndIndented) {
    Asm("   START: NOP", 0x10);
    EXPECT_EQ(Symbol("START"), 0x10);
    Asm("\tMOV A,#':'");  // the colon is not in the first word
    EXPECT_EQ(st.FieldSpans.LabelSpan.start, 0);
    Asm("NOLABEL", 0x20);  // column 1 is always a label
    EXPECT_EQ(Symbol("NOLABEL"), 0x20);
    EXPECT_EQ(st.Mnemonic, "");
    EXPECT_EQ(st.LineHandled, 0);
    Asm("; just a comment");
    EXPECT_EQ(st.FieldSpans.CommentStart, 1);
    EXPECT_EQ(st.FieldSpans.LabelSpan.start, 0);
    Asm(":");  // an empty name defines nothing and reports nothing
    EXPECT_TRUE(pane.Lines().empty());
}

TEST_F(ParserTest, CyrillicLookAlikesAreLatin) {
    Asm("\tМОV А,#1");  // Cyrillic М, О and А
    EXPECT_EQ(st.Mnemonic, "MOV");
    EXPECT_EQ(Asm("\tМОV А,#1"), (Bytes{0x74, 0x01}));
}

TEST_F(ParserTest, EmptyLineProducesNothing) {
    Asm("");
    EXPECT_EQ(st.LineHandled, 0);
    EXPECT_EQ(st.LineNo, 1);
}

TEST_F(ParserTest, HexRecordLinesAsSource) {
    EXPECT_EQ(Asm(":03003000020003C8"), (Bytes{0x02, 0x00, 0x03}));
    EXPECT_EQ(st.LineAddr, 0x30);
    EXPECT_EQ(st.NextAddr, 0x33);
    EXPECT_EQ(st.Mnemonic, "03003000");
    EXPECT_EQ(Cols(st.FieldSpans.Operand2Span), "C8");
    Asm(":00000001FF");
    EXPECT_EQ(st.EndSeen, 1);
    EXPECT_EQ(Asm("\tNOP"), Bytes{});  // nothing after the end
    st.EndSeen = 0;
    Asm(":XY0000");  // not hexadecimal: an ordinary label line
    EXPECT_EQ(st.LineHandled, 0);
    Asm(":0300300002");  // too short for three bytes
    EXPECT_EQ(st.LineByteCount, 0);
    Asm(":0000000000");
    EXPECT_EQ(st.LineHandled, 1);
    // Address digits that are no hexadecimal pairs stay inside 64 KiB.
    Asm(":01ZZZZ0012FF");
    EXPECT_LE(st.LineAddr, 0xFFFF);
}

TEST_F(ParserTest, HexRecordTypesAsSource) {
    Asm(":020000040001F9");  // extended linear address: 10000H on
    EXPECT_EQ(st.LineByteCount, 0);
    EXPECT_TRUE(pane.Lines().empty());
    EXPECT_EQ(Asm(":0100000055AA"), Bytes{});  // above FFFFH: dropped, never wrapped
    EXPECT_EQ(pane.LineText(0), HexDroppedNotice());
    Asm(":020000020800F4");  // extended segment address 0800H: 8000H on
    EXPECT_EQ(Asm(":0101000055A9"), Bytes{0x55});
    EXPECT_EQ(st.LineAddr, 0x8100);
    Asm(":020000040000FA");
    EXPECT_EQ(Asm(":04FFFE00AABBCCDDF1"), (Bytes{0xAA, 0xBB, 0xCC, 0xDD}));  // from program memory past its top
    EXPECT_EQ(Error(), "Код выходит за пределы памяти программ 0000..FFFFH!");
    pane.Clear();
    EXPECT_EQ(Asm(":0400000500000029CE"), Bytes{});  // start address: not loaded
    EXPECT_EQ(pane.LineText(0), HexStartIgnoredNotice());
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Asm(":0100000655A4"), Bytes{});
    EXPECT_EQ(Error(), "Запись HEX неизвестного типа или длины пропущена!");
    Asm(":00002901D6");  // an end record with an address
    EXPECT_EQ(st.EndSeen, 1);
}

// srec_cat's files (tests/fileutil/fixtures) assembled as sources: data
// above FFFFH are dropped with a notice, a record running past FFFFH from
// below is code past the top of program memory.
TEST(HexRecordSources, FilesWrittenBySrecCat) {
    struct Case {
        const char* file;
        std::size_t size;  // of the .Bin; 0: none written
        const std::string* notice;
    };
    const Case cases[] = {
        {"start_linear.hex", 0x2E, &HexStartIgnoredNotice()}, {"start_segment.hex", 0x2E, &HexStartIgnoredNotice()},
        {"start_i8hex.hex", 0x2E, nullptr},                    {"cut_short.hex", 0x2E, &HexNoEndNotice()},
        {"above_linear.hex", 0, &HexDroppedNotice()},          {"above_segment.hex", 0x10000, &HexDroppedNotice()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Assembly a(ReadAll(std::string(ZANVEK_SOURCE_DIR) + "/tests/fileutil/fixtures/" + c.file));
        EXPECT_EQ(a.written, c.size != 0);
        EXPECT_EQ(a.ErrorCount(), c.size == 0 ? 1 : 0);
        EXPECT_EQ(a.Image(0, 4), (Bytes{0x02, 0x00, 0x29, 0xFF}));
        if (c.size == 0x2E) {
            EXPECT_EQ(a.Image(0x29, 6), (Bytes{0x75, 0x81, 0x60, 0x80, 0xFE, 0xFF}));
        } else {
            EXPECT_EQ(a.Image(0xFFF8, 8), (Bytes{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17}));
        }
        if (c.size != 0) {
            EXPECT_EQ(a.Bin().size(), c.size);
        }
        for (const std::string* n : {&HexStartIgnoredNotice(), &HexNoEndNotice(), &HexDroppedNotice()})
            EXPECT_EQ(a.Shows(Cp1251ToUtf8(*n)), n == c.notice);
    }
}

TEST_F(ParserTest, CommentBlocks) {
    Asm(".COMMENT %");
    EXPECT_EQ(st.CommentBlock, 1);
    EXPECT_EQ(Asm("\tNOP"), Bytes{});
    EXPECT_EQ(st.LineHandled, 1);
    EXPECT_EQ(st.FieldSpans.CommentStart, 1);
    Asm("  some text %");  // longer than 2: still inside
    EXPECT_EQ(st.CommentBlock, 1);
    Asm("  %");
    EXPECT_EQ(st.CommentBlock, 0);
    EXPECT_EQ(st.Mnemonic, "%");
    EXPECT_EQ(Asm("\tNOP"), Bytes{0x00});
    Asm("\tCOMMENT %");
    EXPECT_EQ(st.CommentBlock, 1);
    Asm("%");
    EXPECT_EQ(st.CommentBlock, 0);
    Asm(".COMMENT no percent sign");  // not a block: a label line
    EXPECT_EQ(st.CommentBlock, 0);
}

TEST_F(ParserTest, ColumnOneDirectives) {
    Asm("$NOMOD5");  // 7 characters are not enough
    EXPECT_EQ(st.ListingOn, 1);
    Asm("$NOMOD51");
    EXPECT_EQ(st.ListingOn, 0);
    EXPECT_EQ(st.LineListed, 1);  // the line itself is still listed
    EXPECT_EQ(st.Mnemonic, "$NOMOD51");
    st.ListingOn = 1;
    Asm("$NO_LIST ");
    EXPECT_EQ(st.ListingOn, 0);
    st.ListingOn = 1;
    Asm(".GLOBAL ab");  // 10 characters: a label
    EXPECT_EQ(st.LineHandled, 0);
    Asm(".GLOBAL abc");
    EXPECT_EQ(st.LineHandled, 1);
    EXPECT_EQ(st.FieldSpans.CommentStart, 1);
}

TEST_F(ParserTest, IdentTextAndTimeStamp) {
    Asm(".IDENT /24.12.2025 18:30/");
    EXPECT_EQ(st.IdentText, "/24.12.2025 18:30/");
    EXPECT_EQ(st.Mnemonic, ".IDENT");
    EXPECT_EQ(st.LineHandled, 1);
    EXPECT_EQ(Cols(st.FieldSpans.MnemonicGap), " /");
    EXPECT_EQ(Cols(st.FieldSpans.Operand1Span), "24.12.2025 18:30");
    Asm(".IDENT/x/ ; c");
    EXPECT_EQ(st.IdentText, "/x/");
    EXPECT_EQ(Cols(st.FieldSpans.MnemonicGap), "/");
    Asm(".IDENT without slashes");
    EXPECT_EQ(st.IdentText, "");

    Bytes b = Asm("\tIDENT");
    std::string stamp = "08.12.2026 10:20";
    Bytes want(stamp.begin(), stamp.end());
    want.push_back(0);
    EXPECT_EQ(b, want);
    EXPECT_EQ(st.NextAddr, 17);
    EXPECT_EQ(st.AsmLine, "\tIDENT 08.12.2026 10:20");
    EXPECT_EQ(st.FieldSpans.CommentStart, 7);  // the stamp is shown
}

TEST_F(ParserTest, OriginDirectives) {
    Asm("\tORG 100H");
    EXPECT_EQ(st.NextAddr, 0x100);
    EXPECT_EQ(st.AfterOrg, 1);
    Asm("\tORG UNKNOWN", 0x100);  // keeps the address, and says why
    EXPECT_EQ(st.NextAddr, 0x100);
    EXPECT_EQ(Error(), "Аргумент должен иметь числовое значение!");
    Asm("\tCSEG AT 0200H ; code");
    EXPECT_EQ(st.NextAddr, 0x200);
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Cols(st.FieldSpans.Operand2Span), "0200H");
    Asm("\tDSEG AT 30H");
    EXPECT_EQ(st.NextAddr, 0x30);
    Asm("\tCSEG AT  0100H", 0x30);  // two blanks after AT
    EXPECT_EQ(Error(), "Недопустивое задание адреса DSEG,CSEG");
    EXPECT_EQ(st.NextAddr, 0x30);
    Asm("\tCSEG", 0x30);  // no AT: the code segment goes on where it stopped
    EXPECT_EQ(st.LineHandled, 1);

    Asm("\tORG_MIN 100H");
    EXPECT_EQ(st.BinFrom, 0x100);
    EXPECT_EQ(st.LowAddr, 0x100);
    Asm("\tORG_MAX 1FFH");
    EXPECT_EQ(st.BinTo, 0x1FF);
    EXPECT_EQ(st.HighAddr, 0x1FF);
}

TEST_F(ParserTest, AutoOrgPlacesCodeAtMultiplesOfTheStep) {
    Asm("\tAUTOORG 100H");
    EXPECT_EQ(st.NextAddr, 0x100);
    Asm("\tAUTOORG 100H");
    EXPECT_EQ(st.NextAddr, 0x200);
    Asm("\tAUTOORG 0FFFFH");
    EXPECT_EQ(st.NextAddr, 0xFFFF * 3);
}

TEST_F(ParserTest, HexAndListingSettings) {
    Asm("\tHEXWIDTH 200");
    EXPECT_EQ(st.HexWidth, 112);
    Asm("\tHEXCR 300");
    EXPECT_EQ(st.HexCR, 255);
    Asm("\tHEXCR 0");
    EXPECT_EQ(ws.HexCR, 0);  // the workspace setting itself
    Asm("\tPAGEWIDTH 60");
    EXPECT_EQ(st.PageLength, 60);
    Asm("\tHEXWIDTH NOWHERE");
    EXPECT_EQ(Error(), "Аргумент должен иметь числовое значение!");
    Asm("\tTITLE My program ; v1");
    EXPECT_EQ(st.TitleText, "My program ; v1");
    EXPECT_EQ(st.FieldSpans.CommentStart, 0);
    Asm("\t.2764");
    EXPECT_EQ(st.EpromSize, 8192);
    Asm("\t.27512");
    EXPECT_EQ(st.EpromSize, 65536);
    Asm("\t.27XYZ");
    EXPECT_EQ(Error(), "Псевдо команда .27xxx не распознана");
}

TEST_F(ParserTest, EquatesBitsAndAliases) {
    Asm("X\tEQU\t5", 0x10);
    EXPECT_EQ(Symbol("X"), 5);
    Asm("Y:\tEQU\t6");  // the colon belongs to the equate's name
    EXPECT_EQ(Symbol("Y:"), 6);
    Asm("FLAG\tBIT\tPSW.3");
    EXPECT_EQ(Symbol("FLAG"), 0xD3);
    Asm("F2\tBIT\t20H.1");
    EXPECT_EQ(Symbol("F2"), 0x01);
    Asm("F3\tBIT\tACC.7");
    EXPECT_EQ(Symbol("F3"), 0xE7);
    Asm("F4\tBIT\tTI");
    EXPECT_EQ(Symbol("F4"), 0x99);

    Asm("D\tDATA\t30H", 0x44);  // only an equate inside an include file
    EXPECT_EQ(st.LineHandled, 0);
    EXPECT_EQ(Symbol("D"), 0x44);
    st.IncludeActive = 1;
    Asm("D\tDATA\t30H", 0x44);
    EXPECT_EQ(Symbol("D"), 0x30);
    EXPECT_EQ(Error(), "");  // the label step's duplicate message is dropped
    st.IncludeActive = 0;

    Asm("CNT\tEQU\tR7");
    EXPECT_EQ(st.RegAlias[7], "CNT");
    EXPECT_EQ(Asm("\tDJNZ CNT,$", 0x100), (Bytes{0xDF, 0xFE}));
}

TEST_F(ParserTest, VarAndSetAreEquatesOnlyInMacrosAndIncludeFiles) {
    Asm("V\tVAR\t5", 0x20);
    EXPECT_EQ(st.LineHandled, 0);
    st.MacroState = MacroMode::Replaying;  // a macro body being replayed
    Asm("V\tVAR\t7", 0x30);  // the label step's duplicate message is dropped
    EXPECT_EQ(Error(), "");
    EXPECT_EQ(Symbol("V"), 7);
    st.MacroState = MacroMode::None;
    st.IncludeActive = 1;
    Asm("S\tSET\t9");
    EXPECT_EQ(Symbol("S"), 9);
    Asm("RB\tREG\tR2");
    EXPECT_EQ(st.RegAlias[2], "RB");
}

TEST_F(ParserTest, EndAndIgnoredWords) {
    for (const char* w : {"\tEXTRN X", "\tPUBLIC Y", "\tUSING 0", "\tRSEG CODE"}) {
        Asm(w);
        EXPECT_EQ(st.LineHandled, 1) << w;
    }
    Asm("\tEND");
    EXPECT_EQ(st.EndSeen, 1);
    EXPECT_EQ(Asm("AFTER:\tNOP", 0x50), Bytes{});  // parsed, labels still defined
    EXPECT_EQ(Symbol("AFTER"), 0x50);
    EXPECT_EQ(Asm("\tMOV A,UNDEFINED"), Bytes{});
    EXPECT_EQ(Error(), "");
    st.EndSeen = 0;
    st.IncludeActive = 1;
    Asm("\tEND");  // an END inside an include file ends nothing
    EXPECT_EQ(st.EndSeen, 0);
}

TEST_F(ParserTest, UnknownMnemonicIsNotHandled) {
    Asm("\tFROB A");
    EXPECT_EQ(st.LineHandled, 0);
    EXPECT_EQ(st.Mnemonic, "FROB");
}

TEST_F(ParserTest, LongLinesAreCutWithAMessage) {
    std::string line = "\tNOP ;" + std::string(70000, 'x');
    EXPECT_EQ(Asm(line), Bytes{0x00});
    EXPECT_EQ(st.AsmLine.size(), kMaxLineLength);
    EXPECT_EQ(Error(), "Строка длиннее 65000 символов обрезана!");
    std::string op = "\tMOV A,#" + std::string(400, '1');
    Asm(op);
    EXPECT_EQ(st.LineByteCount, 2);  // a long operand is just invalid
}

TEST_F(ParserTest, MacroRecordingInTheClosingStep) {
    st.MacroState = MacroMode::Recording;
    st.MacroText = "\nM MACRO";
    EXPECT_EQ(Asm("\tMOV A,#1"), Bytes{});
    EXPECT_EQ(st.MacroText, "\nM MACRO\n\tMOV A,#1");
    EXPECT_EQ(st.NextAddr, st.LineAddr);
    st.MacroState = MacroMode::HeaderNameMacro;
    st.MacroName = "NAME";
    Asm("\tNOP");
    EXPECT_EQ(st.MacroState, MacroMode::Recording);
    EXPECT_EQ(st.MacroText, "\nNAME MACRO");
}

}  // namespace
}  // namespace z51::test
