#pragma once
// Operand expressions: numbers in several notations, character constants,
// "$", symbols, register and bit names and prefix operators as terms. An
// operand of one term or of two terms around one operator is read as it
// always was (the first operator from the left, 16-bit terms, a 32-bit
// result); any other operand is read as a whole expression with the usual
// precedence, parentheses and the operator words of Intel's assembler
// (HIGH, LOW, NOT, MOD, SHL, SHR, AND, OR, XOR, EQ, NE, LT, LE, GT, GE).

#include <string_view>

namespace z51 {

struct AsmState;

// Evaluates st.OperandText as an operand (may strip one pair of outer
// parentheses from it). Sets ExprValue and ExprValid; may set LineError.
// Division by zero and text that is no expression leave it invalid.
void GetValFMT(AsmState& st);
// Evaluates one term. Sets ExprValue and ExprValid; may set LineError.
void GetVal(AsmState& st, std::string_view text);
// Register name, bit name or numeric bit address (20H.3, 0E0H.7). Sets
// BitValid and, when set, ExprValue.
void ValBit(AsmState& st, std::string_view text);
// Whether `text` has the form of an operand: terms joined by operators,
// with parentheses and blanks (the terms' values are not looked at).
bool IsExpression(std::string_view text);
// st.OperandText = text, then GetValFMT.
void Evaluate(AsmState& st, std::string_view text);

}  // namespace z51
