#pragma once
// The opcode map of the 8051: for each of the 256 opcodes its mnemonic,
// length, machine cycles and operands, built at compile time from the
// instruction tables (the first record of an opcode is its canonical
// spelling; AJMP and ACALL take their record for every page). Decoding,
// both disassemblies, the emulator's current instruction and the trace
// render from it; the emulator's step reads kInstructionLength and
// kMachineCycles.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "isa/instruction_tables.h"

namespace z51 {

// clang-format off
enum class Mnemonic : std::uint8_t {
    None,  // A5H: no instruction
    ACALL, ADD, ADDC, AJMP, ANL, CJNE, CLR, CPL, DA, DEC, DIV, DJNZ, INC, JB, JBC, JC, JMP, JNB, JNC, JNZ, JZ,
    LCALL, LJMP, MOV, MOVC, MOVX, MUL, NOP, ORL, POP, PUSH, RET, RETI, RL, RLC, RR, RRC, SETB, SJMP, SUBB,
    SWAP, XCH, XCHD, XRL,
};
inline constexpr std::string_view kMnemonicNames[] = {
    "",
    "ACALL", "ADD", "ADDC", "AJMP", "ANL", "CJNE", "CLR", "CPL", "DA", "DEC", "DIV", "DJNZ", "INC", "JB", "JBC",
    "JC", "JMP", "JNB", "JNC", "JNZ", "JZ", "LCALL", "LJMP", "MOV", "MOVC", "MOVX", "MUL", "NOP", "ORL", "POP",
    "PUSH", "RET", "RETI", "RL", "RLC", "RR", "RRC", "SETB", "SJMP", "SUBB", "SWAP", "XCH", "XCHD", "XRL",
};
// clang-format on
constexpr std::string_view MnemonicName(Mnemonic m) { return kMnemonicNames[static_cast<std::size_t>(m)]; }

// What an operand is. The kinds from Direct on are fields: their value is
// encoded in the instruction's bytes.
enum class Operand : std::uint8_t {
    None,
    A,            // the accumulator
    AB,           // A and B of MUL AB, DIV AB
    C,            // the carry flag
    Dptr,         // DPTR
    AtDptr,       // @DPTR
    AtAPlusDptr,  // @A+DPTR
    AtAPlusPc,    // @A+PC
    Reg,          // Rn of the register bank
    AtReg,        // @Ri
    Direct,       // data8: an internal RAM or SFR address
    Immediate,    // #data8
    Immediate16,  // #data16 of MOV DPTR
    Bit,          // bit address
    NotBit,       // /bit: the complement of the bit
    Rel,          // rel8: signed displacement from the next instruction
    Addr11,       // addr11 of AJMP, ACALL
    Addr16,       // addr16 of LJMP, LCALL
};
constexpr bool IsField(Operand k) { return k >= Operand::Direct; }

struct OperandSlot {
    Operand kind = Operand::None;
    std::uint8_t byte = 0;  // a field: the instruction byte holding it (1 or 2; a 16-bit one starts at 1)
    std::uint8_t reg = 0;   // Reg: n of Rn; AtReg: i of @Ri
};

struct OpcodeInfo {
    Mnemonic mnemonic = Mnemonic::None;
    std::uint8_t length = 1;  // bytes, 1..3 (A5H counts as 1)
    std::uint8_t cycles = 1;  // machine cycles of 12 oscillator periods: 1, 2 or 4 (A5H counts as 1)
    std::uint8_t operandCount = 0;
    std::array<OperandSlot, 3> operands{};  // in the order of the source text
    std::uint8_t fieldCount = 0;            // operands that are fields, 0..2
    std::array<std::uint8_t, 2> fields{};   // their indexes in operands, in text order
    // The canonical spelling (mnemonic, tab, operands; a placeholder byte
    // where each field goes), kept as pointer and offsets so that an entry
    // takes 32 bytes and the map fits a first-level cache.
    const char* spelling = "";
    std::uint8_t spellingLength = 0;
    std::array<std::uint8_t, 2> fieldAt{};  // offsets of the placeholders

