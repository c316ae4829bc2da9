#include "assembler/encoder.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "assembler/asm_state.h"
#include "assembler/evaluator.h"
#include "assembler/name_hash.h"
#include "core/cp1251.h"
#include "isa/opcode_map.h"
#include "isa/tables.h"

namespace z51 {
namespace {

// A MultiByteCmds record cut at the tab and the commas.
struct Part {
    std::string text;         // the part as written in the pattern
    std::uint8_t kind = 0;    // placeholder code, 0 = plain text
    char prefix = 0;          // '#' or '/' before the placeholder
};
struct Pattern {
    std::string_view mnemonic;
    Part part[3];
    int parts = 0;
    int length = 0;          // InsnLength
    std::uint8_t slot[3]{};  // SlotPos1..3: index in LineBytes, 3 = none
    std::uint8_t opcode = 0;
};

Pattern Cut(const MultiByteRecord& r) {
    Pattern p;
    p.opcode = r.opcode;
    std::string_view s = r.Pattern();
    // All 13 bytes count for the length; zero bytes add nothing.
    p.length = 1;
    for (char c : std::string_view(r.pattern, sizeof r.pattern)) {
        auto b = static_cast<std::uint8_t>(c);
        if (b >= 1 && b <= 8) ++p.length;
        if (b == kAddr16) ++p.length;
    }
    std::size_t tab = s.find('\t');
    p.mnemonic = s.substr(0, tab);
    std::string_view ops = tab == std::string_view::npos ? std::string_view() : s.substr(tab + 1);
    while (!ops.empty() && p.parts < 3) {
        std::size_t comma = p.parts < 2 ? ops.find(',') : std::string_view::npos;
        std::string_view t = ops.substr(0, comma);
        Part& part = p.part[p.parts++];
        part.text.assign(t);
        for (std::size_t i = 0; i < t.size(); ++i) {
            auto b = static_cast<std::uint8_t>(t[i]);
            if (b >= 1 && b <= 8) {
                part.kind = b;
                if (i > 0) part.prefix = t[i - 1];
            }
        }
        ops = comma == std::string_view::npos ? std::string_view() : ops.substr(comma + 1);
    }
    bool ph1 = p.part[0].kind != 0, ph2 = p.parts > 1 && p.part[1].kind != 0, ph3 = p.parts > 2 && p.part[2].kind != 0;
    p.slot[0] = ph1 ? 1 : 3;
    p.slot[1] = ph2 ? (ph1 ? 2 : 1) : 3;
    p.slot[2] = ph3 ? 2 : 3;
    return p;
}


// Records grouped by mnemonic, each group in table order: the first match
// in a group is the first match of the whole scan, since a record of
// another mnemonic never matches.
struct Index {
    // OneByteCmds: the first record of each spelling, and the first bare
    // record (no tab: any operands) of each mnemonic, as record numbers.
    NameTable<int> spelling;
    NameTable<int> bare;
    std::vector<Pattern> patterns;
    NameTable<std::vector<int>> multi;
};

const Index& TheIndex() {
    static const Index* index = [] {
        auto* ix = new Index();
        for (std::size_t i = 0; i < OneByteCmds.size(); ++i) {
            std::string_view t = OneByteCmds[i].Text();
            if (t.empty()) break;  // the end of the table
            if (t.find('\t') == std::string_view::npos) ix->bare.Add(t, static_cast<int>(i));
            else ix->spelling.Add(t, static_cast<int>(i));
        }
        ix->bare.Build();
        ix->spelling.Build();
        ix->patterns.reserve(MultiByteCmds.size());
        // One pattern per record (no record is empty), so a pattern's index
        // is its record's.
        for (const MultiByteRecord& r : MultiByteCmds) ix->patterns.push_back(Cut(r));
        std::unordered_map<std::string_view, std::vector<int>> groups;
        std::vector<std::string_view> order;
        for (std::size_t i = 0; i < ix->patterns.size(); ++i) {
            auto& g = groups[ix->patterns[i].mnemonic];
            if (g.empty()) order.push_back(ix->patterns[i].mnemonic);
            g.push_back(static_cast<int>(i));
        }
        for (std::string_view m : order) ix->multi.Add(m, groups[m]);
        ix->multi.Build();
        return ix;
    }();
    return *index;
}

bool IsReserved(std::string_view op) {
    if (op == "DPTR" || op == "C" || op == "@R0" || op == "@R1") return true;
    return op.size() == 2 && op[0] == 'R' && op[1] >= '0' && op[1] <= '7';
}

// Whether a record fits the operands. This depends only on their texts
// (plain parts, "#" and "/", reserved words, "@"), never on a value, so the
// record is chosen before anything is evaluated.
bool Fits(const Pattern& p, const std::string_view (&ops)[3]) {
    for (int i = 0; i < p.parts; ++i) {
        const Part& part = p.part[i];
        const std::string_view op = ops[i];
        if (part.kind == 0) {
            if (op != part.text) return false;
            continue;
        }
        if (part.prefix != 0 && (op.empty() || op[0] != part.prefix)) return false;
        // An indirect operand (@R2, an alias of @R3 ...) is never a direct
        // address: the instruction does not exist.
        if (part.kind == kData8 && part.prefix == 0 && !op.empty() && op[0] == '@') return false;
    }
    return p.part[0].kind == 0 || !IsReserved(ops[0]);
}

// Register aliases: a name declared for Rn stands for Rn, "@name" for @Rn.
// (The operands have already passed CyrToLat with their line.) A register
// without an alias has the empty name, so an absent operand reads as R0.
void ApplyAliases(const AsmState& st, std::string& op) {
    if (!op.empty() && op != "@" &&
        std::all_of(st.RegAlias.begin(), st.RegAlias.end(), [](const std::string& a) { return a.empty(); }))
        return;
    for (int n = 0; n < 8; ++n) {
        const std::string& alias = st.RegAlias[static_cast<std::size_t>(n)];
        if (op == alias) {
            op = "R" + std::to_string(n);
        } else if (op.size() == alias.size() + 1 && op[0] == '@' && std::string_view(op).substr(1) == alias) {
            op = "@R" + std::to_string(n);
        }
    }
}

constexpr const char* kMsgAddr16 = "Не распознан addr16-операнд в строке выше.";
constexpr const char* kMsgAddr11 = "Не распознан addr11-операнд в строке выше.";
constexpr const char* kMsgAddr11Range =
    "Превышение addr11 (2048) в операторах AJMP, ACALL в строке выше - используйте SJMP, LJMP, LCALL!";
constexpr const char* kMsgRelRange = "Метка для относительной адресации недоступна: отстоит более чем 127 байт";
constexpr const char* kMsgRelName = "Метка для относительной адресации с таким именем не найдена!";
constexpr const char* kMsgBit1 = "Не распознан bit-операнд в строке выше..";
constexpr const char* kMsgBit3 = "Не распознан bit-операнд в строке выше.";
constexpr const char* kMsgNotBit = "Не распознан /bit-операнд в строке выше.";
constexpr const char* kMsgImm = "Не распознан #data операнд в строке выше.";
constexpr const char* kMsgImmHyphen = "Не распознан #data-операнд в строке выше.";
constexpr const char* kMsgImm8 = "Не распознан #data8 операнд в строке выше.";
constexpr const char* kMsgAddr = "Не распознан addr-операнд в строке выше.";
constexpr const char* kMsgBitArg = "Не распознан bit-аргумент в строке выше.";
constexpr const char* kMsgDptr = "Не распознан операнд оператора MOV DPTR выше.";
constexpr const char* kMsgLabel = "Не распознан Label-операнд в строке выше.";

class Encoder {
public:
    Encoder(AsmState& st, const Pattern& p, const std::string& op1, const std::string& op2)
        : st_(st), p_(p), op_{&op1, &op2, &st.Operand3} {}

