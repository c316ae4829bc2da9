#pragma once
// RazborStr: turns the current source line (AsmLine) into its meaning:
// fields and their colouring slots, labels, directives, instruction bytes.

#include <string>
#include <string_view>

namespace z51 {

struct AsmState;
class Pane;

// Parses and encodes st.AsmLine. Precondition: LineAddr holds the line's
// address and NextAddr equals it. Notices that are no line errors (label
// table overflow) go to `pane` in purple.
void RazborStr(AsmState& st, Pane& pane);

// Small text helpers shared by the parser and the directive handlers.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }
inline char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
std::string UpperCopy(std::string_view s);
// to = s upper-cased, reusing the storage of `to`.
void AssignUpper(std::string& to, std::string_view s);
// Without leading and trailing blanks (space and tab).
std::string_view TrimBlanks(std::string_view s);
// Columns first..last (1-based, inclusive) of `s`; empty when last < first
// or out of range.
std::string_view Columns(std::string_view s, std::size_t first, std::size_t last);
// Operand lists read a run of blanks beside a comma ("A ,#5", "R0, #7") as
// if it were not there. `i` is the index of a blank in `s` and `previous`
// the character before it: returns the index behind the run of blanks when
// `previous` or the character behind the run is a comma, else `i` (the
// blank ends the list).
std::size_t SkipBlanksBesideComma(std::string_view s, std::size_t i, char previous);
// Blanks inside an operand belong to it when the operand, read on over
// them up to the next comma or ";", is one expression ("#HIGH TABLE",
// "10 * 2", "X MOD 8"); text after a blank that does not continue the
// expression still ends the operand. `i` is the index of a blank in `s`
// and `itemStart` the index where the operand began: returns the index
// behind the run of blanks when they belong to the operand, else `i`.
std::size_t SkipBlanksInExpression(std::string_view s, std::size_t i, std::size_t itemStart);
// Both rules: the index behind the blanks at `i` when the operand list
// goes on there (beside a comma or inside an expression), else `i`.
std::size_t SkipOperandBlanks(std::string_view s, std::size_t i, std::size_t itemStart);

}  // namespace z51
