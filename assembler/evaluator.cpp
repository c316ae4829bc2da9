#include "assembler/evaluator.h"

#include <cstdint>
#include <string>
#include <unordered_map>

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
            }
        }
    }
    st.ExprValue = ApplyPrefix(prefix, st.ExprValue);
}

void GetValFMT(AsmState& st) {
    if (st.OperandText.empty()) {
        static const std::string kEmpty = cp("Пустой операнд!");
        st.ExprValid = false;
        st.ExprValue = 0;
        st.LineError = kEmpty;
        return;
    }
    if (st.OperandText.size() >= 2 && st.OperandText.front() == '(' && st.OperandText.back() == ')')
        st.OperandText = st.OperandText.substr(1, st.OperandText.size() - 2);
    const std::string_view t = st.OperandText;
    GetVal(st, t);
    if (st.ExprValid || t.size() <= 2) return;

    const std::size_t len = t.size();
    auto up = [&](std::size_t i1) { return Up(t[i1 - 1]); };  // 1-based column
    for (std::size_t i = 2;; ++i) {
        if (i + 5 <= len && t[i - 1] == '.' && t[i + 3] == '.' && up(i + 1) == 'S' && up(i + 2) == 'H' &&
            (up(i + 3) == 'L' || up(i + 3) == 'R')) {
            bool left = up(i + 3) == 'L';
            GetVal(st, t.substr(0, i - 1));
            bool validA = st.ExprValid;
            auto a = static_cast<std::uint32_t>(st.ExprValue) & 0xFFFF;
            GetVal(st, t.substr(i + 4));
            bool validB = st.ExprValid;
            auto b = static_cast<std::uint32_t>(st.ExprValue) & 0xFFFF;
            if (validA && validB) {
                st.ExprValue = static_cast<std::int32_t>(left ? a << (b % 32) : a >> (b % 32));
                st.ExprValid = true;
            } else {
                st.ExprValid = false;
            }
            return;
        }
        if (i > len) return;  // no operator: invalid
        char c = t[i - 1];
        if (c == '+' || c == '-' || c == '/' || c == '*' || c == '&' || c == '|' || c == '^' || c == '%' ||
            c == '>' || c == '<' || c == '=') {
            if (i == len) return;  // operator at the end: invalid
            GetVal(st, t.substr(0, i - 1));
            bool validA = st.ExprValid;
            auto a = static_cast<std::uint32_t>(st.ExprValue) & 0xFFFF;
            GetVal(st, t.substr(i));
            bool validB = st.ExprValid;
            auto b = static_cast<std::uint32_t>(st.ExprValue) & 0xFFFF;
            if (!validA || !validB) {
                st.ExprValid = false;
                return;
            }
            std::uint32_t r = 0;
            switch (c) {
                case '+': r = a + b; break;
                case '-': r = a - b; break;
                case '*': r = a * b; break;
                case '/':
                case '%':
                    if (b == 0) {
                        st.ExprValid = false;
                        return;
                    }
                    r = c == '/' ? a / b : a % b;
                    break;
                case '&': r = a & b; break;
                case '|': r = a | b; break;
                case '^': r = a ^ b; break;
                case '<': r = a < b; break;
                case '>': r = a > b; break;
                default: r = a == b; break;
            }
            st.ExprValue = static_cast<std::int32_t>(r);
            st.ExprValid = true;
            return;
        }
    }
}

void Evaluate(AsmState& st, std::string_view text) {
    st.OperandText.assign(text);
    GetValFMT(st);
}

}  // namespace z51
