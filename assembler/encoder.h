#pragma once
// The instruction encoder: finds the line's instruction in OneByteCmds,
// then in the MultiByteCmds patterns (first matching record wins), and
// places the evaluated operands into the instruction bytes.

#include <cstdint>
#include <optional>
#include <string_view>

namespace z51 {

struct AsmState;

// A record of the instruction tables.
struct EncoderRecord {
    bool oneByte;         // OneByteCmds, else MultiByteCmds
    std::uint8_t opcode;  // the record's opcode (01H / 11H for every AJMP / ACALL page)
    int index;            // the record's index in its table
    bool operator==(const EncoderRecord&) const = default;
};

// The record the encoder takes for a mnemonic and its operands (upper
// case, without blanks, register aliases already replaced): the first
// one-byte record that is bare (any operands) or spells Operand1 or
// Operand1,Operand2; else the first multi-byte pattern whose text parts
// equal the operands, whose "#" and "/" are there, with no "@" operand for
// a plain data8 and no reserved word (DPTR, C, R0..R7, @R0, @R1) where the
// first part is a placeholder. The choice depends on the texts alone,
// never on the values of the operands. nullopt when no record matches.
std::optional<EncoderRecord> ChooseRecord(std::string_view mnemonic, std::string_view op1, std::string_view op2,
                                          std::string_view op3);

// Encodes Mnemonic with Operand1..3 at LineAddr with the record that
// ChooseRecord takes (a JMP right after an origin is taken as LJMP). On
// success: LineBytes, LineByteCount, NextAddr, LineHandled = 1 (operand
// messages in LineError, most of them only in the final passes). Without
// a matching record: false, nothing stored, NextAddr = LineAddr.
bool EncodeInstruction(AsmState& st);

}  // namespace z51
