#pragma once
// Operand expressions: numbers in several notations, character constants,
// "$", symbols, register and bit names, one prefix operator per term and
// at most one binary operator per operand. No precedence, no chaining.

#include <string_view>

namespace z51 {

struct AsmState;

// Evaluates st.OperandText as an operand (may strip one pair of outer
// parentheses from it). Sets ExprValue and ExprValid; may set LineError.
void GetValFMT(AsmState& st);
// Evaluates one term. Sets ExprValue and ExprValid; may set LineError.
void GetVal(AsmState& st, std::string_view text);
// Register name, bit name or numeric bit address (20H.3, 0E0H.7). Sets
// BitValid and, when set, ExprValue.
void ValBit(AsmState& st, std::string_view text);
// st.OperandText = text, then GetValFMT.
void Evaluate(AsmState& st, std::string_view text);

}  // namespace z51
