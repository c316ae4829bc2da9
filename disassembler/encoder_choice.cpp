#include "disassembler/encoder_choice.h"

#include <array>
#include <unordered_map>
#include <vector>

#include "isa/tables.h"

namespace z51 {
namespace {

// One operand part of a multi-byte pattern.
struct Part {
    enum Kind { Text, Placeholder, Prefixed } kind;
    std::string_view text;  // Text: the literal part
    char prefix = 0;        // Prefixed: '#' or '/'
};

struct MultiEntry {
    std::uint8_t opcode;
    int partCount;
    std::array<Part, 3> parts;
};

struct OneEntry {
    std::uint8_t opcode;
    bool bare;               // no operand field: takes any operands
    std::string_view field;  // the operand field after the tab
};

struct ByMnemonic {
    std::vector<OneEntry> oneByte;  // table order
    std::vector<MultiEntry> multi;  // table order
};

bool IsPlaceholder(char c) { return c >= 1 && c <= 8; }

Part MakePart(std::string_view s) {
    bool hasPlaceholder = false;
    for (char c : s) hasPlaceholder |= IsPlaceholder(c);
    if (!hasPlaceholder) return {Part::Text, s};
    if (s.size() >= 2 && (s[0] == '#' || s[0] == '/')) return {Part::Prefixed, {}, s[0]};
    return {Part::Placeholder, {}};
}

const std::unordered_map<std::string_view, ByMnemonic>& Index() {
    static const auto index = [] {
        std::unordered_map<std::string_view, ByMnemonic> m;
        for (const OneByteRecord& r : OneByteCmds) {
            std::string_view t = r.Text();
            std::size_t tab = t.find('\t');
            OneEntry e{r.opcode, tab == std::string_view::npos, {}};
            if (!e.bare) e.field = t.substr(tab + 1);
            m[t.substr(0, tab)].oneByte.push_back(e);
        }
        for (const MultiByteRecord& r : MultiByteCmds) {
            std::string_view pat = r.Pattern();
            if (pat.empty()) continue;
            std::size_t tab = pat.find('\t');
            MultiEntry e{r.opcode, 0, {}};
            if (tab != std::string_view::npos) {
                std::string_view ops = pat.substr(tab + 1);
                while (e.partCount < 3) {
                    std::size_t comma = ops.find(',');
                    e.parts[static_cast<std::size_t>(e.partCount++)] = MakePart(ops.substr(0, comma));
                    if (comma == std::string_view::npos) break;
                    ops.remove_prefix(comma + 1);
                }
            }
            m[pat.substr(0, tab)].multi.push_back(e);
        }
        return m;
    }();
    return index;
}

bool IsReserved(std::string_view op) {
    static constexpr std::string_view kReserved[] = {"DPTR", "C",  "R0", "R1", "R2", "R3", "R4",
                                                     "R5",   "R6", "R7", "@R0", "@R1"};
    for (std::string_view r : kReserved)
        if (op == r) return true;
    return false;
}

bool PartFits(const Part& part, std::string_view op) {
    switch (part.kind) {
    case Part::Text: return op == part.text;
    case Part::Prefixed: return !op.empty() && op[0] == part.prefix;
    case Part::Placeholder: return true;
    }
    return false;
}

}  // namespace

std::optional<EncoderPick> PickRecord(std::string_view text, bool absentOperandIsR0) {
    std::size_t tab = text.find('\t');
    std::string_view mnemonic = text.substr(0, tab);
    std::array<std::string_view, 3> op{};
    if (tab != std::string_view::npos) {
        std::string_view ops = text.substr(tab + 1);
        for (std::size_t i = 0; i < 3; ++i) {
            std::size_t comma = ops.find(',');
            op[i] = ops.substr(0, comma);
            if (comma == std::string_view::npos) break;
            ops.remove_prefix(comma + 1);
        }
    }
    if (absentOperandIsR0) {
        if (op[0].empty()) op[0] = "R0";
        if (op[1].empty()) op[1] = "R0";
    }

    const auto& index = Index();
    auto it = index.find(mnemonic);
    if (it == index.end()) return std::nullopt;

    // field == op[0] + "," + op[1], without building the text.
    auto isFirstTwo = [&](std::string_view field) {
        return field.size() == op[0].size() + 1 + op[1].size() && field.starts_with(op[0]) &&
               field[op[0].size()] == ',' && field.ends_with(op[1]);
    };
    for (const OneEntry& e : it->second.oneByte)
        if (e.bare || e.field == op[0] || isFirstTwo(e.field)) return EncoderPick{true, e.opcode};
    for (const MultiEntry& e : it->second.multi) {
        if (e.partCount > 0 && e.parts[0].kind != Part::Text && IsReserved(op[0])) continue;
        bool fits = true;
        for (int i = 0; i < e.partCount && fits; ++i)
            fits = PartFits(e.parts[static_cast<std::size_t>(i)], op[static_cast<std::size_t>(i)]);
        if (fits) return EncoderPick{false, e.opcode};
    }
    return std::nullopt;
}

bool EncodesAs(std::string_view text, bool oneByte, std::uint8_t opcode) {
    const EncoderPick want{oneByte, opcode};
    return PickRecord(text, false) == want && PickRecord(text, true) == want;
}

}  // namespace z51
