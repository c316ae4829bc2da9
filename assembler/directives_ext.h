#pragma once
// Hooks through which the line parser (RazborStr, assembler/parser.cpp)
// hands lines to the data directives, macros, include files and
// conditional assembly (assembler/datadir.cpp, macro.cpp, include.cpp,
// floatconst.cpp, winlcd.cpp).
//
// Contract (kept stable; changes are additive only):
// - Every hook gets the whole AsmState (assembler/asm_state.h) and the
//   output pane (purple notices such as the macro table overflow go there).
//   It returns true when it recognised the line; the parser then goes
//   straight to its closing step. It returns false to let the parser go on
//   as if the hook did not exist.
// - On entry AsmLine has passed CyrToLat; ListingOn/LineNo/LineListed are
//   done; LineHandled false, LineByteCount = 0, LineError empty, DupCheck false,
//   NextAddr == LineAddr. CommentStart is set when the line has a ";".
// - A hook that recognises its line sets LineHandled itself (or leaves
//   it false where the rules say the line ends unrecognised, e.g. an invalid DB
//   item), fills LineBytes/LineByteCount, sets NextAddr = LineAddr +
//   LineByteCount, and may set LineError, Mnemonic and FieldSpans.
// - The closing step stays with the parser: it updates LowAddr/HighAddr
//   and AfterOrg for lines with bytes; discards bytes and errors while
//   EndSeen or SkipLines is set; appends LF + AsmLine to MacroText while
//   Recording (and swallows the line while SkippingDuplicate); and for
//   HeaderMacroName sets MacroText = LF + Operand1 + " " + Mnemonic, for
//   HeaderNameMacro MacroText = LF + MacroName + " MACRO", then Recording.
//   So a header handler only sets MacroState to one of the two header
//   modes (and MacroName / MacroIndex).
// - Comment blocks are done by the parser itself (CommentBlock, ".COMMENT"
//   in column 1, "COMMENT %", "%"); no hook is needed for them.
// - The driver's FetchLine reads macro bodies (Replaying, from MacroText
//   at MacroPos, "\0".."\9" replaced by MacroParams) and the include file
//   (IncludeActive: st.IncludeFile, a TextReader; at its end it is closed,
//   ListingOn set, IncludeActive cleared). A macro call therefore only sets
//   MacroText = the slot's text, MacroPos = 2, MacroState = Replaying and the
//   parameters; an include directive opens st.IncludeFile and sets
//   IncludeActive.
// - Useful: Evaluate / GetValFMT / GetVal / ValBit (assembler/evaluator.h),
//   the symbol table operations (assembler/symtab.h), UpperCopy,
//   TrimBlanks, Columns, IsBlank (assembler/parser.h), ByteToHex2,
//   Hex2ToByte (isa/hex.h), CyrToLat (isa/tables.h), cp() (core/cp1251.h).

#include <cstdint>

namespace z51 {

struct AsmState;
class Pane;

// Data definition directives: called at their place in the directive list
// (after TITLE .. AUTOORG, before EXTRN/PUBLIC and the equates) when the
// mnemonic is one of "DBZ", "DBE", "DB", "STR", "STRW", "LCD", "STRCR",
// "STRWCR", "DEF8", "LINT", "FLT2", "FLT3", "DEFL", "DW", "REL", "DS". Fields are cut: Mnemonic and Operand1..3 are upper-cased,
// the spans are set, and quoted text is to be taken from AsmLine.
bool HandleDataDirective(AsmState& st, Pane& pane);

// The bare byte list: called near the end of the directive list (after
// USING, before the instruction encoder) when Mnemonic is longer than 4
// characters and contains a comma.
bool HandleByteList(AsmState& st, Pane& pane);

enum class MacroSite : std::uint8_t {
    // ".ENDM" in column 1 (the line is longer than 4 characters). Fields
    // are not cut yet.
    EndmColumn1,
    // A label followed by the word MACRO (the parser found the keyword by
    // the label rule). LabelSpan and LabelText are set, nothing else is
    // cut. Returning false stores the label as an ordinary one.
    HeaderAfterLabel,
    // Mnemonic "MACRO" (the form MACRO name); fields are cut.
    HeaderMnemonic,
    // Mnemonic "%ENDM", "ENDM" or "ENDMAC"; fields are cut.
    EndmMnemonic,
    // No instruction matched and no macro is being defined or replayed:
    // try a macro call.
    Call,
    // Mnemonic "LOCAL": names of labels that each expansion of the macro
    // being recorded gets anew. Fields are cut.
    Local,
};
bool HandleMacroLine(AsmState& st, Pane& pane, MacroSite site);

// Include directive in column 1 ("$INCLUDE", "%INCLUDE", ".INCLUDE"; the
// line is longer than 13 characters). Fields are not cut yet.
bool HandleInclude(AsmState& st, Pane& pane);

// A control line of Intel's assembler in column 1 ("$" and one or more
// controls: $NOLIST, $LIST, $TITLE('text'), $PAGELENGTH(n), $INCLUDE(file)
// take effect; the others, such as $MOD51 or $PAGEWIDTH(132), are ignored
// with a purple notice in LineNotice, which the driver shows after the line). Tried after the other column-1 directives but
// before "$INCLUDE name"; returns false for a "$" line that holds no known
// control (it is a label then). Fields are not cut yet.
bool HandleControlLine(AsmState& st, Pane& pane);

enum class Conditional : std::uint8_t { EndIf, IfTrue, IfZ, IfNZ, IfFalse };
// Conditional assembly in column 1: ".ENDIF" (line longer than 5),
// ".IFTRUE" / ".IFZ" / ".IFNZ" (line longer than 10), ".IFFALSE" (line
// longer than 11). Fields are not cut yet.
bool HandleConditional(AsmState& st, Pane& pane, Conditional which);

// Intel's conditional blocks beside the .IFxx directives: IF expr,
// IFDEF name, IFNDEF name (a name given a value on an earlier line of
// this pass), ELSE and ENDIF, nested to any depth; as mnemonics, or as the
// first word in column 1. Fields are cut: the condition starts at
// Operand1Span and runs to the comment.
enum class IfWord : std::uint8_t { If, IfDef, IfNDef, Else, EndIf };
bool HandleIfBlock(AsmState& st, Pane& pane, IfWord word);

}  // namespace z51
