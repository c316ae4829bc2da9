#include "assembler/evaluator.h"

#include <cstdint>
#include <string>
#include <optional>
#include <unordered_map>
#include <vector>

#include "assembler/asm_state.h"
#include "assembler/name_hash.h"
#include "core/cp1251.h"
#include "isa/hex.h"
#include "isa/notation.h"
#include "isa/tables.h"

namespace z51 {
namespace {

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// First-match name index over SfrTable, then BitTable: gives exactly what
// the two scans in table order give.
const NameTable<std::uint8_t>& NameIndex() {
    static const auto* index = [] {
        auto* m = new NameTable<std::uint8_t>();
        for (const NameRecord& r : SfrTable) m->Add(r.Name(), r.addr);
        for (const NameRecord& r : BitTable) m->Add(r.Name(), r.addr);
        m->Build();
        return m;
    }();
    return *index;
}

enum class Prefix { None, Minus, Hi, Lo, Sb, Sw, Not, Swp };

std::uint32_t Reverse(std::uint32_t v, int bits) {
    std::uint32_t r = 0;
    for (int i = 0; i < bits; ++i)
        if (v & (1u << i)) r |= 1u << (bits - 1 - i);
    return r;
}

std::int32_t ApplyPrefix(Prefix p, std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    switch (p) {
        case Prefix::None: return value;
        case Prefix::Not: return static_cast<std::int32_t>(0xFFFFu - u);
        case Prefix::Minus: return static_cast<std::int32_t>(0u - u);
        case Prefix::Hi: return static_cast<std::int32_t>((u >> 8) & 0xFF);
        case Prefix::Lo: return static_cast<std::int32_t>(u & 0xFF);
        case Prefix::Sb: return static_cast<std::int32_t>((u & 0xFF00) | Reverse(u & 0xFF, 8));
        case Prefix::Sw: return static_cast<std::int32_t>(Reverse(u & 0xFFFF, 16));
        case Prefix::Swp: return static_cast<std::int32_t>(((u & 0x0F) << 4) | ((u >> 4) & 0x0F));
    }
    return value;
}

// The notations of one term, tried in order, with the two-character
// register and bit names (P1, SP, CY ...) between the binary and the
// hexadecimal forms. Returns true when one of them accepted `w` (ok tells
// whether its value could be converted).
bool Notation(AsmState& st, std::string_view w, bool& ok, std::int32_t& v) {
    if (NumberNotationBeforeNames(w, st.LineAddr, ok, v)) return true;
    if (w.size() == 2) {
        ValBit(st, w);
        if (st.BitValid) {
            v = st.ExprValue;
            return true;
        }
    }
    return NumberNotationAfterNames(w, ok, v);
}

// The binary operators, on unsigned 32-bit values; a term takes part as
// its low 16 bits (the caller reduces it), the result has 32 bits.
enum class BinOp : std::uint8_t { Or, Xor, And, Eq, Ne, Lt, Le, Gt, Ge, Add, Sub, Mul, Div, Mod, Shl, Shr };

std::uint32_t Term16(std::int32_t v) { return static_cast<std::uint32_t>(v) & 0xFFFF; }

// False when the result has no value (division or remainder by zero).
bool ApplyBinary(BinOp op, std::uint32_t a, std::uint32_t b, std::int32_t& result) {
    std::uint32_t r = 0;
    switch (op) {
        case BinOp::Or: r = a | b; break;
        case BinOp::Xor: r = a ^ b; break;
        case BinOp::And: r = a & b; break;
        case BinOp::Eq: r = a == b; break;
        case BinOp::Ne: r = a != b; break;
        case BinOp::Lt: r = a < b; break;
        case BinOp::Le: r = a <= b; break;
        case BinOp::Gt: r = a > b; break;
        case BinOp::Ge: r = a >= b; break;
        case BinOp::Add: r = a + b; break;
        case BinOp::Sub: r = a - b; break;
        case BinOp::Mul: r = a * b; break;
        case BinOp::Div:
        case BinOp::Mod:
            if (b == 0) return false;
            r = op == BinOp::Div ? a / b : a % b;
            break;
        case BinOp::Shl: r = a << (b % 32); break;
        case BinOp::Shr: r = a >> (b % 32); break;
    }
    result = static_cast<std::int32_t>(r);
    return true;
}

// The operator characters of an operand: they end a term.
bool IsOperatorChar(char c) {
    switch (c) {
        case '+': case '-': case '*': case '/': case '%': case '&': case '|': case '^':
        case '<': case '>': case '=': case '!': return true;
        default: return false;
    }
}

// ".SHL." or ".SHR." at `i` (letters in either case).
bool DotShiftAt(std::string_view s, std::size_t i, bool& left) {
    if (i + 5 > s.size() || s[i] != '.' || s[i + 4] != '.' || Up(s[i + 1]) != 'S' || Up(s[i + 2]) != 'H') return false;
    const char d = Up(s[i + 3]);
    left = d == 'L';
    return d == 'L' || d == 'R';
}

// An operand with any number of operators, parentheses and blanks between
// the pieces. Precedence, loosest first: OR XOR | ^; AND &; NOT; EQ NE LT
// LE GT GE = == <> != < <= > >=; + -; * / MOD % SHL SHR .SHL. .SHR.; the
// prefixes - HIGH LOW and .HI. .LO. .SB. .SW. .NOT. .SWP.; parentheses.
// Every term goes through GetVal, so its notations, names and prefixes
// are those of a one-operator operand, and a binary operator takes a term
// (with its prefixes) as its low 16 bits as there; the 32-bit result of
// another operator takes part as it is (1000*1152/1250 is 921).
class Expression {
public:
    // Without a state only the form of the text is read (terms get no value).
    Expression(AsmState* st, std::string_view text) : st_(st) { Lex(text); }