    // Encodes the line with the record ChooseRecord took for it.
    void Run() {
        st_.LineBytes[0] = p_.opcode;
        st_.LineByteCount = static_cast<std::uint16_t>(p_.length);
        st_.NextAddr = AddrSum(st_.LineAddr, p_.length);
        for (int i = 0; i < p_.parts; ++i) Take(i);
        if (!pendingAddrMessage_.empty() && st_.LineError.empty()) st_.LineError = pendingAddrMessage_;
        if (p_.opcode == 0x85) std::swap(st_.LineBytes[1], st_.LineBytes[2]);  // source first, as the chip stores it
        st_.LineHandled = 1;
    }

private:
    bool FinalPass() const { return st_.PassNo > 1; }
    // The address of the following instruction.
    std::uint16_t Next() const { return static_cast<std::uint16_t>(AddrSum(st_.LineAddr, p_.length)); }
    void Store(int i, std::int32_t v) {
        std::uint8_t slot = p_.slot[i];
        if (slot < 3) st_.LineBytes[slot] = static_cast<std::uint8_t>(v & 0xFF);
    }
    void FinalMessage(const char* msg) {
        if (FinalPass() && !st_.ExprValid) st_.LineError = CpMessage(msg);
    }

    // A displacement from the address after the instruction. The program
    // counter wraps at 64 KiB, so the distance is taken modulo 65,536.
    void Relative(int i, std::string_view text) {
        Evaluate(st_, text);
        const int disp = RelDistance(Next(), static_cast<std::uint16_t>(st_.ExprValue));
        Store(i, disp);
        if (st_.ExprValid) {
            if (disp < -128 || disp > 127) st_.LineError = CpMessage(kMsgRelRange);
        } else {
            FinalMessage(kMsgRelName);
        }
    }

