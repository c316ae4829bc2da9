#include "disassembler/encoder_choice.h"

#include <array>

#include "assembler/encoder.h"

namespace z51 {

namespace {

struct Split {
    std::string_view mnemonic;
    std::array<std::string_view, 3> op{};
};

// Mnemonic, tab, operands separated by commas.
Split SplitText(std::string_view text) {
    Split s;
    const std::size_t tab = text.find('\t');
    s.mnemonic = text.substr(0, tab);
    if (tab != std::string_view::npos) {
        std::string_view ops = text.substr(tab + 1);
        for (std::size_t i = 0; i < 3; ++i) {
            const std::size_t comma = ops.find(',');
            s.op[i] = ops.substr(0, comma);
            if (comma == std::string_view::npos) break;
            ops.remove_prefix(comma + 1);
        }
    }
    return s;
}

// The encoder reads an absent first or second operand as R0.
bool ReadAbsentAsR0(Split& s) {
    const bool absent = s.op[0].empty() || s.op[1].empty();
    if (s.op[0].empty()) s.op[0] = "R0";
    if (s.op[1].empty()) s.op[1] = "R0";
    return absent;
}

std::optional<EncoderPick> Pick(const Split& s) {
    const std::optional<EncoderRecord> r = ChooseRecord(s.mnemonic, s.op[0], s.op[1], s.op[2]);
    if (!r) return std::nullopt;
    return EncoderPick{r->oneByte, r->opcode};
}

}  // namespace

std::optional<EncoderPick> PickRecord(std::string_view text, bool absentOperandIsR0) {
    Split s = SplitText(text);
    if (absentOperandIsR0) ReadAbsentAsR0(s);
    return Pick(s);
}

bool EncodesAs(std::string_view text, bool oneByte, std::uint8_t opcode) {
    const EncoderPick want{oneByte, opcode};
    Split s = SplitText(text);
    if (Pick(s) != want) return false;
    // The second reading differs only when an operand is absent.
    return !ReadAbsentAsR0(s) || Pick(s) == want;
}

}  // namespace z51