    // False when the text is no expression; `value`/`valid` otherwise.
    bool Evaluate(std::int32_t& value, bool& valid) {
        const Value v = Level(0);
        if (!syntaxOk_ || Peek().kind != Kind::End) return false;
        value = v.value;
        valid = v.valid;
        return true;
    }

private:
    enum class Kind : std::uint8_t { End, Term, Word, Open, Close, Binary, Prefix };
    struct Token {
        Kind kind = Kind::End;
        std::string_view text;
        BinOp op = BinOp::Or;
        Prefix prefix = Prefix::None;
    };
    struct Value {
        std::int32_t value = 0;
        bool valid = false;
        bool wide = false;  // a result of a binary operator: all 32 bits count
        std::uint32_t Operand() const { return wide ? static_cast<std::uint32_t>(value) : Term16(value); }
    };

    static constexpr int kLevels = 6, kNotLevel = 2;

    static bool SameWord(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (Up(a[i]) != b[i]) return false;
        return true;
    }

    void Lex(std::string_view s) {
        static constexpr std::pair<std::string_view, BinOp> kSymbols[] = {
            {"<=", BinOp::Le}, {">=", BinOp::Ge}, {"<>", BinOp::Ne}, {"==", BinOp::Eq}, {"!=", BinOp::Ne},
            {"+", BinOp::Add}, {"-", BinOp::Sub}, {"*", BinOp::Mul}, {"/", BinOp::Div}, {"%", BinOp::Mod},
            {"&", BinOp::And}, {"|", BinOp::Or},  {"^", BinOp::Xor}, {"<", BinOp::Lt},  {">", BinOp::Gt},
            {"=", BinOp::Eq},
        };
        static constexpr std::pair<std::string_view, Prefix> kDotPrefixes[] = {
            {".HI.", Prefix::Hi}, {".LO.", Prefix::Lo}, {".SB.", Prefix::Sb},
            {".SW.", Prefix::Sw}, {".NOT.", Prefix::Not}, {".SWP.", Prefix::Swp},
        };
        std::size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            if (c == ' ' || c == '\t') {
                ++i;
                continue;
            }
            Token t;
            bool left = false;
            if (c == '(' || c == ')') {
                t.kind = c == '(' ? Kind::Open : Kind::Close;
                ++i;
            } else if (DotShiftAt(s, i, left)) {
                t.kind = Kind::Binary;
                t.op = left ? BinOp::Shl : BinOp::Shr;
                i += 5;
            } else if (IsOperatorChar(c)) {
                t.kind = Kind::Binary;
                std::size_t length = 0;
                for (const auto& [text, op] : kSymbols) {
                    if (s.substr(i, text.size()) == text) {
                        t.op = op;
                        length = text.size();
                        break;
                    }
                }
                if (length == 0) {  // "!" alone
                    syntaxOk_ = false;
                    length = 1;
                }
                i += length;
            } else {
                const std::size_t b = i;
                while (i < s.size()) {
                    const char d = s[i];
                    if (d == '\'' && i + 2 < s.size() && s[i + 2] == '\'') {
                        i += 3;  // a character constant: its character is no operator
                        continue;
                    }
                    if (d == ' ' || d == '\t' || d == '(' || d == ')' || IsOperatorChar(d) ||
                        (i > b && DotShiftAt(s, i, left)))
                        break;
                    ++i;
                }
                t.text = s.substr(b, i - b);
                t.kind = Kind::Term;
                for (const auto& [text, prefix] : kDotPrefixes)
                    if (t.text == text) {
                        t.kind = Kind::Prefix;
                        t.prefix = prefix;
                    }
                for (std::string_view w : {"OR", "XOR", "AND", "NOT", "MOD", "SHL", "SHR", "HIGH", "LOW", "EQ",
                                           "NE", "LT", "LE", "GT", "GE"})
                    if (SameWord(t.text, w)) t.kind = Kind::Word;
            }
            tokens_.push_back(t);
        }
    }

