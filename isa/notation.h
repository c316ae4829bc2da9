#pragma once
// The number notations of an assembler operand term, shared by everything
// that reads numbers the way a source writes them: the assembler's
// evaluator and the emulator's breakpoint conditions.
//
// The assembler tries the notations of a term in a fixed order, with
// two-character register and bit names (P1, SP, CY) between the binary and
// the hexadecimal forms. The two halves below are that order around the
// names; a caller that knows no names calls them one after the other.
// Letters count in either case. Each returns true when one of its notations
// accepts the text; `ok` then tells whether the value could be converted (a
// lone "-", more than 32 bits), and `value` holds it.

#include <cstdint>
#include <string_view>

namespace z51 {

// Signed decimal; "$" alone (the value `here`); "$" or "0X" followed by
// hexadecimal digits; a quoted character ('A'); "O" followed by octal
// digits; "T" followed by base-4 digits; octal with an "O" or "Q" suffix;
// binary with a "B" suffix.
bool NumberNotationBeforeNames(std::string_view w, std::int32_t here, bool& ok, std::int32_t& value);

// Hexadecimal with an "H" suffix; decimal with a "D" suffix.
bool NumberNotationAfterNames(std::string_view w, bool& ok, std::int32_t& value);

}  // namespace z51