    constexpr const OperandSlot& Field(int i) const { return operands[fields[static_cast<std::size_t>(i)]]; }
    constexpr std::string_view Spelling() const { return {spelling, spellingLength}; }
    // The spelling around the fields: Text(0), field 0, Text(1), field 1,
    // Text(2). Without fields the whole spelling is Text(0).
    constexpr std::string_view Text(int i) const {
        const std::size_t from = i == 0 ? 0 : fieldAt[static_cast<std::size_t>(i) - 1] + 1u;
        const std::size_t to = i < fieldCount ? fieldAt[static_cast<std::size_t>(i)] : spellingLength;
        return Spelling().substr(from, to - from);
    }
};

// AJMP and ACALL jump within the 2 KiB page of the following instruction:
// bits 15-11 of PC + 2, bits 10-8 from the opcode's bits 7-5, bits 7-0
// from the second byte.
constexpr std::uint16_t Addr11Page(std::uint16_t next) { return next & 0xF800; }
constexpr std::uint16_t Addr11Target(std::uint16_t next, std::uint8_t opcode, std::uint8_t low) {
    return static_cast<std::uint16_t>(Addr11Page(next) | (opcode >> 5) << 8 | low);
}

// A relative branch counts its signed displacement from the address of the
// following instruction; the program counter wraps at 64 KiB.
constexpr std::uint16_t RelTarget(std::uint16_t next, std::uint8_t rel) {
    return static_cast<std::uint16_t>(next + static_cast<std::int8_t>(rel));
}
// The displacement that reaches target from next, -32768..32767 (a branch
// can store it when it lies in -128..127).
constexpr int RelDistance(std::uint16_t next, std::uint16_t target) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(target - next));
}