    const Token& Peek(std::size_t ahead = 0) const {
        static const Token kEnd;
        return pos_ + ahead < tokens_.size() ? tokens_[pos_ + ahead] : kEnd;
    }
    bool PeekWord(std::string_view w, std::size_t ahead = 0) const {
        return Peek(ahead).kind == Kind::Word && SameWord(Peek(ahead).text, w);
    }
    // Whether the token `ahead` can begin an operand.
    bool StartsOperand(std::size_t ahead) const {
        const Token& t = Peek(ahead);
        return t.kind == Kind::Term || t.kind == Kind::Word || t.kind == Kind::Open || t.kind == Kind::Prefix ||
               (t.kind == Kind::Binary && t.op == BinOp::Sub);
    }
    // A keyword that stands before an operand is an operator; anywhere
    // else it is a name.
    bool PrefixWord(std::string_view w) const { return PeekWord(w) && StartsOperand(1); }

    // The binary operator of `level` at the current token, if any.
    std::optional<BinOp> BinaryAt(int level) const {
        static constexpr std::pair<std::string_view, BinOp> kWords[] = {
            {"OR", BinOp::Or}, {"XOR", BinOp::Xor}, {"AND", BinOp::And}, {"EQ", BinOp::Eq}, {"NE", BinOp::Ne},
            {"LT", BinOp::Lt}, {"LE", BinOp::Le},   {"GT", BinOp::Gt},   {"GE", BinOp::Ge}, {"MOD", BinOp::Mod},
            {"SHL", BinOp::Shl}, {"SHR", BinOp::Shr},
        };
        const Token& t = Peek();
        std::optional<BinOp> op;
        if (t.kind == Kind::Binary) op = t.op;
        for (const auto& [w, o] : kWords)
            if (t.kind == Kind::Word && SameWord(t.text, w)) op = o;
        if (!op) return std::nullopt;
        return LevelOf(*op) == level ? op : std::nullopt;
    }
    static int LevelOf(BinOp op) {
        switch (op) {
            case BinOp::Or:
            case BinOp::Xor: return 0;
            case BinOp::And: return 1;
            case BinOp::Eq: case BinOp::Ne: case BinOp::Lt: case BinOp::Le: case BinOp::Gt: case BinOp::Ge: return 3;
            case BinOp::Add:
            case BinOp::Sub: return 4;
            default: return 5;
        }
    }

    // Parentheses and prefixes nest at most this deep (the parser recurses
    // once per level; a line may be 65,000 characters long).
    static constexpr int kMaxNesting = 200;
    struct Nested {
        explicit Nested(Expression& e) : e_(e) {
            if (++e_.nesting_ > kMaxNesting) e_.syntaxOk_ = false;
        }
        ~Nested() { --e_.nesting_; }
        bool Ok() const { return e_.syntaxOk_; }
        Expression& e_;
    };

    Value Level(int level) {
        if (level == kLevels) return Unary();
        if (level == kNotLevel && PrefixWord("NOT")) {
            ++pos_;
            const Nested nested(*this);
            if (!nested.Ok()) return {};
            Value v = Level(kNotLevel);
            v.value = ApplyPrefix(Prefix::Not, v.value);
            return v;
        }
        Value left = Level(level + 1);
        while (syntaxOk_) {
            const std::optional<BinOp> op = BinaryAt(level);
            if (!op) break;
            ++pos_;
            const Value right = Level(level + 1);
            std::int32_t r = 0;
            const bool valid = left.valid && right.valid && ApplyBinary(*op, left.Operand(), right.Operand(), r);
            left = {valid ? r : 0, valid, true};
        }
        return left;
    }

