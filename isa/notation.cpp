#include "isa/notation.h"

#include <charconv>

#include "isa/hex.h"

namespace z51 {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return HexDigitValue(c) >= 0; }
char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

template <class Pred>
bool All(std::string_view s, Pred p) {
    for (char c : s)
        if (!p(c)) return false;
    return true;
}

// Signed 32-bit decimal; false when the text is no number of that range
// (a lone "-", too many digits).
bool ParseDecimal(std::string_view s, std::int32_t& out) {
    if (s.empty()) return false;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    std::int32_t v = 0;
    auto [p, ec] = std::from_chars(first, last, v, 10);
    if (ec != std::errc() || p != last) return false;
    out = v;
    return true;
}

// Hexadecimal digits into 32 bits (FFFFFFFFH reads as -1); false when the
// text is empty or the value needs more than 32 bits.
bool ParseHex(std::string_view s, std::int32_t& out) {
    if (s.empty()) return false;
    std::uint64_t v = 0;
    for (char c : s) {
        int d = HexDigitValue(c);
        if (d < 0) return false;
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
}

// Digit-by-digit accumulation of the letter notations; the value wraps at
// 32 bits like the register it is built in.
bool Accumulate(std::string_view digits, unsigned base, std::int32_t& out) {
    std::uint32_t v = 0;
    for (char c : digits) {
        if (!IsDigit(c) || static_cast<unsigned>(c - '0') >= base) return false;
        v = v * base + static_cast<unsigned>(c - '0');
    }
    out = static_cast<std::int32_t>(v);
    return true;
}

}  // namespace

bool NumberNotationBeforeNames(std::string_view w, std::int32_t here, bool& ok, std::int32_t& v) {
    ok = true;
    const std::size_t n = w.size();
    if (n == 0) return false;
    const char first = w[0];
    const char last = Up(w[n - 1]);
    // Signed decimal.
    if ((IsDigit(first) || first == '-') && All(w.substr(1), IsDigit)) {
        ok = ParseDecimal(w, v);
        return true;
    }
    // "$" is the address of the line; "$" with digits is hexadecimal.
    if (first == '$') {
        if (n == 1) {
            v = here;
            return true;
        }
        if (All(w.substr(1), IsHex)) {
            ok = ParseHex(w.substr(1), v);
            return true;
        }
    }
    // 0X prefix.
    if (n >= 2 && first == '0' && Up(w[1]) == 'X' && All(w.substr(2), IsHex)) {
        ok = ParseHex(w.substr(2), v);  // "0X" alone converts to nothing
        return true;
    }
    // Character constant.
    if (n == 3 && first == '\'' && w[2] == '\'') {
        v = static_cast<unsigned char>(w[1]);
        return true;
    }
    // O followed by octal digits, T followed by base-4 digits.
    if (Up(first) == 'O' && Accumulate(w.substr(1), 8, v)) return true;
    if (Up(first) == 'T' && Accumulate(w.substr(1), 4, v)) return true;
    // Octal with an O or Q suffix.
    if ((last == 'O' || (last == 'Q' && n >= 2)) && Accumulate(w.substr(0, n - 1), 8, v)) return true;
    // Binary.
    return last == 'B' && n >= 2 && Accumulate(w.substr(0, n - 1), 2, v);
}

bool NumberNotationAfterNames(std::string_view w, bool& ok, std::int32_t& v) {
    ok = true;
    const std::size_t n = w.size();
    if (n < 2) return false;
    const char last = Up(w[n - 1]);
    // Hexadecimal with an H suffix.
    if (last == 'H' && All(w.substr(0, n - 1), IsHex)) {
        ok = ParseHex(w.substr(0, n - 1), v);
        return true;
    }
    // Decimal with a D suffix.
    if (last == 'D') {
        std::string_view body = w.substr(0, n - 1);
        bool digits = (IsDigit(body[0]) || (body[0] == '-' && n >= 3)) && All(body.substr(1), IsDigit);
        if (digits) {
            ok = ParseDecimal(body, v);
            return true;
        }
    }
    return false;
}

}  // namespace z51