namespace detail {

consteval Mnemonic ParseMnemonic(std::string_view s) {
    for (std::size_t i = 1; i < std::size(kMnemonicNames); ++i)
        if (kMnemonicNames[i] == s) return static_cast<Mnemonic>(i);
    throw "an instruction table spells an unknown mnemonic";
}

// s is the text prefix followed by the placeholder byte code.
consteval bool Is(std::string_view s, std::string_view prefix, std::uint8_t code) {
    return s.size() == prefix.size() + 1 && s.starts_with(prefix) && static_cast<std::uint8_t>(s.back()) == code;
}

consteval OperandSlot ParseOperand(std::string_view s) {
    if (s == "A") return {Operand::A};
    if (s == "AB") return {Operand::AB};
    if (s == "C") return {Operand::C};
    if (s == "DPTR") return {Operand::Dptr};
    if (s == "@DPTR") return {Operand::AtDptr};
    if (s == "@A+DPTR") return {Operand::AtAPlusDptr};
    if (s == "@A+PC") return {Operand::AtAPlusPc};
    if (s.size() == 2 && s[0] == 'R' && s[1] >= '0' && s[1] <= '7')
        return {Operand::Reg, 0, static_cast<std::uint8_t>(s[1] - '0')};
    if (s == "@R0" || s == "@R1") return {Operand::AtReg, 0, static_cast<std::uint8_t>(s[2] - '0')};
    if (Is(s, "", kData8)) return {Operand::Direct};
    if (Is(s, "#", kData8)) return {Operand::Immediate};
    if (Is(s, "#", kAddr16)) return {Operand::Immediate16};
    if (Is(s, "", kBit)) return {Operand::Bit};
    if (Is(s, "/", kBit)) return {Operand::NotBit};
    if (Is(s, "", kRel8)) return {Operand::Rel};
    if (Is(s, "", kAddr11)) return {Operand::Addr11};
    if (Is(s, "", kAddr16)) return {Operand::Addr16};
    throw "an instruction table spells an operand the opcode map does not know";
}

// Machine cycles, as the Intel MCS-51 instruction set lists them: MUL and
// DIV take four; jumps, calls, returns, MOVC, MOVX, PUSH, POP and
// INC DPTR two; of the rest, those that read a direct address or an
// immediate and write a direct address, a register or a bit take two
// (MOV direct,direct/#data/Rn/@Ri, MOV Rn/@Ri,direct, MOV DPTR,#data16,
// MOV bit,C, ORL/ANL/XRL direct,#data, ORL/ANL C,bit and C,/bit); every
// other instruction one.
consteval std::uint8_t MachineCycles(Mnemonic m, Operand to, Operand from) {
    using enum Mnemonic;
    switch (m) {
    case MUL: case DIV:
        return 4;
    case AJMP: case ACALL: case LJMP: case LCALL: case RET: case RETI: case SJMP: case JMP: case JZ: case JNZ:
    case JC: case JNC: case JB: case JNB: case JBC: case CJNE: case DJNZ: case MOVC: case MOVX: case PUSH:
    case POP:
        return 2;
    case INC:
        return to == Operand::Dptr ? 2 : 1;
    case MOV:
        if (to == Operand::Dptr || to == Operand::Bit) return 2;
        if (to == Operand::Direct) return from == Operand::A ? 1 : 2;
        if (to == Operand::Reg || to == Operand::AtReg) return from == Operand::Direct ? 2 : 1;
        return 1;
    case ORL: case ANL: case XRL:
        if (to == Operand::C) return 2;
        return to == Operand::Direct && from == Operand::Immediate ? 2 : 1;
    default:
        return 1;
    }
}

consteval OpcodeInfo MakeOpcodeInfo(std::uint8_t opcode, std::string_view spelling) {
    OpcodeInfo info;
    const std::size_t tab = FindChar(spelling, '\t');
    info.mnemonic = ParseMnemonic(spelling.substr(0, tab));
    if (tab != std::string_view::npos) {
        std::string_view rest = spelling.substr(tab + 1);
        for (;;) {
            if (info.operandCount == 3) throw "more than three operands";
            const std::size_t comma = FindChar(rest, ',');
            info.operands[info.operandCount++] = ParseOperand(rest.substr(0, comma));
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    // Fields take the bytes after the opcode in text order; a 16-bit one
    // takes two, high byte first.
    std::uint8_t next = 1;
    for (std::uint8_t i = 0; i < info.operandCount; ++i) {
        OperandSlot& o = info.operands[i];
        if (!IsField(o.kind)) continue;
        if (info.fieldCount == 2) throw "more than two fields";
        info.fields[info.fieldCount++] = i;
        o.byte = next;
        next += o.kind == Operand::Addr16 || o.kind == Operand::Immediate16 ? 2 : 1;
    }
    info.length = next;
    if (info.length != PatternLength(spelling)) throw "opcode map and pattern differ in length";
    // MOV direct,direct stores the source address first and the
    // destination second, the reverse of the source text.
    if (opcode == 0x85) {
        if (info.fieldCount != 2) throw "MOV direct,direct has two fields";
        std::swap(info.operands[0].byte, info.operands[1].byte);
    }
    // The literal text around the fields (the field bytes themselves are
    // the placeholders of the pattern).
    info.spelling = spelling.data();
    info.spellingLength = static_cast<std::uint8_t>(spelling.size());
    std::size_t piece = 0;
    for (std::size_t k = 0; k < spelling.size(); ++k) {
        const auto c = static_cast<std::uint8_t>(spelling[k]);
        if (c >= 1 && c <= 8) {
            if (piece == info.fieldCount) throw "placeholders and fields differ";
            info.fieldAt[piece++] = static_cast<std::uint8_t>(k);
        }
    }
    if (piece != info.fieldCount) throw "placeholders and fields differ";
    info.cycles = MachineCycles(info.mnemonic, info.operands[0].kind, info.operands[1].kind);
    return info;
}

consteval std::array<OpcodeInfo, 256> BuildOpcodeMap() {
    constexpr ByteIndex oneByte = FirstByKey(kOneByteRecords, [](const OneByteRecord& r) { return r.opcode; });
    constexpr ByteIndex multiByte = FirstByKey(kMultiByteRecords, [](const MultiByteRecord& r) { return r.opcode; });
    std::array<OpcodeInfo, 256> map{};
    for (unsigned op = 0; op < 256; ++op) {
        const auto opcode = static_cast<std::uint8_t>(op);
        // The one-byte table wins; AJMP and ACALL of every page use the
        // record of page 0 (01H, 11H).
        const unsigned record = (op & 0x1F) == 0x01 || (op & 0x1F) == 0x11 ? (op & 0x1F) : op;
        if (oneByte[op] >= 0) {
            map[op] = MakeOpcodeInfo(opcode, kOneByteRecords[oneByte[op]].Text());
            if (map[op].length != 1) throw "a one-byte record with a field";
        } else if (multiByte[record] >= 0) {
            map[op] = MakeOpcodeInfo(opcode, kMultiByteRecords[multiByte[record]].Pattern());
        } else if (op != 0xA5) {
            throw "an opcode other than A5H in neither table";
        }
    }
    return map;
}

}  // namespace detail

inline constexpr std::array<OpcodeInfo, 256> kOpcodeMap = detail::BuildOpcodeMap();

// The columns the execution loop reads, one byte per opcode.
inline constexpr std::array<std::uint8_t, 256> kInstructionLength = [] {
    std::array<std::uint8_t, 256> a{};
    for (std::size_t op = 0; op < 256; ++op) a[op] = kOpcodeMap[op].length;
    return a;
}();
inline constexpr std::array<std::uint8_t, 256> kMachineCycles = [] {
    std::array<std::uint8_t, 256> a{};
    for (std::size_t op = 0; op < 256; ++op) a[op] = kOpcodeMap[op].cycles;
    return a;
}();

// The value of a field of the instruction at pc with the bytes op, b1, b2:
// the byte of Direct, Immediate, Bit and NotBit; the 16-bit value of Addr16
// and Immediate16; the target address of Rel and Addr11.
constexpr unsigned FieldValue(const OpcodeInfo& info, const OperandSlot& f, std::uint16_t pc, std::uint8_t op,
                              std::uint8_t b1, std::uint8_t b2) {
    const std::uint8_t b = f.byte == 1 ? b1 : b2;
    const auto next = static_cast<std::uint16_t>(pc + info.length);
    switch (f.kind) {
    case Operand::Rel: return RelTarget(next, b);
    case Operand::Addr11: return Addr11Target(next, op, b1);
    case Operand::Addr16:
    case Operand::Immediate16: return static_cast<unsigned>(b1) << 8 | b2;
    default: return b;
    }
}

// Spells the instruction at pc with the bytes op, b1, b2 in the
// assembler's syntax through `out`: out.Text(std::string_view) for the
// literal parts of the canonical spelling, out.Field(const OperandSlot&,
// unsigned value) for each field (value as FieldValue gives it), and for
// A5H, which no table holds, out.Text("DB\t") and out.Decimal(op).
template <typename Out>
constexpr void SpellInstruction(std::uint16_t pc, std::uint8_t op, std::uint8_t b1, std::uint8_t b2, Out& out) {
    const OpcodeInfo& info = kOpcodeMap[op];
    if (info.mnemonic == Mnemonic::None) {
        out.Text("DB\t");
        out.Decimal(op);
        return;
    }
    out.Text(info.Text(0));
    for (int i = 0; i < info.fieldCount; ++i) {
        const OperandSlot& f = info.Field(i);
        out.Field(f, FieldValue(info, f, pc, op, b1, b2));
        out.Text(info.Text(i + 1));
    }
}

// Text of one instruction as the current-instruction panel, the trace and
// the plain disassembly show it: the canonical spelling of the instruction
// tables, bytes as "0" + two hexadecimal digits + "H" and addresses as
// "0" + four digits + "H" (never beginning with a letter), bits by name
// (BitDecode), relative and AJMP/ACALL operands as their target addresses.
struct DecodedInstruction {
    std::string mnemonic;  // "MOV", "DB" for A5H
    std::string operands;  // "A,#012H"; empty when the instruction has none
    int length = 1;        // 1..3; A5H counts as 1

    // mnemonic, a tab and the operands (just the mnemonic when there are none).
    std::string Text() const { return operands.empty() ? mnemonic : mnemonic + '\t' + operands; }
};

// Decodes the instruction whose three bytes are `bytes` at address `pc`.
// MOV direct,direct shows the destination (third byte) first.
DecodedInstruction DecodeInstruction(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes);

// A field in the assembler's syntax, appended to out.
void AppendField(std::string& out, const OperandSlot& f, unsigned value);

}  // namespace z51