    Value Unary() {
        Prefix p = Prefix::None;
        const Token& t = Peek();
        if (t.kind == Kind::Binary && t.op == BinOp::Sub) p = Prefix::Minus;
        else if (t.kind == Kind::Prefix) p = t.prefix;
        else if (PrefixWord("HIGH")) p = Prefix::Hi;
        else if (PrefixWord("LOW")) p = Prefix::Lo;
        if (p == Prefix::None) return Primary();
        ++pos_;
        const Nested nested(*this);
        if (!nested.Ok()) return {};
        Value v = Unary();
        v.value = ApplyPrefix(p, v.value);
        return v;
    }

    Value Primary() {
        const Token t = Peek();
        ++pos_;
        if (t.kind == Kind::Open) {
            const Nested nested(*this);
            if (!nested.Ok()) return {};
            const Value v = Level(0);
            if (Peek().kind != Kind::Close) syntaxOk_ = false;
            ++pos_;
            return v;
        }
        if (t.kind != Kind::Term && t.kind != Kind::Word) {
            syntaxOk_ = false;
            return {};
        }
        if (!st_) return {};
        GetVal(*st_, t.text);
        return {st_->ExprValue, st_->ExprValid};
    }

    AsmState* st_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    int nesting_ = 0;
    bool syntaxOk_ = true;
};

}  // namespace

void ValBit(AsmState& st, std::string_view s) {
    st.BitValid = false;
    if (const std::uint8_t* addr = NameIndex().Find(s)) {
        st.ExprValue = *addr;
        st.BitValid = true;
        return;
    }
    auto bitDigit = [](char c) { return c >= '0' && c <= '7'; };
    if (s.size() == 5 && s[2] == 'H' && s[3] == '.') {
        int f = Hex2ToByte(s.substr(0, 2));
        char b = s[4];
        if (f > 0x80 && f < 0x100 && bitDigit(b)) {
            st.ExprValue = f | (b - '0');
            st.BitValid = true;
        } else if (f >= 0x20 && f <= 0x2F && bitDigit(b)) {
            st.ExprValue = (f - 0x20) * 8 + (b - '0');
            st.BitValid = true;
        }
        return;
    }
    if (s.size() == 6 && s[0] == '0' && s[3] == 'H' && s[4] == '.') {
        int f = Hex2ToByte(s.substr(1, 2));
        char b = s[5];
        if (f > 0x80 && f < 0x100 && bitDigit(b)) {
            st.ExprValue = f | (b - '0');
            st.BitValid = true;
        }
    }
}

void GetVal(AsmState& st, std::string_view t) {
    st.ExprValue = 0;
    Prefix prefix = Prefix::None;
    std::string_view w = t;
    if (t.size() > 1 && t[0] == '-') {
        prefix = Prefix::Minus;
        w = t.substr(1);
    } else if (t.size() > 4 && t[0] == '.') {
        std::string_view p4 = t.substr(0, 4);
        if (p4 == ".HI.") prefix = Prefix::Hi;
        else if (p4 == ".LO.") prefix = Prefix::Lo;
        else if (p4 == ".SB.") prefix = Prefix::Sb;
        else if (p4 == ".SW.") prefix = Prefix::Sw;
        if (prefix != Prefix::None) {
            w = t.substr(4);
        } else if (t.size() > 5) {
            std::string_view p5 = t.substr(0, 5);
            if (p5 == ".NOT.") prefix = Prefix::Not;
            else if (p5 == ".SWP.") prefix = Prefix::Swp;
            if (prefix != Prefix::None) w = t.substr(5);
        }
    }

    if (w.empty()) {
        static const std::string kBadArgument = cp("Ошибка представления аргумента в строке выше…");
        st.LineError = kBadArgument;
        st.ExprValid = false;
    } else {
        bool ok = true;
        std::int32_t v = 0;
        if (Notation(st, w, ok, v)) {
            st.ExprValid = ok;
            st.ExprValue = ok ? v : 0;
        } else {
            // A name: register and bit names first, the symbol table wins.
            ValBit(st, w);
            st.ExprValid = st.BitValid;
            FindIndex_LBLEQU(st, w);
            if (st.FoundIndex < LabelCapacity) {
                auto i = static_cast<std::size_t>(st.FoundIndex);
                st.ExprValid = st.Symbols.LabelDefined[i];
                st.ExprValue = st.Symbols.LabelValues[i];
            } else if (w.size() == 3 && w[0] == 'A' && w[1] == 'R' && w[2] >= '0' && w[2] <= '7') {
                // AR0..AR7: the direct address of a register of the bank
                // that USING selected.
                st.ExprValid = true;
                st.ExprValue = st.RegisterBank * 8 + (w[2] - '0');
            }
        }
    }
    st.ExprValue = ApplyPrefix(prefix, st.ExprValue);
}

