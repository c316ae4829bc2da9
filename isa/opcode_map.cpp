#include "isa/opcode_map.h"

#include "isa/hex.h"
#include "isa/tables.h"

namespace z51 {
namespace {

// Checked once, here, rather than in every file that reads the map.
consteval bool EveryOpcodeButA5IsAnInstruction() {
    for (unsigned op = 0; op < 256; ++op)
        if ((kOpcodeMap[op].mnemonic == Mnemonic::None) != (op == 0xA5)) return false;
    return true;
}
static_assert(EveryOpcodeButA5IsAnInstruction());

consteval bool EveryPageOfAjmpAndAcall() {
    for (unsigned op = 0; op < 256; ++op) {
        const Mnemonic m = kOpcodeMap[op].mnemonic;
        if (((op & 0x1F) == 0x01) != (m == Mnemonic::AJMP)) return false;
        if (((op & 0x1F) == 0x11) != (m == Mnemonic::ACALL)) return false;
    }
    return true;
}
static_assert(EveryPageOfAjmpAndAcall());

// Each field lies within the instruction, no two share a byte, and
// together they fill every byte after the opcode.
consteval bool FieldsFillTheInstruction() {
    for (const OpcodeInfo& info : kOpcodeMap) {
        unsigned used = 0;
        for (int i = 0; i < info.fieldCount; ++i) {
            const OperandSlot& f = info.Field(i);
            const unsigned width = f.kind == Operand::Addr16 || f.kind == Operand::Immediate16 ? 2 : 1;
            for (unsigned b = f.byte; b < f.byte + width; ++b) {
                if (b == 0 || b >= info.length || (used & 1u << b)) return false;
                used |= 1u << b;
            }
        }
        if (used != ((1u << info.length) - 2)) return false;
    }
    return true;
}
static_assert(FieldsFillTheInstruction());

static_assert(sizeof(OpcodeInfo) <= 32);

struct StringOut {
    std::string& s;
    void Text(std::string_view t) { s += t; }
    void Field(const OperandSlot& f, unsigned value) { AppendField(s, f, value); }
    void Decimal(unsigned v) { s += std::to_string(v); }
};

}  // namespace

void AppendField(std::string& out, const OperandSlot& f, unsigned value) {
    switch (f.kind) {
    case Operand::Bit:
    case Operand::NotBit:
        out += BitDecode(static_cast<std::uint8_t>(value));
        return;
    case Operand::Direct:
    case Operand::Immediate:
        out += '0';
        AppendHex2(out, static_cast<std::uint8_t>(value));
        out += 'H';
        return;
    default:
        out += '0';
        AppendHex4(out, static_cast<std::uint16_t>(value));
        out += 'H';
        return;
    }
}

DecodedInstruction DecodeInstruction(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes) {
    std::string text;
    StringOut out{text};
    SpellInstruction(pc, bytes[0], bytes[1], bytes[2], out);
    DecodedInstruction d;
    const std::size_t tab = text.find('\t');
    d.mnemonic = text.substr(0, tab);
    if (tab != std::string::npos) d.operands = text.substr(tab + 1);
    d.length = kInstructionLength[bytes[0]];
    return d;
}

}  // namespace z51
