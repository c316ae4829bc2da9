#pragma once
// Which table record the assembler's encoder would pick for an instruction
// text. The label disassembly writes SFR and bit names in place of numbers;
// a name can make the encoder take another record (INC ACC is the one-byte
// INC A, MOV ACC,#5 the two-byte MOV A,#5), so each named line is checked
// here and written with numbers when the choice would change.
//
// The check asks the encoder's own record choice (ChooseRecord of
// assembler/encoder.h). An absent first or second operand is read by the
// encoder as "R0" while R0 has no alias; both readings must agree.

#include <cstdint>
#include <optional>
#include <string_view>

namespace z51 {

struct EncoderPick {
    bool oneByte;
    std::uint8_t opcode;  // the record's opcode (01H / 11H for every AJMP / ACALL page)
    bool operator==(const EncoderPick&) const = default;
};

// The record the encoder would choose for `text` (mnemonic, tab, operands
// separated by commas, no comment), or nullopt when none matches.
std::optional<EncoderPick> PickRecord(std::string_view text, bool absentOperandIsR0);

// True when `text` is encoded by a record of the given kind and opcode
// under both readings of absent operands.
bool EncodesAs(std::string_view text, bool oneByte, std::uint8_t opcode);

}  // namespace z51
