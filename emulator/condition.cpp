#include "emulator/condition.h"

#include <algorithm>

#include "core/cp1251.h"
#include "isa/notation.h"
#include "isa/hex.h"
#include "isa/tables.h"

namespace z51 {
namespace {

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '$' || c == '#'; }

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = Up(c);
    return u;
}

// Memories reached as NAME[address].
struct Memory {
    const char* name;
    int bits;        // width of a valid address
    bool bitSpace;   // BIT[...]: the value is 0 or 1
};
constexpr Memory kMemories[] = {
    {"RAM", 8, false}, {"IDATA", 8, false}, {"DATA", 8, false}, {"XRAM", 16, false},
    {"XDATA", 16, false}, {"CODE", 16, false}, {"BIT", 8, true},
};

}  // namespace

// Recursive descent over the text, emitting postfix code as it goes.
class ConditionParser {
public:
    ConditionParser(std::string_view text, const SymbolLookup* symbols, Condition& out)
        : t_(text), symbols_(symbols), c_(out) {}

    bool Parse(Condition::Error& error) {
        Blanks();
        if (pos_ == t_.size()) return Fail(error, pos_, "Пустое выражение");
        if (!Or()) return Fail(error);
        Blanks();
        if (pos_ < t_.size()) {
            if (t_[pos_] == ')') return Fail(error, pos_, "Лишняя закрывающая скобка");
            return Fail(error, pos_, "Ожидается оператор или конец выражения");
        }
        return true;
    }

private:
    using Op = Condition::Op;

    bool Fail(Condition::Error& error) {
        error.column = errPos_ + 1;
        error.message = errText_;
        return false;
    }
    bool Fail(Condition::Error& error, std::size_t at, const char* utf8) {
        Error(at, utf8);
        return Fail(error);
    }
    // Records the fault; the parse then unwinds with false.
    bool Error(std::size_t at, const char* utf8) {
        errPos_ = at;
        errText_ = cp(utf8);
        return false;
    }
    bool Error(std::size_t at, const std::string& text) {
        errPos_ = at;
        errText_ = text;
        return false;
    }

    void Blanks() {
        while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t')) ++pos_;
    }
    // Punctuation `p` next (after blanks): consumed.
    bool Take(std::string_view p) {
        Blanks();
        if (t_.substr(pos_, p.size()) != p) return false;
        pos_ += p.size();
        return true;
    }
    // Keyword `k` next as a whole word: consumed.
    bool TakeWord(std::string_view k) {
        Blanks();
        std::size_t e = pos_;
        while (e < t_.size() && IsWordChar(t_[e])) ++e;
        if (e - pos_ != k.size() || Upper(t_.substr(pos_, e - pos_)) != k) return false;
        pos_ = e;
        return true;
    }