    // AJMP and ACALL reach the 2 KiB page of the address that follows the
    // instruction: the low 11 bits go into the code, the page must match.
    void Absolute11(std::string_view text) {
        Evaluate(st_, text);
        std::int32_t v = st_.ExprValue;
        st_.LineBytes[1] = static_cast<std::uint8_t>(v & 0xFF);
        st_.LineBytes[0] = static_cast<std::uint8_t>(st_.LineBytes[0] | ((v & 0x700) >> 3));
        FinalMessage(kMsgAddr11);
        if (st_.ExprValid &&
            (v < 0 || v > 0xFFFF || Addr11Page(static_cast<std::uint16_t>(v)) != Addr11Page(Next())))
            st_.LineError = CpMessage(kMsgAddr11Range);
    }

    void Absolute16(std::string_view text, const char* msg) {
        Evaluate(st_, text);
        st_.LineBytes[1] = static_cast<std::uint8_t>((st_.ExprValue >> 8) & 0xFF);
        st_.LineBytes[2] = static_cast<std::uint8_t>(st_.ExprValue & 0xFF);
        FinalMessage(msg);
    }

    // Bit operand: names and numeric bit addresses first, then expressions.
    void Bit(int i, std::string_view text, const char* msg) {
        ValBit(st_, text);
        if (st_.BitValid) {
            st_.ExprValid = true;
        } else {
            Evaluate(st_, text);
        }
        Store(i, st_.ExprValue);
        FinalMessage(msg);
    }

    // The part fits the operand (Fits): plain text is equal, "#" and "/" are
    // there.
    void Take(int i) {
        const Part& part = p_.part[i];
        if (part.kind == 0) return;
        std::string_view text = *op_[i];
        if (part.prefix != 0) text.remove_prefix(1);
        const bool firstPlaceholder = p_.part[0].kind != 0;
        switch (part.kind) {
            case kAddr16:
                Absolute16(text, part.prefix == '#' ? kMsgDptr : kMsgAddr16);
                return;
            case kAddr11:
                Absolute11(text);
                return;
            case kRel8:
                Relative(i, text);
                return;
            case kBit:
                if (part.prefix == '/') {
                    Bit(i, text, kMsgNotBit);
                } else if (i == 0) {
                    Bit(i, text, kMsgBit1);
                } else if (i == 1) {
                    // MOV C,bit and the like: the byte is stored after the
                    // name lookup and once more after an evaluation.
                    ValBit(st_, text);
                    Store(i, st_.ExprValue);
                    if (st_.BitValid) {
                        st_.ExprValid = true;
                    } else {
                        Evaluate(st_, text);
                        Store(i, st_.ExprValue);
                    }
                    FinalMessage(kMsgBitArg);
                } else {
                    Bit(i, text, kMsgBit3);
                }
                return;
            case kData8:
                Data8(i, text, part.prefix == '#', firstPlaceholder);
                return;
            default:
                return;
        }
    }

