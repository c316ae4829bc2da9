// What the fuzzers found, pinned down as behaviour: the assembler's limits
// that once ended in an endless loop, an overflow or a huge allocation.

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "assembler/asm_state.h"
#include "assembler/assembler.h"
#include "core/cp1251.h"
#include "core/pane.h"
#include "core/workspace.h"
#include "fuzz_entries.h"

using namespace z51;
using namespace z51::fuzz;

namespace {

struct Assembly {
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    RecordingPane firstPass, finalPass;
    std::unique_ptr<Assembler> assembler;
    bool written = false;

    // Both passes over `source` (code page 1251 lines joined by "\n").
    explicit Assembly(const std::string& source) {
        ws->SourceName = ScratchFile("limits.a51");
        PutFile(ws->SourceName, source);
        assembler = std::make_unique<Assembler>(*ws, firstPass);
        assembler->Prohod1();
        assembler->RunFirstPass();
        assembler->SetPane(finalPass);
        written = assembler->FinalPass();
    }
    bool FinalPaneHas(const std::string& utf8) const { return finalPass.Text().find(cp(utf8)) != std::string::npos; }
};

TEST(AssemblerLimits, MacroWhoseLastLineCallsItselfStopsWithAnError) {
    Assembly r("LOOP    MACRO\n        NOP\n        LOOP\n        ENDM\n        LOOP\n        NOP\n");
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(r.FinalPaneHas("Макрос вызывает сам себя последней строкой: вставка прекращена!"));
    EXPECT_EQ(r.assembler->LastOutcome(), Assembler::Outcome::SourceErrors);
}

TEST(AssemblerLimits, MacrosCallingEachOtherAtTheirEndStop) {
    Assembly r("PING    MACRO\n        NOP\n        PONG\n        ENDM\n"
               "PONG    MACRO\n        INC A\n        PING\n        ENDM\n"
               "        PING\n        NOP\n");
    EXPECT_FALSE(r.written) << Cp1251ToUtf8(r.finalPass.Text());
    EXPECT_TRUE(r.FinalPaneHas("Макрос вызывает сам себя последней строкой: вставка прекращена!"));
}

TEST(AssemblerLimits, ChainOfDistinctMacrosThroughTheWholeTableIsReplayed) {
    // M0 calls M1 on its last line, ... M63 calls M64; M64 ends the chain.
    std::string source;
    for (int i = 0; i <= MacroMax; ++i) {
        source += "M" + std::to_string(i) + "      MACRO\n        NOP\n";
        if (i < MacroMax) source += "        M" + std::to_string(i + 1) + "\n";
        source += "        ENDM\n";
    }
    source += "        M0\n        SJMP $\n";
    Assembly r(source);
    ASSERT_TRUE(r.written) << Cp1251ToUtf8(r.finalPass.Text());
    for (int i = 0; i <= MacroMax; ++i) EXPECT_EQ(r.ws->CodeImage[static_cast<std::size_t>(i)], 0x00) << i;
    EXPECT_EQ(r.ws->CodeImage[MacroMax + 1], 0x80);  // SJMP after the whole chain
}

TEST(AssemblerLimits, ParameterExpansionStopsAtTheLongestLine) {
    // 30,000 uses of a 30,000-character parameter would make a line of
    // 900 million characters, built by 30,000 insertions (a run that does
    // not end in any reasonable time).
    std::string source = "BIG     MACRO\n        DB      " + std::string(30000, ' ');
    for (int i = 0; i < 30000; ++i) source += "\\0";
    source += "\n        ENDM\n        BIG     " + std::string(30000, '1') + "\n";
    Assembly r(source);
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(r.FinalPaneHas("Строка длиннее 65000 символов обрезана!"));
}

TEST(AssemblerLimits, LocationCounterWrapsAtThirtyTwoBits) {
    Assembly r("        ORG     7FFFFFFFH\n        NOP\n        INC     A\n"
               "        ORG     10H\n        SJMP    -2147483648\n");
    const AsmState& st = r.assembler->State();
    // NOP at 7FFFFFFFH and INC A at -2147483648 lie outside program
    // memory: reported, and stored nowhere.
    EXPECT_EQ(r.ws->CodeImage[0xFFFF], 0xFF);
    EXPECT_EQ(r.ws->CodeImage[0x0000], 0xFF);
    EXPECT_TRUE(r.FinalPaneHas("Код выходит за пределы памяти программ 0000..FFFFH!"));
    EXPECT_EQ(st.LowAddr, INT32_MIN);
    EXPECT_EQ(AddrSum(INT32_MAX, 1), INT32_MIN);
    EXPECT_EQ(AddrDiff(INT32_MIN, 0x12), INT32_MAX - 0x11);
}

}  // namespace