    bool Emit(Op op, std::int32_t arg = 0) {
        int effect = 0;
        switch (op) {
            case Op::Const: case Op::Reg: case Op::Direct: case Op::Indirect: case Op::Xram:
            case Op::Code: case Op::Bit: case Op::Pc: case Op::Dptr:
                effect = 1;
                break;
            case Op::DirectAt: case Op::IndirectAt: case Op::XramAt: case Op::CodeAt: case Op::BitAt:
            case Op::BitOf: case Op::Neg: case Op::Cpl: case Op::Not:
                break;
            default:
                effect = -1;
        }
        depth_ += effect;
        if (depth_ > Condition::kMaxDepth) return Error(pos_, "Выражение слишком сложное");
        c_.program_.push_back({op, arg});
        return true;
    }
    // True when the code from `first` on is one constant.
    bool ConstantFrom(std::size_t first, std::int32_t& v) const {
        if (c_.program_.size() != first + 1 || c_.program_[first].op != Op::Const) return false;
        v = c_.program_[first].arg;
        return true;
    }
    void Record(std::size_t start, std::size_t first, int bits) {
        std::string text(t_.substr(start, pos_ - start));
        text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; }),
                   text.end());
        text = Upper(text);
        for (const Condition::Term& t : c_.terms_)
            if (t.text == text) return;
        c_.terms_.push_back({std::move(text), first, c_.program_.size(), bits});
    }

    // The binary operators by level, loosest first; NOT stands between
    // AND and the comparisons.
    struct Binary {
        const char* token;
        Op op;
    };
    static constexpr int kLevels = 8, kNotLevel = 2;
    static constexpr Binary kOperators[kLevels][8] = {
        {{"OR", Op::LogicalOr}, {"||", Op::LogicalOr}},
        {{"AND", Op::LogicalAnd}, {"&&", Op::LogicalAnd}},
        {{"==", Op::Eq}, {"<>", Op::Ne}, {"!=", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge}, {"=", Op::Eq},
         {"<", Op::Lt}, {">", Op::Gt}},
        {{"|", Op::Or}},
        {{"^", Op::Xor}},
        {{"&", Op::And}},
        {{"+", Op::Add}, {"-", Op::Sub}},
        {{"*", Op::Mul}, {"/", Op::Div}, {"%", Op::Mod}},
    };

    bool Or() { return Level(0); }

    // An operand of `level`: operands of the next level joined by its operators.
    bool Level(int level) {
        if (level == kLevels) return Unary();
        if (level == kNotLevel && Not()) return true;
        if (level == kNotLevel && !errText_.empty()) return false;
        if (!Level(level + 1)) return false;
        for (;;) {
            const Binary* found = nullptr;
            const std::size_t at = (Blanks(), pos_);
            for (const Binary& b : kOperators[level]) {
                if (b.token && TakeOperator(b.token)) {
                    found = &b;
                    break;
                }
            }
            if (!found) return true;
            const std::size_t right = c_.program_.size();
            if (!Level(level + 1)) return false;
            std::int32_t v;
            if ((found->op == Op::Div || found->op == Op::Mod) && ConstantFrom(right, v) && v == 0)
                return Error(at, "Деление на ноль");
            if (!Emit(found->op)) return false;
        }
    }
    // A keyword as a whole word; a one-character operator not doubled
    // ("|" is not the start of "||").
    bool TakeOperator(std::string_view token) {
        if (IsLetter(token[0])) return TakeWord(token);
        if (token.size() == 1 && pos_ + 1 < t_.size() && t_[pos_] == token[0] && t_[pos_ + 1] == token[0] &&
            (token == "|" || token == "&"))
            return false;
        return Take(token);
    }
    // NOT or "!" before an operand of the comparison level; false without
    // an error when there is none.
    bool Not() {
        Blanks();
        const bool bang = pos_ < t_.size() && t_[pos_] == '!' && (pos_ + 1 == t_.size() || t_[pos_ + 1] != '=');
        if (bang) ++pos_;
        else if (!TakeWord("NOT")) return false;
        return Level(kNotLevel) && Emit(Op::Not);
    }
    bool Unary() {
        if (Take("-")) return Unary() && Emit(Op::Neg);
        if (Take("~")) return Unary() && Emit(Op::Cpl);
        return Postfix();
    }

    // An operand, then ".n" for one of its bits.
    bool Postfix() {
        Blanks();
        const std::size_t start = pos_, first = c_.program_.size();
        bool number = false;
        if (!Primary(number)) return false;
        if (pos_ < t_.size() && t_[pos_] == '.') {
            const std::size_t dot = pos_;
            if (dot + 1 >= t_.size() || !IsDigit(t_[dot + 1]) || t_[dot + 1] > '7' ||
                (dot + 2 < t_.size() && IsWordChar(t_[dot + 2])))
                return Error(dot + 1, "После точки ожидается номер бита 0..7");
            const int bit = t_[dot + 1] - '0';
            pos_ = dot + 2;
            std::int32_t byte;
            if (number && ConstantFrom(first, byte)) {
                // 20H.3, 0E0H.7: a bit of a bit-addressable byte, as the
                // assembler writes bit addresses.
                c_.program_.pop_back();
                --depth_;
                if (byte >= 0x20 && byte <= 0x2F) {
                    if (!Emit(Op::Bit, (byte - 0x20) * 8 + bit)) return false;
                } else if (byte >= 0x80 && byte <= 0xFF && (byte & 7) == 0) {
                    if (!Emit(Op::Bit, byte + bit)) return false;
                } else {
                    return Error(start, "Байт не адресуется побитно (20H..2FH, 80H, 88H ... F8H)");
                }
                Record(start, first, 1);
                return true;
            }
            if (!Emit(Op::BitOf, bit)) return false;
            // The bit stands for the operand it is taken from.
            if (!c_.terms_.empty() && c_.terms_.back().first == first) c_.terms_.pop_back();
            Record(start, first, 1);
        }
        return true;
    }

    bool Primary(bool& number) {
        Blanks();
        if (pos_ >= t_.size()) return Error(pos_, "Ожидается число, имя или скобка");
        const std::size_t start = pos_;
        const char c = t_[pos_];
        if (c == '(') {
            ++pos_;
            if (!Or()) return false;
            if (!Take(")")) return Error((Blanks(), pos_), "Ожидается закрывающая скобка");
            return true;
        }
        if (c == '\'') {
            if (pos_ + 2 >= t_.size() || t_[pos_ + 2] != '\'')
                return Error(start, "Символьная константа пишется как 'A'");
            const auto ch = static_cast<unsigned char>(t_[pos_ + 1]);
            pos_ += 3;
            number = true;
            return Emit(Op::Const, ch);
        }
        if (!IsWordChar(c)) return Error(start, "Ожидается число, имя или скобка");
        std::size_t e = pos_;
        while (e < t_.size() && IsWordChar(t_[e])) ++e;
        const std::string_view word = t_.substr(pos_, e - pos_);
        const std::string name = Upper(word);
        pos_ = e;
        const std::size_t first = c_.program_.size();
        if (IsDigit(c) || c == '$') {
            if (name == "$") {
                if (!Emit(Op::Pc)) return false;
                Record(start, first, 16);
                return true;
            }
            number = true;
            return Number(start, word);
        }
        if (name == "AND" || name == "OR" || name == "NOT") return Error(start, "Ожидается число, имя или скобка");
        return Name(start, name) || (errText_.empty() && Number(start, word, true));
    }

    bool Number(std::size_t start, std::string_view word, bool afterName = false) {
        bool ok = true;
        std::int32_t v = 0;
        if (NumberNotationBeforeNames(word, 0, ok, v) || NumberNotationAfterNames(word, ok, v)) {
            if (!ok) return Error(start, "Число не помещается в 32 бита");
            return Emit(Op::Const, v);
        }
        if (afterName) return Error(start, cp("Неизвестное имя: ") + Upper(word));
        return Error(start, "Неверная запись числа");
    }

    // Registers, memories, SFR and bit names, then the symbols. Returns
    // false with no error recorded when the word is none of them.
    bool Name(std::size_t start, const std::string& name) {
        const std::size_t first = c_.program_.size();
        auto load = [&](Op op, std::int32_t arg, int bits) {
            if (!Emit(op, arg)) return false;
            Record(start, first, bits);
            return true;
        };
        if (name == "A") return load(Op::Direct, sfr::ACC, 8);
        if (name == "C") return load(Op::Bit, 0xD7, 1);  // CY, as instructions write it
        if (name == "PC") return load(Op::Pc, 0, 16);
        if (name == "DPTR") return load(Op::Dptr, 0, 16);
        if (name.size() == 2 && name[0] == 'R' && name[1] >= '0' && name[1] <= '7')
            return load(Op::Reg, name[1] - '0', 8);
        Blanks();
        if (pos_ < t_.size() && t_[pos_] == '[') {
            for (const Memory& m : kMemories)
                if (name == m.name) return MemoryAccess(start, m);
        }
        // A bit name may be written with its dot part (ACC.7, PSW.CY, P3.RXD#)
        // and without the "#" the table gives some of them (INT0, T1, RD).
        std::string longest = name;
        std::size_t end = pos_;
        while (end + 1 < t_.size() && t_[end] == '.' && IsWordChar(t_[end + 1])) {
            std::size_t e = end + 1;
            while (e < t_.size() && IsWordChar(t_[e])) ++e;
            const std::string longer = longest + "." + Upper(t_.substr(end + 1, e - end - 1));
            if (!FindBit(longer) && !FindBit(longer + "#")) break;
            longest = longer;
            end = e;
        }
        if (end != pos_) {
            pos_ = end;
            const auto bit = FindBit(longest) ? FindBit(longest) : FindBit(longest + "#");
            return load(Op::Bit, *bit, 1);
        }
        if (const auto sfr = FindSfr(name)) return load(Op::Direct, *sfr, 8);
        if (const auto bit = FindBit(name)) return load(Op::Bit, *bit, 1);
        if (const auto bit = FindBit(name + "#")) return load(Op::Bit, *bit, 1);
        if (symbols_ && *symbols_) {
            if (const auto v = (*symbols_)(name)) return Emit(Op::Const, *v);
        }
        return false;
    }

    bool MemoryAccess(std::size_t start, const Memory& m) {
        ++pos_;  // "["
        const std::size_t first = c_.program_.size();
        const std::size_t indexAt = (Blanks(), pos_);
        if (!Or()) return false;
        if (!Take("]")) return Error((Blanks(), pos_), "Ожидается ]");
        std::int32_t address;
        const std::string_view space = m.name;
        Op fixed, indexed;
        if (space == "RAM" || space == "IDATA") fixed = Op::Indirect, indexed = Op::IndirectAt;
        else if (space == "DATA") fixed = Op::Direct, indexed = Op::DirectAt;
        else if (space == "CODE") fixed = Op::Code, indexed = Op::CodeAt;
        else if (space == "BIT") fixed = Op::Bit, indexed = Op::BitAt;
        else fixed = Op::Xram, indexed = Op::XramAt;
        if (ConstantFrom(first, address)) {
            if (address < 0 || address >= (1 << m.bits))
                return Error(indexAt, m.bits == 8 ? "Адрес вне 00H..0FFH" : "Адрес вне 0000H..0FFFFH");
            c_.program_.pop_back();
            --depth_;
            if (!Emit(fixed, address)) return false;
        } else if (!Emit(indexed)) {
            return false;
        }
        Record(start, first, m.bitSpace ? 1 : 8);
        return true;
    }

    std::string_view t_;
    const SymbolLookup* symbols_;
    Condition& c_;
    std::size_t pos_ = 0;
    int depth_ = 0;
    std::size_t errPos_ = 0;
    std::string errText_;
};

