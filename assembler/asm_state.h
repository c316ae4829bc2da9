#pragma once
// The run state of the assembler: one object shared by the driver, the
// symbol table, the evaluator, the line parser, the encoder, the listing
// and the directive handlers (data, macros, includes, conditionals). The
// code image and the HEX writer settings live in the Workspace, since the
// disassembler, the HEX conversions and the emulator share them.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <unordered_set>
#include <vector>

#include "assembler/name_hash.h"
#include "assembler/source_origin.h"
#include "assembler/symtab.h"
#include "core/fileio.h"
#include "core/workspace.h"

namespace z51 {

// One colouring slot of the current line: 1-based columns of AsmLine,
// start 0 = slot off.
struct Span {
    std::uint16_t start = 0;
    std::uint16_t end = 0;
};

// The twelve colouring slots, 23 words. EchoLine prints them in this order.
struct FieldSpanSet {
    Span LeadBlank;     // start = 1 when the line begins with blanks; end = last leading blank
    Span LabelSpan;     // red
    Span LabelGap;
    Span MnemonicSpan;  // blue; the echo prints Mnemonic, not the columns
    Span MnemonicGap;
    Span Operand1Span;  // green
    Span Separator1;
    Span Operand2Span;  // fuchsia
    Span Separator2;
    Span Operand3Span;  // red
    Span TrailGap;
    std::uint16_t CommentStart = 0;  // the rest of the line from here is a comment
};
static_assert(sizeof(FieldSpanSet) == 23 * sizeof(std::uint16_t));

inline constexpr int MacroMax = 64;  // MacroTable slots 0..64

// What the macro machinery is doing.
enum class MacroMode : std::uint8_t {
    None,
    Recording,          // body lines are appended to MacroText
    Replaying,          // FetchLine reads the lines of MacroText
    HeaderMacroName,    // "MACRO name" was read on this line
    HeaderNameMacro,    // "name MACRO" was read on this line
    SkippingDuplicate,  // the body of a second definition of a name is dropped
};
// Lines are cut to this many characters so that every column fits the
// 16-bit slots of FieldSpans.
inline constexpr std::size_t kMaxLineLength = 65000;

// The location counter is a signed 32-bit register that ORG may set to any
// value; sums and differences with it wrap at 32 bits (ORG 7FFFFFFFH
// followed by code, SJMP to -2147483648) instead of overflowing.
inline std::int32_t AddrSum(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t AddrDiff(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

struct AsmState {
    explicit AsmState(Workspace& workspace);
    AsmState(const AsmState&) = delete;
    AsmState& operator=(const AsmState&) = delete;

    Workspace& ws;

    // --- Files -----------------------------------------------------------
    std::string& SourceName;  // Workspace::SourceName
    TextReader SourceFile;
    TextReader IncludeFile;      // the include file being read (the innermost one)
    bool IncludeActive = false;  // read IncludeFile instead of the source
    // The include files that IncludeFile interrupted, outermost first, and
    // the paths of all open include files (IncludeFile's last).
    std::vector<TextReader> IncludeOuter;
    std::vector<std::string> IncludePaths;
    std::uint32_t IncludeOpens = 0;  // include files opened in this pass
    // Back to the file that included one that has given all its lines.
    void DropEndedIncludes();
    void CloseIncludes();
    // Bytes not read yet of all open include files.
    std::size_t IncludeUnread() const;
    SourceOrigin Origin;  // file and line of the current line

    // --- The current line ------------------------------------------------
    std::string AsmLine;
    std::uint32_t LineNo = 0;  // listed lines so far
    std::uint8_t PassNo = 0;   // 1 = first pass, 2.. = final passes
    bool ListingOn = true;
    bool LineListed = false;  // ListingOn as it was when the line started
    std::int32_t LineAddr = 0;
    std::int32_t NextAddr = 0;
    std::int32_t LowAddr = 0x7FF;
    std::int32_t HighAddr = 0;
    std::int32_t BinFrom = 0;
    std::int32_t BinTo = 0xFFFF;
    std::int32_t EpromSize = 0;
    std::uint8_t& HexWidth;  // Workspace::HexWidth
    std::uint8_t& HexCR;     // Workspace::HexCR
    std::uint8_t PageLength = 0;
    std::string TitleText;
    std::string IdentText;
    std::array<std::uint8_t, 256> LineBytes{};
    std::uint16_t LineByteCount = 0;
    bool LineHandled = false;
    std::string LineError;
    std::string LineNotice;  // a purple line shown after the line (no error)
    FieldSpanSet FieldSpans;

    // Work texts of the line parser (upper-cased fields).
    std::string LabelText;
    std::string Mnemonic;
    std::string Operand1, Operand2, Operand3;
    bool DupCheck = false;  // the line defines a code label

    // --- Evaluator -------------------------------------------------------
    std::string OperandText;
    std::int32_t ExprValue = 0;
    bool ExprValid = false;
    bool BitValid = false;

    // --- Symbol table ----------------------------------------------------
    SymbolTable Symbols;
    std::int32_t FoundIndex = 0;  // LabelCapacity = not found / no room

    // --- Errors of the pass ----------------------------------------------
    std::uint16_t ErrorCount = 0;
    std::array<std::uint32_t, 257> ErrorLines{};  // 0 ends the list

    // --- Memories --------------------------------------------------------
    CodeMemory& CodeImage;               // Workspace::CodeImage
    std::vector<std::uint8_t> BinBuffer;  // 65,536 bytes, staging of the .Bin file

    // --- Macros (recorded and replayed by the macro handler) ------------
    MacroMode MacroState = MacroMode::None;
    // Inside a definition: between its header and its ENDM.
    bool InMacroDefinition() const {
        return MacroState == MacroMode::Recording || MacroState == MacroMode::SkippingDuplicate;
    }
    std::string MacroText;
    bool ExpansionCut = false;  // FetchLine stopped substituting the parameters of this line
    std::uint32_t MacroPos = 0;  // 1-based position in MacroText; wide, a body may pass 64 KiB
    std::array<std::string, 10> MacroParams;
    std::array<std::string, MacroMax + 1> MacroTable;
    std::string MacroName;         // name of the definition being read
    std::uint32_t MacroLineNo = 0;  // LineNo of its header
    bool MacroAfterEnd = false;     // its header came after END
    std::uint8_t MacroIndex = 0;   // slot being defined or called
    // Intel's macros name their parameters (SEND MACRO CHAN,VAL) and their
    // LOCAL labels; a body written with \0..\9 takes its parameters by
    // number only. Per slot, and for the definition being read.
    struct MacroWords {
        std::vector<std::string> params;  // upper case
        std::vector<std::string> locals;
    };
    std::array<MacroWords, MacroMax + 1> MacroNames;
    MacroWords MacroNamesRead;
    // The words of the body being replayed and the texts that stand for them.
    std::vector<std::pair<std::string, std::string>> MacroWordTexts;
    std::uint32_t MacroCalls = 0;  // expansions in this pass: LOCAL labels are numbered by it

    // --- Parser state that the driver resets -----------------------------
    std::array<std::string, 8> RegAlias;  // names declared for R0..R7
    std::uint16_t AutoOrgStep = 16;
    std::uint16_t AutoOrgCount = 1;
    bool EndSeen = false;
    bool AfterOrg = false;  // an origin was set and no byte produced since
    bool SkipLines = false;  // conditional assembly is skipping
    bool CommentBlock = false;
    // Intel HEX record lines: the upper load address that records of type
    // 02 and 04 set, and whether the last statement was a record other than
    // the end record (records that end the source so are cut short).
    std::uint32_t HexUpperAddress = 0;
    bool HexRecordsOpen = false;

    // --- Intel's conditional blocks (IF/IFDEF/IFNDEF, ELSE, ENDIF) --------
    // SkipLines is set while the .IFxx directives skip (their own flag,
    // DotIfSkip) or while an open block skips.
    struct IfBlock {
        bool outer = false;  // the lines around the block were assembled
        bool taken = false;  // a branch of the block was assembled (or none may be)
        bool active = false;  // the current branch is assembled
        bool elseSeen = false;
        std::uint32_t lineNo = 0;  // LineNo of its IF
    };
    std::vector<IfBlock> IfBlocks;  // open blocks, outermost first
    bool DotIfSkip = false;
    bool BlockLine = false;  // the line is IF/ELSE/ENDIF: its own error stays
    void UpdateSkip() { SkipLines = DotIfSkip || (!IfBlocks.empty() && !IfBlocks.back().active); }
    // Segments of Intel's assembler: each has its own location counter;
    // NextAddr is the counter of the segment in use, the others wait here.
    enum class Segment : std::uint8_t { Code, Data, Idata, Bit, Xdata };
    Segment CurrentSegment = Segment::Code;
    std::array<std::int32_t, 5> SegmentCounters{};
    void SwitchSegment(Segment to) {
        SegmentCounters[static_cast<std::size_t>(CurrentSegment)] = NextAddr;
        CurrentSegment = to;
        NextAddr = SegmentCounters[static_cast<std::size_t>(to)];
    }
    std::uint8_t RegisterBank = 0;  // USING n: AR0..AR7 are n*8+0..7
    // Names given a value (or declared for a register) on an earlier line of
    // this pass (IFDEF).
    std::unordered_set<std::string, NameHash, std::equal_to<>> DefinedNames;
    // The dialect's state at the start of every pass.
    void ResetDialect();

    // --- Data directives: kept across passes and assemblies --------------
    std::int32_t LintValue = 0;
    std::array<std::uint8_t, 8> PackedValue{};

    // Current time for time stamps and the end-of-pass line (a seam for tests).
    std::time_t (*Clock)() = &DefaultClock;
    static std::time_t DefaultClock() { return std::time(nullptr); }
};

}  // namespace z51
