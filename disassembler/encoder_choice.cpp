#include "disassembler/encoder_choice.h"

#include <array>

#include "assembler/encoder.h"

namespace z51 {

std::optional<EncoderPick> PickRecord(std::string_view text, bool absentOperandIsR0) {
    const std::size_t tab = text.find('\t');
    const std::string_view mnemonic = text.substr(0, tab);
    std::array<std::string_view, 3> op{};
    if (tab != std::string_view::npos) {
        std::string_view ops = text.substr(tab + 1);
        for (std::size_t i = 0; i < 3; ++i) {
            const std::size_t comma = ops.find(',');
            op[i] = ops.substr(0, comma);
            if (comma == std::string_view::npos) break;
            ops.remove_prefix(comma + 1);
        }
    }
    if (absentOperandIsR0) {
        if (op[0].empty()) op[0] = "R0";
        if (op[1].empty()) op[1] = "R0";
    }
    const std::optional<EncoderRecord> r = ChooseRecord(mnemonic, op[0], op[1], op[2]);
    if (!r) return std::nullopt;
    return EncoderPick{r->oneByte, r->opcode};
}

bool EncodesAs(std::string_view text, bool oneByte, std::uint8_t opcode) {
    const EncoderPick want{oneByte, opcode};
    return PickRecord(text, false) == want && PickRecord(text, true) == want;
}

}  // namespace z51