std::optional<Condition> Condition::Compile(std::string_view text, Error& error, const SymbolLookup* symbols) {
    Condition c;
    c.text_ = std::string(text);
    ConditionParser parser(c.text_, symbols, c);
    if (!parser.Parse(error)) return std::nullopt;
    return c;
}

std::optional<std::int32_t> Condition::Constant() const {
    if (program_.empty() || !terms_.empty()) return std::nullopt;
    // No operand reads the machine: any view gives the value.
    struct Nothing {
        std::uint8_t Reg(unsigned) const { return 0; }
        std::uint8_t Direct(std::uint8_t) const { return 0; }
        std::uint8_t Indirect(std::uint8_t) const { return 0; }
        std::uint8_t Xram(std::uint16_t) const { return 0; }
        std::uint8_t Code(std::uint16_t) const { return 0; }
        bool Bit(std::uint8_t) const { return false; }
        std::uint16_t Pc() const { return 0; }
    };
    return Run(Nothing{}, 0, program_.size());
}

void Condition::AppendValue(std::string& out, std::int32_t value, int bits) {
    if (bits == 1) {
        out += value ? '1' : '0';
        return;
    }
    std::string hex;
    if (bits == 16) AppendHex4(hex, static_cast<std::uint16_t>(value));
    else AppendHex2(hex, static_cast<std::uint8_t>(value));
    if (hex[0] > '9') out += '0';  // never begins with a letter
    out += hex;
    out += 'H';
}

}  // namespace z51
