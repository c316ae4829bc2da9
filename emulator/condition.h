#pragma once
// Conditions over the machine state: the expressions of conditional
// breakpoints and of the console's expectations, such as
//   A == 5AH    RAM[30H] > 10    XRAM[0140H] <> 0    CY    R7 = 0 AND ACC.7
//
// A text is compiled once into a short postfix program; evaluating it reads
// the machine through a MachineView and neither allocates nor touches text,
// so a condition can be checked after every instruction.
//
// Grammar, loosest binding first (keywords and names in either case):
//   OR  ||            AND  &&            NOT  !   (prefix)
//   =  ==  <>  !=  <  <=  >  >=          (signed 32-bit comparison)
//   |    ^    &                          (bitwise)
//   +  -      *  /  %                    (x / 0 and x % 0 give 0)
//   -  ~                                 (prefix: negation, complement)
//   operand.n                            bit n (0..7) of the operand's value
// Operands:
//   numbers in the assembler's notations: 10, 5AH, 0FFH, $5A, 0x5A, 1010B, 17O, 'A'
//   A, B, R0..R7 (as the model maps them), PC, DPTR (16 bits), $ (= PC)
//   special function register names (ACC, PSW, SP, P1, TMOD ...): their byte
//   bit names (CY or C, AC, OV, EA, TI, ACC.7, P1.3, INT0 ...): 0 or 1
//   20H.3, 0E0H.7: a bit of a bit-addressable byte, as the assembler writes it
//   RAM[e] or IDATA[e]: internal RAM as @Ri reaches it (e 00H..FFH)
//   DATA[e]: direct address (RAM 00H..7FH, SFR 80H..FFH)
//   XRAM[e] or XDATA[e]: external RAM; CODE[e]: program memory; BIT[e]: bit address
//   names of the last assembly's symbol table, as their values (labels and equates)
// The result is true when it is not 0.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/machine_view.h"

namespace z51 {

// Value of a symbol by its upper-case name, or nothing.
using SymbolLookup = std::function<std::optional<std::int32_t>(std::string_view)>;

class Condition {
public:
    // Where and why a text did not compile: a 1-based column of the text and
    // a message in code page 1251.
    struct Error {
        std::size_t column = 0;
        std::string message;
    };

    // An empty condition: it holds always and reads nothing.
    Condition() = default;

    // Compiles `text`; on failure returns nothing and fills `error`.
    static std::optional<Condition> Compile(std::string_view text, Error& error,
                                            const SymbolLookup* symbols = nullptr);

    bool Empty() const { return program_.empty(); }
    const std::string& Text() const { return text_; }

    template <MachineView V>
    std::int32_t Value(const V& v) const {
        return Run(v, 0, program_.size());
    }
    template <MachineView V>
    bool Holds(const V& v) const {
        return program_.empty() || Run(v, 0, program_.size()) != 0;
    }

    // The value when the condition reads nothing of the machine (numbers,
    // symbols and arithmetic only): an address written as an expression.
    std::optional<std::int32_t> Constant() const;

    // The operands the condition reads, each with its value as it stands:
    // "RAM[30H]=07H A=5AH CY=1" (each operand once, in the order written).
    template <MachineView V>
    std::string Operands(const V& v) const {
        std::string out;
        for (const Term& t : terms_) {
            if (!out.empty()) out += ' ';
            out += t.text;
            out += '=';
            AppendValue(out, Run(v, t.first, t.last), t.bits);
        }
        return out;
    }

private:
    enum class Op : std::uint8_t {
        Const,  // arg
        Reg, Direct, Indirect, Xram, Code, Bit, Pc, Dptr,  // arg = register, address
        DirectAt, IndirectAt, XramAt, CodeAt, BitAt,  // address popped
        BitOf,  // arg = bit number
        Neg, Cpl, Not,
        Add, Sub, Mul, Div, Mod, And, Or, Xor, Eq, Ne, Lt, Le, Gt, Ge, LogicalAnd, LogicalOr,
    };
    struct Instr {
        Op op;
        std::int32_t arg;
    };
    // An operand that reads the machine: its text and its part of the program.
    struct Term {
        std::string text;
        std::size_t first, last;  // program_[first, last) computes it
        int bits;                 // 1, 8 or 16: how its value is shown
    };
    static constexpr int kMaxDepth = 32;

