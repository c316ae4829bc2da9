// The symbol table: capacity, duplicates, register aliases, long names.

#include "assembler/symtab.h"

#include "tests/support/assembly.h"

namespace z51::test {
namespace {

class SymtabTest : public LineFixture {};

TEST_F(SymtabTest, CapacityIs2559AndTheNextLabelIsReported) {
    for (int i = 0; i < LabelCapacity; ++i) {
        GetIndex_LBLEQU(st, "L" + std::to_string(i));
        ASSERT_EQ(st.FoundIndex, i);
        SaveIndex_LBLEQU(st, i);
    }
    EXPECT_EQ(st.Symbols.LabelCount, 2559);
    GetIndex_LBLEQU(st, "ONE_MORE");
    EXPECT_EQ(st.FoundIndex, LabelCapacity);
    GetIndex_LBLEQU(st, "L2558");  // existing names are still found
    EXPECT_EQ(st.FoundIndex, 2558);

    // A label line with no room: the purple notice before the line, no error.
    Asm("EXTRA:\tNOP");
    ASSERT_FALSE(pane.Lines().empty());
    EXPECT_EQ(Cp1251ToUtf8(pane.LineText(0)), "Переполнение массива меток для строки ниже:");
    EXPECT_EQ(pane.Lines()[0][0].color, clr::Purple);
    EXPECT_EQ(Error(), "");
    FindIndex_LBLEQU(st, "EXTRA");
    EXPECT_EQ(st.FoundIndex, LabelCapacity);
}

TEST_F(SymtabTest, EquatesRedefineFreelyLabelsReportDuplicates) {
    Asm("X\tEQU\t5");
    Asm("X\tEQU\t6");
    EXPECT_EQ(Error(), "");
    FindIndex_LBLEQU(st, "X");
    EXPECT_EQ(st.Symbols.LabelValues[static_cast<std::size_t>(st.FoundIndex)], 6);

    Asm("HERE:\tNOP", 16);
    EXPECT_EQ(Error(), "");
    Asm("HERE:\tNOP", 32);
    EXPECT_EQ(Error(), "Дубликатное имя метки! (16->32)");
    Asm("HERE:\tNOP", 32);  // the same address again is fine
    EXPECT_EQ(Error(), "");
}

TEST_F(SymtabTest, AliasNamesCountAsFreeEntries) {
    // R EQU R3: the label step entered R, the alias makes its entry free.
    Asm("R\tEQU\tR3", 0x40);
    EXPECT_EQ(st.RegAlias[3], "R");
    FindIndex_LBLEQU(st, "R");
    EXPECT_EQ(st.FoundIndex, 0);
    GetIndex_LBLEQU(st, "NEXT");
    EXPECT_EQ(st.FoundIndex, 0);  // overwrites the entry that held R
    EXPECT_EQ(st.Symbols.Name(0), "NEXT");
    FindIndex_LBLEQU(st, "R");
    EXPECT_EQ(st.FoundIndex, LabelCapacity);
    EXPECT_EQ(st.Symbols.LabelCount, 2);  // every insertion counts
}

TEST_F(SymtabTest, LongNamesAreCutAndEmptyNamesRefused) {
    std::string name(70, 'N');
    GetIndex_LBLEQU(st, name);
    EXPECT_EQ(st.FoundIndex, 0);
    EXPECT_EQ(st.Symbols.Name(0).size(), 64u);
    EXPECT_EQ(st.Symbols.MaxLabelLen, 70);
    FindIndex_LBLEQU(st, name);
    EXPECT_EQ(st.FoundIndex, LabelCapacity);  // the full name is not found
    FindIndex_LBLEQU(st, name.substr(0, 64));
    EXPECT_EQ(st.FoundIndex, 0);
    GetIndex_LBLEQU(st, name);  // inserted again, the scan does not match it
    EXPECT_EQ(st.FoundIndex, 1);

    GetIndex_LBLEQU(st, "");
    EXPECT_EQ(st.FoundIndex, LabelCapacity);
    EXPECT_EQ(st.Symbols.Occupied(), 2);

    GetIndex_LBLEQU(st, std::string(300, 'W'));
    EXPECT_EQ(st.Symbols.MaxLabelLen, 255);  // saturates, never wraps
}

TEST_F(SymtabTest, NothingIsStoredWhileLinesAreSkipped) {
    GetIndex_LBLEQU(st, "S");
    st.SkipLines = 1;
    SaveIndex_LBLEQU(st, 9);
    EXPECT_EQ(st.Symbols.LabelDefined[0], 0);
}

}  // namespace
}  // namespace z51::test