    void Data8(int i, std::string_view text, bool immediate, bool firstPlaceholder) {
        Evaluate(st_, text);
        if (i == 0) {
            // A direct address in the first operand; the accumulator and B
            // are their register addresses.
            if (text == "A" || text == "ACC") {
                st_.ExprValue = 0xE0;
                st_.ExprValid = true;
            } else if (text == "B") {
                st_.ExprValue = 0xF0;
                st_.ExprValid = true;
            }
            Store(i, st_.ExprValue);
            if (!st_.ExprValid) {
                ValBit(st_, text);
                st_.ExprValid = st_.BitValid;
            }
            // An unknown address is reported once the record is taken (in
            // the final passes), so that nothing is stored silently wrong.
            if (!st_.ExprValid && FinalPass()) pendingAddrMessage_ = CpMessage(kMsgAddr);
            return;
        }
        if (immediate && (firstPlaceholder || i == 2)) {
            if (!st_.ExprValid && i == 1) {
                ValBit(st_, text);
                st_.ExprValid = st_.BitValid;
            }
            Store(i, st_.ExprValue);
            FinalMessage(i == 1 ? kMsgImmHyphen : kMsgImm8);
            return;
        }
        Store(i, st_.ExprValue);
        if (immediate) FinalMessage(kMsgImm);
        else FinalMessage(firstPlaceholder ? kMsgLabel : kMsgAddr);
    }

    AsmState& st_;
    const Pattern& p_;
    const std::string* op_[3];
    std::string pendingAddrMessage_;
};

}  // namespace

std::optional<EncoderRecord> ChooseRecord(std::string_view mnemonic, std::string_view op1, std::string_view op2,
                                          std::string_view op3) {
    const Index& ix = TheIndex();
    // A one-byte record matches when it is bare, or its operands are
    // Operand1, or Operand1,Operand2; the first of those in table order wins.
    int first = INT_MAX;
    if (const int* b = ix.bare.Find(mnemonic)) first = *b;
    static std::string key;  // the one thread of the assembler; keeps its storage
    key.clear();
    key += mnemonic;
    key += '\t';
    key += op1;
    if (const int* r = ix.spelling.Find(key)) first = std::min(first, *r);
    key += ',';
    key += op2;
    if (const int* r = ix.spelling.Find(key)) first = std::min(first, *r);
    if (first != INT_MAX) return EncoderRecord{true, OneByteCmds[static_cast<std::size_t>(first)].opcode, first};

    const std::string_view ops[3] = {op1, op2, op3};
    if (const std::vector<int>* group = ix.multi.Find(mnemonic)) {
        for (int i : *group) {
            const Pattern& p = ix.patterns[static_cast<std::size_t>(i)];
            if (Fits(p, ops)) return EncoderRecord{false, p.opcode, i};
        }
    }
    return std::nullopt;
}

bool EncodeInstruction(AsmState& st) {
    std::string op1 = st.Operand1;
    std::string op2 = st.Operand2;
    ApplyAliases(st, op1);
    ApplyAliases(st, op2);

    std::optional<EncoderRecord> record = ChooseRecord(st.Mnemonic, op1, op2, st.Operand3);
    // JMP right after an origin (a reset or interrupt vector) is a long
    // jump; JMP @A+DPTR stays what it is.
    if (st.Mnemonic == "JMP" && st.AfterOrg == 1 && !(record && record->oneByte)) {
        st.Mnemonic = "LJMP";
        record = ChooseRecord(st.Mnemonic, op1, op2, st.Operand3);
    }
    if (!record) {
        st.LineByteCount = 0;
        st.NextAddr = st.LineAddr;
        return false;
    }
    if (record->oneByte) {
        st.LineBytes[0] = record->opcode;
        st.LineByteCount = 1;
        st.NextAddr = AddrSum(st.LineAddr, 1);
        st.LineHandled = 1;
        return true;
    }
    Encoder(st, TheIndex().patterns[static_cast<std::size_t>(record->index)], op1, op2).Run();
    return true;
}

}  // namespace z51
