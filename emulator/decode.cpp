#include "emulator/decode.h"

#include <string_view>

#include "isa/hex.h"
#include "isa/tables.h"

namespace z51 {
namespace {

// "0" + two hex digits + "H": a byte operand that never starts with a letter.
void AppendByte(std::string& out, std::uint8_t b) {
    out += '0';
    AppendHex2(out, b);
    out += 'H';
}

void AppendWord(std::string& out, std::uint16_t w) {
    out += '0';
    AppendHex4(out, w);
    out += 'H';
}

}  // namespace

DecodedInstruction DecodeInstruction(std::uint16_t pc, const std::array<std::uint8_t, 3>& bytes) {
    const std::uint8_t op = bytes[0], b1 = bytes[1], b2 = bytes[2];
    DecodedInstruction d;

    if ((op & 0x1F) == 0x01 || (op & 0x1F) == 0x11) {
        // AJMP/ACALL: the target keeps the top five bits of PC + 2.
        d.mnemonic = (op & 0x10) ? "ACALL" : "AJMP";
        const std::uint16_t next = static_cast<std::uint16_t>(pc + 2);
        AppendWord(d.operands, static_cast<std::uint16_t>((next & 0xF800) | (op >> 5) << 8 | b1));
        d.length = 2;
        return d;
    }
    if (op == 0x85) {
        // MOV direct,direct stores the source first and the destination second.
        d.mnemonic = "MOV";
        AppendByte(d.operands, b2);
        d.operands += ',';
        AppendByte(d.operands, b1);
        d.length = 3;
        return d;
    }
    if (const OneByteRecord* one = OneByteByOpcode(op)) {
        const std::string_view text = one->Text();
        const std::size_t tab = text.find('\t');
        d.mnemonic = std::string(text.substr(0, tab));
        if (tab != std::string_view::npos) d.operands = std::string(text.substr(tab + 1));
        d.length = 1;
        return d;
    }
    if (const MultiByteRecord* multi = MultiByteByOpcode(op)) {
        const std::string_view pattern = multi->Pattern();
        std::size_t k = 0;
        while (k < pattern.size() && static_cast<std::uint8_t>(pattern[k]) > 9) ++k;
        d.mnemonic = std::string(pattern.substr(0, k));
        if (k < pattern.size()) ++k;  // the tab
        int codes = 0;  // operand codes met so far
        d.length = 1;
        for (; k < pattern.size(); ++k) {
            const auto ch = static_cast<std::uint8_t>(pattern[k]);
            if (ch > 9) {
                d.operands += static_cast<char>(ch);
                continue;
            }
            const bool second = codes++ > 0;
            switch (ch) {
            case kRel8:
                AppendWord(d.operands, second ? static_cast<std::uint16_t>(pc + 3 + static_cast<std::int8_t>(b2))
                                              : static_cast<std::uint16_t>(pc + 2 + static_cast<std::int8_t>(b1)));
                d.length += 1;
                break;
            case kData8:
                AppendByte(d.operands, second ? b2 : b1);
                d.length += 1;
                break;
            case kAddr16:
                AppendWord(d.operands, static_cast<std::uint16_t>(b1 << 8 | b2));
                d.length += 2;
                break;
            case kBit:
                d.operands += BitDecode(b1);
                d.length += 1;
                break;
            default:  // addr11 is handled above; no other code occurs
                d.length += 1;
                break;
            }
        }
        return d;
    }
    d.mnemonic = "DB";
    d.operands = std::to_string(op);
    d.length = 1;
    return d;
}

}  // namespace z51