namespace {

// One operand as a term, or two terms around the first operator found.
void OneOperatorOperand(AsmState& st) {
    if (st.OperandText.size() >= 2 && st.OperandText.front() == '(' && st.OperandText.back() == ')')
        st.OperandText = st.OperandText.substr(1, st.OperandText.size() - 2);
    const std::string_view t = st.OperandText;
    GetVal(st, t);
    if (st.ExprValid || t.size() <= 2) return;

    const std::size_t len = t.size();
    // Both terms (1-based columns first..last of each), then the operator.
    auto apply = [&](BinOp op, std::size_t leftEnd, std::size_t rightStart) {
        GetVal(st, t.substr(0, leftEnd));
        const bool validA = st.ExprValid;
        const std::int32_t a = st.ExprValue;
        GetVal(st, t.substr(rightStart - 1));
        const bool validB = st.ExprValid;
        const std::int32_t b = st.ExprValue;
        std::int32_t r = 0;
        st.ExprValid = validA && validB && ApplyBinary(op, Term16(a), Term16(b), r);
        if (st.ExprValid) st.ExprValue = r;
    };
    for (std::size_t i = 2;; ++i) {
        bool left = false;
        if (i + 5 <= len && DotShiftAt(t, i - 1, left)) {
            apply(left ? BinOp::Shl : BinOp::Shr, i - 1, i + 5);
            return;
        }
        if (i > len) return;  // no operator: invalid
        BinOp op;
        switch (t[i - 1]) {
            case '+': op = BinOp::Add; break;
            case '-': op = BinOp::Sub; break;
            case '/': op = BinOp::Div; break;
            case '*': op = BinOp::Mul; break;
            case '&': op = BinOp::And; break;
            case '|': op = BinOp::Or; break;
            case '^': op = BinOp::Xor; break;
            case '%': op = BinOp::Mod; break;
            case '>': op = BinOp::Gt; break;
            case '<': op = BinOp::Lt; break;
            case '=': op = BinOp::Eq; break;
            default: continue;
        }
        if (i == len) return;  // operator at the end: invalid
        apply(op, i - 1, i + 1);
        return;
    }
}

}  // namespace

void GetValFMT(AsmState& st) {
    if (st.OperandText.empty()) {
        static const std::string kEmpty = cp("Пустой операнд!");
        st.ExprValid = false;
        st.ExprValue = 0;
        st.LineError = kEmpty;
        return;
    }
    // An operand that one operator (or none) gives a value keeps exactly
    // that value; any other text is read as a whole expression.
    const bool enclosed = st.OperandText.front() == '(' && st.OperandText.back() == ')';
    OneOperatorOperand(st);
    // A single term (a name not known yet, most often) is read already.
    if (st.ExprValid || st.OperandText.find_first_of(" \t()+-*/%&|^<>=!.") == std::string::npos) return;
    // Without a value the operand leaves what the one-operator reading left.
    const std::int32_t left = st.ExprValue;
    std::int32_t value = 0;
    bool valid = false;
    const std::string text = enclosed ? "(" + st.OperandText + ")" : st.OperandText;  // as written
    st.ExprValid = Expression(&st, text).Evaluate(value, valid) && valid;
    st.ExprValue = st.ExprValid ? value : left;
}

bool IsExpression(std::string_view text) {
    std::int32_t value = 0;
    bool valid = false;
    return Expression(nullptr, text).Evaluate(value, valid);
}

void Evaluate(AsmState& st, std::string_view text) {
    st.OperandText.assign(text);
    GetValFMT(st);
}

}  // namespace z51
