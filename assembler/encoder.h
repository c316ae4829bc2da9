#pragma once
// The instruction encoder: finds the line's instruction in OneByteCmds,
// then in the MultiByteCmds patterns (first matching record wins), and
// places the evaluated operands into the instruction bytes.

namespace z51 {

struct AsmState;

// Encodes Mnemonic with Operand1..3 at LineAddr. On success: LineBytes,
// LineByteCount, NextAddr, LineHandled = 1 (operand messages in LineError,
// most of them only in the final passes). Without a matching record:
// false, nothing stored, NextAddr = LineAddr.
bool EncodeInstruction(AsmState& st);

}  // namespace z51