    friend class ConditionParser;
    static void AppendValue(std::string& out, std::int32_t value, int bits);

    template <MachineView V>
    std::int32_t Run(const V& v, std::size_t first, std::size_t last) const {
        std::int32_t s[kMaxDepth];
        int n = 0;
        auto byte = [](std::int32_t x) { return static_cast<std::uint8_t>(x); };
        auto word = [](std::int32_t x) { return static_cast<std::uint16_t>(x); };
        for (std::size_t i = first; i < last; ++i) {
            const Instr in = program_[i];
            switch (in.op) {
                case Op::Const: s[n++] = in.arg; break;
                case Op::Reg: s[n++] = v.Reg(byte(in.arg)); break;
                case Op::Direct: s[n++] = v.Direct(byte(in.arg)); break;
                case Op::Indirect: s[n++] = v.Indirect(byte(in.arg)); break;
                case Op::Xram: s[n++] = v.Xram(word(in.arg)); break;
                case Op::Code: s[n++] = v.Code(word(in.arg)); break;
                case Op::Bit: s[n++] = v.Bit(byte(in.arg)) ? 1 : 0; break;
                case Op::Pc: s[n++] = v.Pc(); break;
                case Op::Dptr: s[n++] = v.Direct(sfr::DPH) << 8 | v.Direct(sfr::DPL); break;
                case Op::DirectAt: s[n - 1] = v.Direct(byte(s[n - 1])); break;
                case Op::IndirectAt: s[n - 1] = v.Indirect(byte(s[n - 1])); break;
                case Op::XramAt: s[n - 1] = v.Xram(word(s[n - 1])); break;
                case Op::CodeAt: s[n - 1] = v.Code(word(s[n - 1])); break;
                case Op::BitAt: s[n - 1] = v.Bit(byte(s[n - 1])) ? 1 : 0; break;
                case Op::BitOf: s[n - 1] = (s[n - 1] >> in.arg) & 1; break;
                case Op::Neg: s[n - 1] = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(s[n - 1])); break;
                case Op::Cpl: s[n - 1] = ~s[n - 1]; break;
                case Op::Not: s[n - 1] = s[n - 1] == 0; break;
                default: {
                    const std::int32_t b = s[--n];
                    std::int32_t& a = s[n - 1];
                    const auto ua = static_cast<std::uint32_t>(a), ub = static_cast<std::uint32_t>(b);
                    switch (in.op) {
                        case Op::Add: a = static_cast<std::int32_t>(ua + ub); break;
                        case Op::Sub: a = static_cast<std::int32_t>(ua - ub); break;
                        case Op::Mul: a = static_cast<std::int32_t>(ua * ub); break;
                        case Op::Div: a = b == 0 || (b == -1 && ua == 0x80000000u) ? 0 : a / b; break;
                        case Op::Mod: a = b == 0 || b == -1 ? 0 : a % b; break;
                        case Op::And: a &= b; break;
                        case Op::Or: a |= b; break;
                        case Op::Xor: a ^= b; break;
                        case Op::Eq: a = a == b; break;
                        case Op::Ne: a = a != b; break;
                        case Op::Lt: a = a < b; break;
                        case Op::Le: a = a <= b; break;
                        case Op::Gt: a = a > b; break;
                        case Op::Ge: a = a >= b; break;
                        case Op::LogicalAnd: a = a != 0 && b != 0; break;
                        default: a = a != 0 || b != 0; break;  // LogicalOr
                    }
                }
            }
        }
        return n ? s[0] : 0;
    }

    std::string text_;
    std::vector<Instr> program_;
    std::vector<Term> terms_;
};

}  // namespace z51
